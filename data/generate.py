#!/usr/bin/env python3
"""Builds the data tables in data/tables/ from the sources in data/source/.

Every table is UTF-16LE text starting with U+FEFF, lines joined by CR LF, no
CR LF after the last line; some tables end with one U+0000 after the last
line.  Run it from anywhere:  python3 data/generate.py
"""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, "source")
OUT = os.path.join(HERE, "tables")
PACKS = os.path.join(HERE, "translations")
LATIN_FOLDS = os.path.join(HERE, "..", "model", "LatinFolds.inc")

WITH_NUL = {"AR", "FA", "BASE", "JOZEUNIC", "SOREHNAME", "MM",
            "SR_TAYAT", "SR_TNAME", "SR_TNOOZOOL", "UTHMANI", "FA2"}
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


def read_quran_meta():
    """The lists of quran-meta's HafsLists.ts, as the package ships them."""
    import re
    with open(os.path.join(SRC, "quran-meta-HafsLists.ts"), encoding="utf-8") as f:
        ts = f.read()

    def numbers(name):
        m = re.search(r"export const %s[^=]*=\s*\[(.*?)\]" % name, ts, re.S)
        if not m:
            fail("quran-meta: no %s" % name)
        return [int(v) for v in re.findall(r"-?\d+", m.group(1))]

    m = re.search(r"export const SurahList[^=]*=\s*\[(.*?)\n\]", ts, re.S)
    rows = re.findall(r'\[(-?\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*"[^"]*",\s*(true|false)\]', m.group(1) if m else "")
    # the list has a row 0 and a closing row after surah 114
    surahs = [(int(r[0]), int(r[1]), int(r[2]), r[4] == "true") for r in rows[1:115]]
    return {"quarter": numbers("HizbQuarterList")[1:-1], "page": numbers("PageList")[1:-1],
            "juz": numbers("JuzList")[1:-1], "sajda": numbers("SajdaList"), "surah": surahs}


def read_obligatory_sajdas():
    out = []
    for line in read_lines("sajda-obligatory.txt"):
        if line and not line.startswith("#"):
            s, a = line.split("|")
            out.append((int(s), int(a)))
    return out


def mushaf_marks(bounds, base):
    """The QUARTERUNIC and SAJDA tables, with what is known of them checked."""
    meta = read_quran_meta()
    surahs = bounds["surah"]
    # the lists agree with the boundaries the other tables come from
    for name in ("juz", "page"):
        if meta[name] != [row[1] for row in bounds[name]]:
            fail("quran-meta's %s list differs from madani-boundaries.txt" % name)
    if meta["quarter"] != [row[1] for row in bounds["hizb_quarter"]]:
        fail("quran-meta's quarter list differs from madani-boundaries.txt")
    if len(meta["quarter"]) != 240:
        fail("%d hizb quarters, expected 240" % len(meta["quarter"]))
    if [(r[0], r[1], r[2]) for r in meta["surah"]] != [(r[1], r[2], r[3]) for r in surahs]:
        fail("quran-meta's surah list differs from madani-boundaries.txt")
    medinan = {i + 1 for i, r in enumerate(meta["surah"]) if not r[3]}
    if len(medinan) != 28 or medinan != MADINAN:
        fail("quran-meta gives %d Medinan surahs, not the 28 of the MM table" % len(medinan))

    # global ayah number -> line of the tables
    line_of, ayah_of = {}, {}
    for k, rec in enumerate(base):
        s, a = int(rec[0:3]), int(rec[3:6])
        if a:
            g = surahs[s - 1][1] + a - 1
            line_of[g] = k
            ayah_of[g] = (s, a)
    # as in the other first-line tables, a unit that begins with ayah 1 of a
    # surah begins on its Bismillah line
    quarters = [line_of[g] - 1 if int(base[line_of[g] - 1][3:6]) == 0 else line_of[g] for g in meta["quarter"]]
    # a quarter's first ayah stands on the page the page list gives it
    page_firsts = meta["page"]
    for q, g in enumerate(meta["quarter"]):
        page = sum(1 for first in page_firsts if first <= g)
        if int(base[quarters[q]][11:14]) != page:
            fail("quarter %d: its first ayah is on page %d, the page table has %s" % (q + 1, page, base[quarters[q]][11:14]))
        if q % 4 == 0 and (int(base[quarters[q]][8:11]) != q // 4 + 1
                           or quarters[q] and int(base[quarters[q] - 1][8:11]) != q // 4):
            fail("quarter %d does not begin hizb %d" % (q + 1, q // 4 + 1))

    sajdas = [ayah_of[g] for g in meta["sajda"]]
    if len(sajdas) != 15:
        fail("%d sajda places, expected 15" % len(sajdas))
    # Mushafs printed in Iran mark the four obligatory prostrations; where one
    # falls an ayah away from the list's place in its surah (41:37 against
    # 41:38), the obligatory place is the one marked.
    obligatory = read_obligatory_sajdas()
    if len(obligatory) != 4:
        fail("expected the four obligatory sajdas")
    marks = {}
    for s, a in sajdas:
        marks[(s, a)] = "0"
    for s, a in obligatory:
        near = [(ss, aa) for ss, aa in sajdas if ss == s and abs(aa - a) <= 1]
        if len(near) != 1:
            fail("obligatory sajda %d:%d has no place of the list beside it" % (s, a))
        del marks[near[0]]
        marks[(s, a)] = "1"
    sajda_lines = []
    for (s, a), kind in sorted(marks.items()):
        g = surahs[s - 1][1] + a - 1
        sajda_lines.append("%d %s" % (line_of[g], kind))
    return [str(v) for v in quarters], sajda_lines


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


# The Uthmani text and the Fooladvand translation come as the LaTeX quran
# package carries them: one line per ayah in mushaf order,
#   \qt@newcmd\PREFIX<global ayah in roman numerals>{TEXT\qt@no{<ornament>}}
# with the macro \basmalah (\basmalahfa) at the head of an ayah standing for
# the Bismillah.  What the package defines the two macros as (quran.sty and
# quran-transfa.def), without the paragraph break and space that follow:
BASMALAH_MACRO_AR = "\u0628\u0650\u0633\u0645\u0650 \u0627\u0644\u0644\u0651\u064E\u0647\u0650 " \
    "\u0627\u0644\u0631\u0651\u064E\u062D\u0645\u0670\u0646\u0650 \u0627\u0644\u0631\u0651\u064E\u062D\u064A\u0645\u0650"
BASMALAH_MACRO_FA = "\u0628\u0647 \u0646\u0627\u0645 \u062E\u062F\u0627\u0648\u0646\u062F " \
    "\u0631\u062D\u0645\u062A\u06AF\u0631 \u0645\u0647\u0631\u0628\u0627\u0646"
ARABIC_INDIC = "\u0660\u0661\u0662\u0663\u0664\u0665\u0666\u0667\u0668\u0669"
# Every character the Uthmani text may hold: letters, vowel marks, maddah and
# hamza above and below, superscript alef, alef wasla, tatweel, the small
# high and low signs and stops U+06D6..U+06ED, space.
UTHMANI_CHARS = (set(range(0x0621, 0x063B)) | set(range(0x0640, 0x0656)) | {0x0670, 0x0671}
                 | set(range(0x06D6, 0x06EE)) | {0x20})
# The translation: Arabic and Persian letters, a few marks, ZWNJ, punctuation.
FA2_CHARS = (set(range(0x0621, 0x063B)) | set(range(0x0641, 0x064B)) | set(range(0x064B, 0x0653))
             | {0x067E, 0x0686, 0x0698, 0x06A9, 0x06AF, 0x06CC, 0x200C, 0x060C, 0x061B, 0x061F, 0xAB, 0xBB}
             | set(map(ord, " !()-./:=[]0123456789")))


def roman(n):
    out = ""
    for value, digits in ((1000, "m"), (900, "cm"), (500, "d"), (400, "cd"), (100, "c"), (90, "xc"),
                          (50, "l"), (40, "xl"), (10, "x"), (9, "ix"), (5, "v"), (4, "iv"), (1, "i")):
        while n >= value:
            out += digits
            n -= value
    return out


def read_package_text(name, prefix, macro, ornament, surahs, markup=None):
    """The ayat of one quran package file by (surah, ayah), each without its
    ornament and without the Bismillah macro; and the ayat that carried it.
    `markup`, when given, turns the package's markup in a text into plain text."""
    texts, with_macro = {}, set()
    rows = [l for l in read_lines(name) if l and not l.startswith("%")]
    if len(rows) != 6236:
        fail("%s: %d ayat, expected 6236" % (name, len(rows)))
    head = "\\qt@newcmd\\" + prefix
    g = 0
    for s, _, count, _ in surahs:
        for a in range(1, count + 1):
            row = rows[g]
            g += 1
            where = "%s %d:%d" % (name, s, a)
            if not row.startswith(head + roman(g) + "{") or not row.endswith("}}"):
                fail("%s: line %r out of order or not a \\qt@newcmd" % (where, row[:60]))
            body = row[len(head + roman(g)) + 1:-1]
            text, sep, mark = body.rpartition("\\qt@no{")
            if not sep or mark[:-1] != ornament(a) or mark[-1] != "}":
                fail("%s: ornament %r, expected %r" % (where, mark, ornament(a)))
            if text.startswith(macro) and not text[len(macro):len(macro) + 1].isalpha():
                # TeX skips the spaces after a control word
                text = text[len(macro):].lstrip(" ")
                with_macro.add((s, a))
            if markup:
                text = markup(text, where)
            for ch in text:
                if ch in "\\{}%~$&#^_":
                    fail("%s: TeX left in the text: %r" % (where, text))
            if not text or text != text.strip(" ") or "  " in text:
                fail("%s: empty text or stray spaces" % where)
            texts[(s, a)] = text
    return texts, with_macro


def check_bismillah_macro(name, with_macro, surahs):
    """The macro heads ayah 1 of every surah but 1 and 9 and nothing else; the
    translation also carries it at 9:1, which has no Bismillah line and drops it."""
    expected = {(s, 1) for s, *_ in surahs if s not in (1, 9)}
    if with_macro - {(9, 1)} != expected:
        fail("%s: Bismillah macro at %s, missing at %s" % (
            name, sorted(with_macro - expected - {(9, 1)}), sorted(expected - with_macro)))


def skeleton(arabic):
    """Letters only: marks, superscript alef, small signs and tatweel off, alef wasla as alef."""
    out = []
    for ch in arabic.replace("\u0671", "\u0627"):
        c = ord(ch)
        if 0x064B <= c <= 0x0655 or c in (0x0640, 0x0670) or 0x06D6 <= c <= 0x06ED:
            continue
        out.append(ch)
    return "".join(out)


def persian_orthography(text):
    """The orthography of the translation tables: yeh as U+064A (from U+06CC and
    the final yeh written U+0649), kaf as U+06A9."""
    return text.replace("\u06CC", "\u064A").replace("\u0649", "\u064A").replace("\u0643", "\u06A9")


# The translation packs shipped with the program: the translations and the
# transliteration the LaTeX quran package carries from the Tanzil Project,
# each written one ayah a line, "SURAH|AYAH|TEXT", under comment lines that
# name it (the form a reader's own pack takes).
PACK_SOURCES = [
    # source, macro prefix, Bismillah macro, pack file, name, language, what it is
    ("qurantext-en.translation.def", "qurantrans@en@", "\\basmalahen", "en-ahmedali",
     "English - Ahmed Ali", "en", "The English translation by Ahmed Ali"),
    ("qurantext-fr.translation.def", "qurantrans@fr@", "\\basmalahfr", "fr-hamidullah",
     "Fran\u00e7ais - Hamidullah", "fr", "The French translation by Muhammad Hamidullah"),
    ("qurantext-de.translation.def", "qurantrans@de@", "\\basmalahde", "de-rassoul",
     "Deutsch - Rassoul", "de", "The German translation by Abu Rida Muhammad ibn Ahmad ibn Rassoul"),
    ("qurantext-en.transliteration.def", "qurantrans@lt@", "\\basmalahlt", "en-transliteration",
     "English transliteration", "en", "The transliteration of the Arabic text in Latin letters"),
]
TRANSLIT_MARKUP = re.compile(r"\\(q@u|q@b|q@i|emph)\{")
COMBINING_LOW_LINE = "\u0332"


def plain_transliteration(text, where):
    """The transliteration's markup as plain text: an underlined letter
    (\\q@u) keeps its line as U+0332 after it; bold (\\q@b) and italic
    (\\q@i, \\emph) are left out."""
    out, underlined = [], []
    i = 0
    while i < len(text):
        m = TRANSLIT_MARKUP.match(text, i)
        if m:
            underlined.append(m.group(1) == "q@u")
            i = m.end()
            continue
        ch = text[i]
        i += 1
        if ch == "}":
            if not underlined:
                fail("%s: a } that closes nothing" % where)
            underlined.pop()
            continue
        out.append(ch)
        if any(underlined) and ch.isalpha():
            out.append(COMBINING_LOW_LINE)
    if underlined:
        fail("%s: markup left open" % where)
    return "".join(out)


def tex_quotes(text, where):
    """TeX's quotation marks as the typeset text shows them: `` and '' (and a
    plain ") as double quotes, ` as an opening single quote."""
    return (text.replace("``", "\u201C").replace("''", "\u201D").replace('"', "\u201D")
            .replace("`", "\u2018"))


def write_packs(surahs):
    os.makedirs(PACKS, exist_ok=True)
    for source, prefix, macro, stem, name, language, what in PACK_SOURCES:
        markup = plain_transliteration if "transliteration" in source else tex_quotes
        texts, with_macro = read_package_text(source, prefix, macro, lambda a: "(%d)" % a, surahs, markup)
        check_bismillah_macro(source, with_macro, surahs)
        for (s, a), text in texts.items():
            if any(ord(ch) < 0x20 or ch == "\\" for ch in text):
                fail("%s %d:%d: a control character or TeX left" % (source, s, a))
        lines = ["# name: " + name, "# language: " + language, "# direction: ltr",
                 "# %s, from the Tanzil Project (https://tanzil.net)," % what,
                 "# as the LaTeX quran package v1.81 by Seiied-Mohammad-Javad Razavian (LPPL 1.3c)",
                 "# carries it in Debian 12's texlive-lang-arabic (%s); made by data/generate.py." % source]
        for s, _, count, _ in surahs:
            for a in range(1, count + 1):
                lines.append("%d|%d|%s" % (s, a, texts[(s, a)]))
        with open(os.path.join(PACKS, stem + ".txt"), "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(lines) + "\n")


def write_latin_folds():
    """The Latin letters a pack's search folds: each capital or accented
    letter and the small letter without accents it is searched as, from the
    Unicode character data."""
    import unicodedata
    folds = []
    for c in list(range(0x41, 0x5B)) + list(range(0xC0, 0x250)) + list(range(0x1E00, 0x1F00)):
        ch = chr(c)
        if unicodedata.category(ch) not in ("Lu", "Ll", "Lt"):
            continue
        form = unicodedata.normalize("NFD", ch)[0].lower()
        if len(form) == 1 and form != ch:
            folds.append((c, ord(form)))
    rows = ["// Generated by data/generate.py from the Unicode character data (Unicode %s):"
            % unicodedata.unidata_version,
            "// each Latin letter a pack's search folds, and the small letter without",
            "// accents it is searched as; sorted by the letter."]
    rows += ["{0x%04X, 0x%04X}," % pair for pair in folds]
    with open(LATIN_FOLDS, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(rows) + "\n")


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

    uthmani, uthmani_macro = read_package_text(
        "qurantext-uthmani.def", "qurantext@", "\\basmalah",
        lambda a: "\uFD3F" + "".join(ARABIC_INDIC[int(d)] for d in str(a)) + "\uFD3E", surahs)
    farsi2, farsi2_macro = read_package_text(
        "qurantext-fa.translation.def", "qurantrans@fa@", "\\basmalahfa", lambda a: "(%d)" % a, surahs)
    check_bismillah_macro("qurantext-uthmani.def", uthmani_macro, surahs)
    check_bismillah_macro("qurantext-fa.translation.def", farsi2_macro, surahs)
    for (s, a), text in uthmani.items():
        for ch in text:
            if ord(ch) not in UTHMANI_CHARS:
                fail("unexpected character U+%04X in the Uthmani text at %d:%d" % (ord(ch), s, a))
        if a == 1 and s != 1 and skeleton(text).startswith(skeleton(BASMALAH_MACRO_AR)):
            fail("the Uthmani text carries the Bismillah itself at %d:1" % s)
    for (s, a), text in farsi2.items():
        for ch in text:
            if ord(ch) not in FA2_CHARS:
                fail("unexpected character U+%04X in the Fooladvand translation at %d:%d" % (ord(ch), s, a))
    # the Bismillah lines take 1:1 of the same text, which must be what the macro stands for
    if skeleton(uthmani[(1, 1)]) != skeleton(BASMALAH_MACRO_AR):
        fail("Uthmani 1:1 is not the Bismillah: %r" % uthmani[(1, 1)])
    if farsi2[(1, 1)] != BASMALAH_MACRO_FA:
        fail("Fooladvand 1:1 is not what \\basmalahfa stands for: %r" % farsi2[(1, 1)])

    ar, fa, base = [], [], []
    uth, fa2 = [], []
    surah_first = []
    g = 0
    for s, first, count, _ in surahs:
        surah_first.append(len(ar))
        if first != g + 1:
            fail("surah %d starts at %d, expected %d" % (s, first, g + 1))
        if s not in (1, 9):
            ar.append(clean_arabic(bismillah, "1:1"))
            fa.append(farsi[(1, 1)])
            uth.append(uthmani[(1, 1)])
            fa2.append(farsi2[(1, 1)])
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
            uth.append(uthmani[(s, a)])
            fa2.append(farsi2[(s, a)])
            base.append("%03d%03d%02d%03d%03d" % (s, a, juz_of[g], hizb_of[g], page_of[g]))
    if len(ar) != 6348 or len(uth) != 6348 or len(fa2) != 6348:
        fail("%d/%d/%d lines, expected 6348" % (len(ar), len(uth), len(fa2)))
    fa = [t.replace("\u06CC", "\u064A") for t in fa]
    fa2 = [persian_orthography(t) for t in fa2]

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
    write_table("UTHMANI", uth)
    write_table("FA2", fa2)
    quarter_lines, sajda_lines = mushaf_marks(bounds, base)
    write_table("QUARTERUNIC", quarter_lines)
    write_table("SAJDA", sajda_lines)
    with open(os.path.join(SRC, "help.html"), encoding="utf-8") as f:
        write_table("HELP", f.read().rstrip("\n").split("\n"))
    write_packs(surahs)
    write_latin_folds()


if __name__ == "__main__":
    main()
