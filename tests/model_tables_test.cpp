// The generated tables hold the facts the program relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/Corpus.h"
#include "model/Normalise.h"

using namespace mushaf;
using mushaf::testing::Tables;

namespace {

TextArray Table(const char* name) { return LoadTable(Tables(), name); }

// The ayat of a quran package source file, read apart from the generator:
// each \qt@newcmd line's text without its \qt@no{...} ornament, and
// without the Bismillah macro and the space after it when it heads the ayah.
struct SourceAyah {
    Text text, ornament;
    bool macro;
};
std::vector<SourceAyah> PackageSource(const char* file, TextView macro) {
    std::ifstream in(std::string(MUSHAF_SOURCE_DIR) + "/" + file, std::ios::binary);
    Text all = FromUtf8(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    std::vector<SourceAyah> out;
    for (const Text& line : Split(all, u"\n")) {
        if (line.rfind(u"\\qt@newcmd", 0) != 0) continue;
        std::size_t open = line.find(u'{'), no = line.rfind(u"\\qt@no{");
        EXPECT_TRUE(open != Text::npos && no != Text::npos && line.ends_with(u"}}")) << ToUtf8(line);
        if (open == Text::npos || no == Text::npos) continue;
        SourceAyah a{line.substr(open + 1, no - open - 1), line.substr(no + 7, line.size() - no - 9), false};
        Text head = Text(macro) + u" ";
        if (a.text.starts_with(head)) {
            a.text.erase(0, head.size());
            a.macro = true;
        }
        out.push_back(std::move(a));
    }
    return out;
}

bool IsBismillahLine(const TextArray& base, std::size_t k) { return TextView(base[k]).substr(3, 3) == u"000"; }

// A table line without the final U+0000 of the last line.
Text WithoutNul(Text t) {
    if (!t.empty() && t.back() == u'\0') t.pop_back();
    return t;
}

std::vector<long> Numbers(const TextArray& a) {
    std::vector<long> v;
    for (const Text& t : a) v.push_back(static_cast<long>(*ReadNumber(t)));
    return v;
}

}  // namespace

TEST(Tables, EncodingBomCrLfAndTrailingNul) {
    const std::set<std::string> withNul = {"AR",      "FA",       "BASE",        "JOZEUNIC", "SOREHNAME", "MM",
                                           "SR_TAYAT", "SR_TNAME", "SR_TNOOZOOL", "UTHMANI",  "FA2"};
    for (const char* name : {"AR", "FA", "BASE", "SOREHNAME", "SOREHUNIC", "JOZEUNIC", "HEZBUNIC", "PAGEUNIC", "AYEHOFSOREH",
                             "MM", "SR_TAYAT", "SR_TNAME", "SR_TNOOZOOL", "SR_TNORMAL", "HELP", "UTHMANI", "FA2"}) {
        SCOPED_TRACE(name);
        auto bytes = Tables().Lookup(name, 1);
        ASSERT_TRUE(bytes);
        ASSERT_EQ(bytes->size() % 2, 0u);
        Text text = Utf16LE(*bytes);
        EXPECT_EQ(text[0], u'\uFEFF');
        std::string n = name;
        if (n == "HELP") {
            EXPECT_EQ(text.substr(text.size() - 2), u"\r\n");
            continue;
        }
        EXPECT_NE(text.substr(text.size() - 2), u"\r\n");
        EXPECT_EQ(text.back() == u'\0', withNul.count(n) == 1);
        EXPECT_EQ(std::count(text.begin(), text.end(), u'\0'), withNul.count(n) ? 1 : 0);
        // a lone LF or CR never stands between lines
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'\n') ASSERT_TRUE(i > 0 && text[i - 1] == u'\r');
            if (text[i] == u'\r') ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == u'\n');
        }
    }
}

TEST(Tables, LookupIsCaseInsensitiveAndNeedsIdOne) {
    EXPECT_EQ(Tables().Lookup("PageUnic", 1), Tables().Lookup("PAGEUNIC", 1));
    EXPECT_FALSE(Tables().Lookup("PageUnic", 2));
    EXPECT_FALSE(Tables().Lookup("NOSUCH", 1));
    EXPECT_FALSE(Tables().Lookup("../tables/AR", 1));
}

TEST(Tables, LineCounts) {
    EXPECT_EQ(Table("AR").size(), 6348u);
    EXPECT_EQ(Table("FA").size(), 6348u);
    EXPECT_EQ(Table("BASE").size(), 6348u);
    EXPECT_EQ(Table("UTHMANI").size(), 6348u);
    EXPECT_EQ(Table("FA2").size(), 6348u);
    for (const char* n : {"SOREHNAME", "SOREHUNIC", "AYEHOFSOREH", "MM", "SR_TAYAT", "SR_TNAME", "SR_TNOOZOOL", "SR_TNORMAL"})
        EXPECT_EQ(Table(n).size(), 114u) << n;
    EXPECT_EQ(Table("JOZEUNIC").size(), 30u);
    EXPECT_EQ(Table("HEZBUNIC").size(), 60u);
    EXPECT_EQ(Table("PAGEUNIC").size(), 604u);
}

TEST(Tables, PositionRecords) {
    TextArray base = Table("BASE");
    EXPECT_EQ(base[0], u"00100101001001");
    EXPECT_EQ(base[7], u"00200001001002");
    EXPECT_EQ(base[6347], Text(u"11400630060604") + u'\0');
    int ayat = 0, bismillah = 0;
    for (std::size_t k = 0; k < base.size(); ++k) {
        TextView r = base[k];
        ASSERT_GE(r.size(), 14u);
        (r.substr(3, 3) == u"000" ? bismillah : ayat)++;
        if (k > 0) {
            TextView p = base[k - 1];
            for (auto [at, n] : {std::pair{0, 3}, {6, 2}, {8, 3}, {11, 3}})
                ASSERT_LE(*ReadNumber(p.substr(at, n)), *ReadNumber(r.substr(at, n))) << k;
        }
    }
    EXPECT_EQ(ayat, 6236);
    EXPECT_EQ(bismillah, 112);
}

TEST(Tables, FirstLineTables) {
    EXPECT_EQ(Numbers(Table("JOZEUNIC")),
              (std::vector<long>{0, 149, 260, 387, 519, 643, 754, 904, 1047, 1207, 1334, 1487, 1658, 1814, 2043,
                                 2230, 2501, 2693, 2898, 3239, 3412, 3594, 3766, 4126, 4303, 4553, 4754, 5159, 5305, 5747}));
    auto starts = [](const std::vector<long>& v, std::vector<long> head, std::vector<long> tail) {
        EXPECT_TRUE(std::equal(head.begin(), head.end(), v.begin()));
        EXPECT_TRUE(std::equal(tail.rbegin(), tail.rend(), v.rbegin()));
    };
    starts(Numbers(Table("SOREHUNIC")), {0, 7, 294, 495, 672}, {6330, 6335, 6341});
    starts(Numbers(Table("HEZBUNIC")), {0, 82, 149, 210}, {5516, 5747, 6032});
    starts(Numbers(Table("PAGEUNIC")), {0, 7, 13, 24, 32}, {6296, 6313, 6330});
    starts(Numbers(Table("AYEHOFSOREH")), {7, 286, 200, 176, 120}, {6});
    auto counts = Numbers(Table("AYEHOFSOREH"));
    long total = 0;
    for (long c : counts) total += c;
    EXPECT_EQ(total, 6236);
    // every first-line entry is the smallest line of its unit
    TextArray base = Table("BASE");
    auto check = [&](const char* table, std::size_t at, std::size_t n) {
        auto firsts = Numbers(Table(table));
        for (std::size_t u = 0; u < firsts.size(); ++u) {
            long line = firsts[u];
            EXPECT_EQ(*ReadNumber(TextView(base[line]).substr(at, n)), double(u + 1)) << table << u;
            if (line > 0) EXPECT_EQ(*ReadNumber(TextView(base[line - 1]).substr(at, n)), double(u)) << table << u;
        }
    };
    check("SOREHUNIC", 0, 3);
    check("JOZEUNIC", 6, 2);
    check("HEZBUNIC", 8, 3);
    check("PAGEUNIC", 11, 3);
}

TEST(Tables, CarriedTables) {
    auto mm = Numbers(Table("MM"));
    std::vector<long> madinan;
    for (std::size_t s = 0; s < mm.size(); ++s)
        if (mm[s] == 1) madinan.push_back(static_cast<long>(s + 1));
    EXPECT_EQ(madinan, (std::vector<long>{2, 3, 4, 5, 8, 9, 13, 22, 24, 33, 47, 48, 49, 55, 57, 58, 59, 60, 61, 62, 63,
                                          64, 65, 66, 76, 98, 99, 110}));
    auto byAyat = Numbers(Table("SR_TAYAT"));
    EXPECT_EQ(std::vector<long>(byAyat.begin(), byAyat.begin() + 6), (std::vector<long>{2, 26, 7, 3, 37, 4}));
    auto counts = Numbers(Table("AYEHOFSOREH"));
    for (std::size_t i = 1; i < byAyat.size(); ++i) {
        long a = counts[byAyat[i - 1] - 1], b = counts[byAyat[i] - 1];
        EXPECT_TRUE(a > b || (a == b && byAyat[i - 1] < byAyat[i])) << i;
    }
    auto byName = Numbers(Table("SR_TNAME"));
    EXPECT_EQ(std::vector<long>(byName.begin(), byName.begin() + 5), (std::vector<long>{14, 33, 46, 112, 17}));
    auto sorted = byName;
    std::sort(sorted.begin(), sorted.end());
    for (long s = 1; s <= 114; ++s) EXPECT_EQ(sorted[s - 1], s);
    auto order = Numbers(Table("SR_TNOOZOOL"));
    EXPECT_EQ(std::vector<long>(order.begin(), order.begin() + 4), (std::vector<long>{5, 87, 89, 92}));
}

TEST(Tables, ArabicText) {
    TextArray ar = Table("AR");
    for (std::size_t k = 0; k < ar.size(); ++k) {
        for (char16_t c : ar[k]) {
            bool ok = (c >= 0x0621 && c <= 0x064A) || IsMark(c) || c == u' ' || c == 0x061B || (k == 6347 && c == 0);
            ASSERT_TRUE(ok) << "line " << k << " U+" << std::hex << int(c);
        }
    }
    TextArray base = Table("BASE");
    for (std::size_t k = 0; k < ar.size(); ++k)
        if (TextView(base[k]).substr(3, 3) == u"000") EXPECT_EQ(ar[k], ar[0]) << k;
    // ayah 1 of surah 2 no longer carries the Bismillah
    EXPECT_EQ(WithoutMarks(ar[8]), u"الم");
}

TEST(Tables, TranslationAndNames) {
    TextArray fa = Table("FA"), base = Table("BASE");
    for (std::size_t k = 0; k < fa.size(); ++k) {
        EXPECT_EQ(fa[k].find(u'\u06CC'), Text::npos) << k;
        if (TextView(base[k]).substr(3, 3) == u"000") EXPECT_EQ(fa[k], fa[0]) << k;
    }
    TextArray names = Table("SOREHNAME");
    for (std::size_t i = 0; i + 1 < names.size(); ++i) EXPECT_LE(names[i].size(), 9u);
    EXPECT_NE(names[2].find(u' '), Text::npos);
    EXPECT_EQ(Table("SR_TNORMAL")[0], u"الفاتحة");
}

TEST(Tables, UthmaniKeepsEveryCharacterOfItsSource) {
    TextArray uth = Table("UTHMANI"), base = Table("BASE");
    std::vector<SourceAyah> source = PackageSource("qurantext-uthmani.def", u"\\basmalah");
    ASSERT_EQ(source.size(), 6236u);
    // the ayat in order, each the source text minus the ornament and the macro
    std::size_t next = 0;
    int macros = 0;
    for (std::size_t k = 0; k < uth.size(); ++k) {
        if (IsBismillahLine(base, k)) {
            EXPECT_EQ(uth[k], uth[0]) << k;
            continue;
        }
        ASSERT_LT(next, source.size());
        const SourceAyah& a = source[next++];
        EXPECT_EQ(WithoutNul(uth[k]), a.text) << "line " << k;
        // the ornament carries the ayah number
        Text digits;
        for (char16_t c : a.ornament)
            if (c >= 0x0660 && c <= 0x0669) digits += static_cast<char16_t>(u'0' + (c - 0x0660));
        EXPECT_EQ(*ReadNumber(digits), *ReadNumber(TextView(base[k]).substr(3, 3))) << "line " << k;
        // the macro heads ayah 1 of exactly the surahs with a Bismillah line
        EXPECT_EQ(a.macro, k > 0 && IsBismillahLine(base, k - 1)) << "line " << k;
        macros += a.macro;
    }
    EXPECT_EQ(next, source.size());
    EXPECT_EQ(macros, 112);
    // the Bismillah lines carry 1:1 of this text; 2:1 no longer carries it
    EXPECT_EQ(uth[0], source[0].text);
    EXPECT_EQ(uth[8], u"الٓمٓ");
    EXPECT_EQ(uth[6347], source.back().text + u'\0');
    // no ornament, digit or TeX is left, and the Uthmani letters are there
    std::set<char16_t> seen;
    for (std::size_t k = 0; k < uth.size(); ++k) {
        for (char16_t c : uth[k]) {
            bool ornament = c == 0xFD3E || c == 0xFD3F || (c >= 0x0660 && c <= 0x0669) || (c >= u'0' && c <= u'9');
            ASSERT_FALSE(ornament || c == u'\\' || c == u'{' || c == u'}' || (c < 0x80 && c != u' ' && !(k == 6347 && c == 0)))
                << "line " << k << " U+" << std::hex << int(c);
            seen.insert(c);
        }
    }
    for (char16_t c : {u'\u0671', u'\u0670', u'\u06E5', u'\u06E6', u'\u06DF', u'\u0653'})
        EXPECT_TRUE(seen.count(c)) << std::hex << int(c);
}

TEST(Tables, FooladvandTranslation) {
    TextArray fa2 = Table("FA2"), base = Table("BASE");
    std::vector<SourceAyah> source = PackageSource("qurantext-fa.translation.def", u"\\basmalahfa");
    ASSERT_EQ(source.size(), 6236u);
    // the orthography of FA: yeh as U+064A, kaf as U+06A9
    auto orthography = [](Text t) {
        for (char16_t& c : t) {
            if (c == 0x06CC || c == 0x0649) c = 0x064A;
            if (c == 0x0643) c = 0x06A9;
        }
        return t;
    };
    std::size_t next = 0;
    for (std::size_t k = 0; k < fa2.size(); ++k) {
        for (char16_t c : fa2[k])
            ASSERT_TRUE(c != 0x06CC && c != 0x0649 && c != 0x0643 && c != u'\\') << "line " << k << " U+" << std::hex << int(c);
        if (IsBismillahLine(base, k)) {
            EXPECT_EQ(fa2[k], fa2[0]) << k;
            continue;
        }
        const SourceAyah& a = source[next++];
        EXPECT_EQ(WithoutNul(fa2[k]), orthography(a.text)) << "line " << k;
        EXPECT_EQ(a.ornament, u"(" + Decimal(static_cast<long long>(*ReadNumber(TextView(base[k]).substr(3, 3)))) + u")") << k;
    }
    EXPECT_EQ(next, source.size());
    EXPECT_EQ(fa2[0], u"به نام خداوند رحمتگر مهربان");
    // 9:1 (line 1242) carries the macro in the source but has no Bismillah
    EXPECT_TRUE(source[1235].macro);
    EXPECT_EQ(fa2[1242].find(fa2[0]), Text::npos);
    EXPECT_EQ(fa2[1242].rfind(u"[اين آيات", 0), 0u);
    EXPECT_EQ(fa2[6347].back(), u'\0');
    // Persian kaf stands where the source has the Arabic one
    EXPECT_NE(fa2[9].find(u'\u06A9'), Text::npos);
}

TEST(Tables, HelpIsTheHelpPageWithTheCredits) {
    std::ifstream in(std::string(MUSHAF_SOURCE_DIR) + "/help.html", std::ios::binary);
    Text page = FromUtf8(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    Text help = Utf16LE(*Tables().Lookup("HELP", 1));
    // the generated table is the page as it stands, with CR LF lines
    EXPECT_EQ(help, u"\uFEFF" + Replaced(page, u"\n", u"\r\n"));
    for (const char16_t* credit : {u"Tanzil Quran Text, Simple", u"Tanzil Quran Text, Uthmani", u"انـصـاریـان",
                                   u"مـحـمـد مـهـدی فـولادونـد", u"Seiied-Mohammad-Javad Razavian", u"LaTeX quran",
                                   u"href='https://tanzil.net'"})
        EXPECT_NE(help.find(credit), Text::npos) << ToUtf8(credit);
}
