#!/usr/bin/env python3
"""Builds the data tables in data/tables/ from the sources in data/source/.

Every table is UTF-16LE text starting with U+FEFF, lines joined by CR LF, no
CR LF after the last line; some tables end with one U+0000 after the last
line.  Run it from anywhere:  python3 data/generate.py
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, "source")
OUT = os.path.join(HERE, "tables")

WITH_NUL = {"AR", "FA", "BASE", "JOZEUNIC", "SOREHNAME", "MM",
            "SR_TAYAT", "SR_TNAME", "SR_TNOOZOOL"}
MADINAN = {2, 3, 4, 5, 8, 9, 13, 22, 24, 33, 47, 48, 49, 55,
           *range(57, 67), 76, 98, 99, 110}
PAUSE_MARKS = set(range(0x06D6, 0x06DD)) | {0x06E9}
SUPERSCRIPT_ALEF = "\u0670"
TATWEEL = "\u0640"
MARKS = set(range(0x064B, 0x0653))


def fail(msg):
    sys.exit("generate.py: " + msg)


def read_lines(name):
    with open(os.path.join(SRC, name), encoding="utf-8") as f:
        return f.read().split("\n")


def read_verses(name):
    """surah|ayah|text lines, comments and blank lines skipped."""
    verses = {}
    for line in read_lines(name):
        if not line or line.startswith("#"):
            continue
        s, a, text = line.split("|", 2)
        verses[(int(s), int(a))] = text
    return verses


def read_boundaries():
    sections, current = {}, None
    for line in read_lines("madani-boundaries.txt"):
        if not line or line.startswith("#"):
            continue
        if line.startswith("["):
            current = line.strip("[]")
            sections[current] = []
            continue
        sections[current].append([int(v) for v in line.split("\t")])
    return sections


def clean_arabic(text, where):
    """The simple text with pause marks, sajdah sign and superscript alef off."""
    out = []
    for ch in text:
        if ord(ch) in PAUSE_MARKS:
            continue
        if ch == SUPERSCRIPT_ALEF:
            if out and out[-1] == TATWEEL:
                out.pop()
            continue
        out.append(ch)
    text = "".join(out)
    for ch in text:
        c = ord(ch)
        if not (0x0621 <= c <= 0x064A or c in MARKS or ch == " " or c == 0x061B):
            fail("unexpected character U+%04X in %s" % (c, where))
    return text


def write_table(name, lines):
    text = "\r\n".join(lines)
    if name in WITH_NUL:
        text += "\0"
    if name == "HELP":
        text += "\r\n" if not text.endswith("\r\n") else ""
    data = ("\ufeff" + text).encode("utf-16-le")
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    arabic = read_verses("quran-simple.txt")
    farsi = read_verses("fa-ansarian.txt")
    bounds = read_boundaries()
    surahs = bounds["surah"]  # [number, first global ayah, ayah count, revelation]
    if len(surahs) != 114 or len(arabic) != 6236 or len(farsi) != 6236:
        fail("source sizes: %d surahs, %d ayat, %d translations"
             % (len(surahs), len(arabic), len(farsi)))

    bismillah = arabic[(1, 1)]
    # The source carries the Bismillah at the head of ayah 1 of every surah
    # but 1 and 9 (in 95 and 97 with a shadda on its first letter); here it
    # stands on its own line, so it is taken off the ayah.
    bismillah_forms = [bismillah + " ", bismillah[:1] + "\u0651" + bismillah[1:] + " "]

    def unit_of(sections, count):
        firsts = [row[1] for row in sections]
        if len(firsts) != count:
            fail("expected %d boundaries, got %d" % (count, len(firsts)))
        table, unit = {}, 0
        for g in range(1, 6237):
            while unit < count and firsts[unit] <= g:
                unit += 1
            table[g] = unit
        return table

    juz_of = unit_of(bounds["juz"], 30)
    hizb_of = unit_of(bounds["hizb_quarter"][0::4], 60)
    page_of = unit_of(bounds["page"], 604)

    ar, fa, base = [], [], []
    surah_first = []
    g = 0
    for s, first, count, _ in surahs:
        surah_first.append(len(ar))
        if first != g + 1:
            fail("surah %d starts at %d, expected %d" % (s, first, g + 1))
        if s not in (1, 9):
            ar.append(clean_arabic(bismillah, "1:1"))
            fa.append(farsi[(1, 1)])
            base.append("%03d%03d%02d%03d%03d" % (s, 0, juz_of[g + 1], hizb_of[g + 1], page_of[g + 1]))
        for a in range(1, count + 1):
            g += 1
            text = arabic[(s, a)]
            if a == 1 and s not in (1, 9):
                for form in bismillah_forms:
                    if text.startswith(form):
                        text = text[len(form):]
                        break
                else:
                    fail("ayah %d:1 does not start with the Bismillah" % s)
            ar.append(clean_arabic(text, "%d:%d" % (s, a)))
            fa.append(farsi[(s, a)])
            base.append("%03d%03d%02d%03d%03d" % (s, a, juz_of[g], hizb_of[g], page_of[g]))
    if len(ar) != 6348:
        fail("%d lines, expected 6348" % len(ar))
    fa = [t.replace("\u06CC", "\u064A") for t in fa]

    def first_lines(column):
        firsts = {}
        for k, rec in enumerate(base):
            firsts.setdefault(int(rec[column[0]:column[1]]), k)
        return [str(firsts[u]) for u in sorted(firsts)]

    names_fa = [l.split("|", 1)[1] for l in read_lines("surah-names-fa.txt") if l]
    names_ar = [l.split("|", 1)[1] for l in read_lines("surah-names-ar.txt") if l]
    if len(names_fa) != 114 or len(names_ar) != 114:
        fail("surah name lists must have 114 names")
    if max(len(n) for n in names_fa) > 9:
        fail("a Persian surah name is longer than nine characters")

    def name_key(i):
        return (names_fa[i].replace("\u200F", "").replace("\u0622", "\u0627"), i)

    write_table("AR", ar)
    write_table("FA", fa)
    write_table("BASE", base)
    write_table("SOREHNAME", names_fa)
    write_table("SOREHUNIC", [str(v) for v in surah_first])
    write_table("JOZEUNIC", first_lines((6, 8)))
    write_table("HEZBUNIC", first_lines((8, 11)))
    write_table("PAGEUNIC", first_lines((11, 14)))
    write_table("AYEHOFSOREH", [str(row[2]) for row in surahs])
    write_table("MM", ["1" if s in MADINAN else "0" for s in range(1, 115)])
    write_table("SR_TAYAT", [str(row[0]) for row in sorted(surahs, key=lambda r: (-r[2], r[0]))])
    write_table("SR_TNAME", [str(i + 1) for i in sorted(range(114), key=name_key)])
    write_table("SR_TNOOZOOL", [str(row[3]) for row in surahs])
    write_table("SR_TNORMAL", names_ar)
    with open(os.path.join(SRC, "help.html"), encoding="utf-8") as f:
        write_table("HELP", f.read().rstrip("\n").split("\n"))


if __name__ == "__main__":
    main()
