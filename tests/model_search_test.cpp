// The pattern matcher and the search of the text model.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "tests/Corpus.h"
#include "views/Documents.h"
#include "model/Normalise.h"
#include "tests/ReferenceSearch.h"

using namespace mushaf;
using mushaf::testing::LoadedModel;

namespace {
// Sets the search text and target and searches every line.
const std::vector<int16_t>& Find(cQ114& m, TextView text, int target = 0) {
    m.SearchText(Text(text));
    m.SearchTo(target);
    m.StartSearch(-1, -1);
    return m.FoundList();
}
}  // namespace

TEST(Pattern, Operators) {
    EXPECT_TRUE(MatchesPattern(u"abc", u"abc"));
    EXPECT_FALSE(MatchesPattern(u"abc", u"ab"));
    EXPECT_FALSE(MatchesPattern(u"abc", u"ABC"));
    EXPECT_TRUE(MatchesPattern(u"", u"*"));
    EXPECT_TRUE(MatchesPattern(u"", u""));
    EXPECT_FALSE(MatchesPattern(u"a", u""));
    EXPECT_TRUE(MatchesPattern(u"a1c", u"a#c"));
    EXPECT_FALSE(MatchesPattern(u"abc", u"a#c"));
    EXPECT_TRUE(MatchesPattern(u"abc", u"a?c"));
    EXPECT_TRUE(MatchesPattern(u"abc", u"a[xbz]c"));
    EXPECT_TRUE(MatchesPattern(u"abc", u"a[a-c]c"));
    EXPECT_FALSE(MatchesPattern(u"abc", u"a[!a-c]c"));
    EXPECT_TRUE(MatchesPattern(u"a-c", u"a[-]c"));
    EXPECT_TRUE(MatchesPattern(u"ac", u"a[]c"));
    EXPECT_TRUE(MatchesPattern(u"xx*yy", u"*[*]*"));
    EXPECT_TRUE(MatchesPattern(u"abcabd", u"*abd"));
    EXPECT_TRUE(MatchesPattern(u"aXbXc", u"a*b*c"));
    EXPECT_FALSE(MatchesPattern(u"ab", u"ab*b"));
    EXPECT_THROW(MatchesPattern(u"abc", u"*[ab*"), InvalidPattern);
    EXPECT_THROW(MatchesPattern(u"abc", u"[c-a]"), InvalidPattern);
}

TEST(Pattern, AgreesWithABacktrackingMatcherOnRandomInput) {
    std::mt19937 rng(7);
    const Text alphabet = u"ab1*?#[]!-";
    const Text letters = u"ab1-!";
    auto pick = [&](const Text& from, int n) {
        Text t;
        for (int i = 0; i < n; ++i) t += from[rng() % from.size()];
        return t;
    };
    int compared = 0;
    for (int round = 0; round < 20000; ++round) {
        Text pattern = pick(alphabet, static_cast<int>(rng() % 7));
        Text text = pick(letters, static_cast<int>(rng() % 8));
        bool refThrew = false, ref = false;
        try {
            ref = reference::Like(text, pattern);
        } catch (const InvalidPattern&) {
            refThrew = true;
        }
        std::optional<Pattern> compiled;
        try {
            compiled.emplace(pattern);
        } catch (const InvalidPattern&) {
            // compiling rejects what the reference rejects only once it gets there
            continue;
        }
        ASSERT_FALSE(refThrew) << ToUtf8(pattern);
        ASSERT_EQ(compiled->Matches(text), ref) << ToUtf8(text) << " ~ " << ToUtf8(pattern);
        ++compared;
    }
    EXPECT_GT(compared, 10000);
}

TEST(Pattern, ManyStarsStayLinear) {
    Text pattern = u"*";
    for (int i = 0; i < 20; ++i) pattern += u"a*";
    pattern += u"b";
    Text line(5000, u'a');
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(MatchesPattern(line, pattern));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

TEST(Search, ArabicIgnoresMarksAndLetterVariants) {
    cQ114 m = LoadedModel();
    Find(m, u"الحمد لله", 0);
    ASSERT_GT(m.FoundNumber(), 0);
    EXPECT_EQ(m.FoundList().front(), 1);
    EXPECT_EQ(m.FoundNumber(), static_cast<int16_t>(m.FoundList().size()));
    for (std::size_t i = 1; i < m.FoundList().size(); ++i) EXPECT_LT(m.FoundList()[i - 1], m.FoundList()[i]);
    // the position does not move
    EXPECT_EQ(m.GlobalAyeh(), 0);

    // a query typed with marks or with hamza forms finds the same lines
    auto lines = m.FoundList();
    m.SearchText(u"الْحَمْدُ لِلَّهِ");
    m.StartSearch(-1, -1);
    EXPECT_EQ(m.FoundList(), lines);

    m.SearchText(u"آمنوا");
    m.StartSearch(-1, -1);
    auto withMadda = m.FoundList();
    m.SearchText(u"امنوا");
    m.StartSearch(-1, -1);
    EXPECT_EQ(m.FoundList(), withMadda);
    EXPECT_GT(withMadda.size(), 200u);
}

TEST(Search, BismillahIsFoundOnEveryBismillahLine) {
    cQ114 m = LoadedModel();
    Find(m, u"بسم الله الرحمن", 0);
    // 112 Bismillah lines, line 0, and 27:30
    EXPECT_EQ(m.FoundNumber(), 114);
    EXPECT_EQ(m.FoundList()[0], 0);
    EXPECT_EQ(m.FoundList()[1], 7);
}

TEST(Search, MatchesTheReferenceSearch) {
    cQ114 m = LoadedModel();
    TextArray lines = LoadTable(mushaf::testing::Tables(), "AR");
    TextArray uthmani = LoadTable(mushaf::testing::Tables(), "UTHMANI");
    for (const char16_t* query : {u"الحمد", u"قل هو الله", u"رب?", u"[بت]سم", u"ال#", u"سبح*الاعلى", u"يا ايها الذين"}) {
        Find(m, query, 0);
        Text folded = ArabicSearchForm(query);  // the reference lacks the letter folding
        // every line the simple text gives is found, as it always was
        const std::vector<int16_t> simple = reference::SearchArabic(lines, folded);
        // the reference does not fold kaf, yeh or doubled spaces, so it can only find fewer
        for (int16_t j : simple)
            EXPECT_TRUE(std::binary_search(m.FoundList().begin(), m.FoundList().end(), j)) << ToUtf8(query) << " " << j;
        if (folded == query)
            EXPECT_EQ(m.FoundList(), reference::Either(simple, reference::SearchArabic(uthmani, folded))) << ToUtf8(query);
    }
}

TEST(Search, ShortTextLeavesTheEarlierResult) {
    cQ114 m = LoadedModel();
    Find(m, u"الله", 0);
    auto before = m.FoundList();
    ASSERT_FALSE(before.empty());
    for (const char16_t* t : {u"ا", u"  ا  ", u"", u"   "}) {
        m.SearchText(t);
        m.StartSearch(-1, -1);
        EXPECT_EQ(m.FoundList(), before);
    }
}

TEST(Search, TargetsAndFailures) {
    cQ114 m = LoadedModel();
    Find(m, u"الله", 2);
    EXPECT_EQ(m.FoundNumber(), 0);
    EXPECT_TRUE(m.FoundList().empty());

    m.SearchTo(0);
    m.SearchText(u"[الله");
    EXPECT_THROW(m.StartSearch(-1, -1), InvalidPattern);
    EXPECT_TRUE(m.FoundList().empty());
    EXPECT_EQ(m.FoundNumber(), 0);

    m.SearchText(u"الله");
    EXPECT_THROW(m.StartSearch(6340, 6400), SubscriptOutOfRange);
    EXPECT_EQ(m.FoundNumber(), 0);

    m.StartSearch(0, 6);
    EXPECT_GT(m.FoundNumber(), 0);
    EXPECT_LE(m.FoundList().back(), 6);
}

TEST(Search, TranslationWithEitherKafOrYeh) {
    cQ114 m = LoadedModel();
    m.SearchTo(1);
    // the stored translation has Persian kaf; the window hands the Arabic kaf over
    m.SearchText(views::PrepareSearchQuery(u"کتاب"));
    m.StartSearch(-1, -1);
    auto arabicKaf = m.FoundList();
    EXPECT_GT(arabicKaf.size(), 100u);
    m.SearchText(u"کتاب");
    m.StartSearch(-1, -1);
    EXPECT_EQ(m.FoundList(), arabicKaf);
    // a current Persian keyboard types U+06CC; the table holds U+064A
    m.SearchText(u"مهربانی");
    m.StartSearch(-1, -1);
    EXPECT_GT(m.FoundNumber(), 100);
}

TEST(Search, TranslationSearchSearchesTheChosenTranslation) {
    cQ114 m = LoadedModel();
    TextArray fa = LoadTable(mushaf::testing::Tables(), "FA"), fa2 = LoadTable(mushaf::testing::Tables(), "FA2");
    auto linesWith = [](const TextArray& table, TextView word) {
        std::vector<int16_t> out;
        for (std::size_t k = 0; k < table.size(); ++k)
            if (table[k].find(word) != Text::npos) out.push_back(static_cast<int16_t>(k));
        return out;
    };
    m.GoPosition(300);
    auto arabic = Find(m, u"الحمد لله", 0);
    // Fooladvand's word for the Merciful, on every Bismillah line of FA2; and an
    // Ansarian phrase, typed with a current Persian keyboard (U+06CC, U+06A9)
    const Text fooladvandWord = u"رحمتگر", ansarianWord = u"پرهیزکاران";
    const Text ansarianStored = u"پرهيزکاران";
    auto inFa2 = linesWith(fa2, fooladvandWord), inFa = linesWith(fa, ansarianStored);
    ASSERT_GT(inFa2.size(), 112u);
    ASSERT_GT(inFa.size(), 10u);
    ASSERT_TRUE(linesWith(fa, fooladvandWord).empty());
    ASSERT_TRUE(linesWith(fa2, ansarianStored).empty());

    EXPECT_TRUE(Find(m, fooladvandWord, 1).empty());
    EXPECT_EQ(Find(m, ansarianWord, 1), inFa);

    m.ChooseTranslation(cQ114::Translation::Fooladvand);
    EXPECT_EQ(Find(m, fooladvandWord, 1), inFa2);
    EXPECT_EQ(m.FoundNumber(), static_cast<int16_t>(inFa2.size()));
    EXPECT_TRUE(Find(m, ansarianWord, 1).empty());
    // folded as before: the Arabic kaf and yeh, as the window hands them over, find the stored Persian kaf
    auto book = linesWith(fa2, u"کتاب");
    ASSERT_GT(book.size(), 100u);
    EXPECT_EQ(Find(m, u"كتاب", 1), book);
    EXPECT_EQ(Find(m, u"کتاب", 1), book);
    EXPECT_EQ(Find(m, u"كسانى", 1), linesWith(fa2, u"کساني"));
    // a pattern, over the chosen translation
    EXPECT_EQ(Find(m, u"رحمتگر مهربان", 1), linesWith(fa2, u"رحمتگر مهربان"));
    // the Arabic search is the same whichever translation is chosen, and nothing moved
    EXPECT_EQ(Find(m, u"الحمد لله", 0), arabic);
    EXPECT_EQ(m.GlobalAyeh(), 300);

    m.ChooseTranslation(cQ114::Translation::Ansarian);
    EXPECT_TRUE(Find(m, fooladvandWord, 1).empty());
}

TEST(Search, FirstAndLastFound) {
    cQ114 m = LoadedModel();
    m.GoPosition(50);
    m.GoFirstFound();  // nothing found yet
    m.GoLastFound();
    EXPECT_EQ(m.GlobalAyeh(), 50);
    m.SearchText(u"الحمد لله");
    m.StartSearch(-1, -1);
    m.GoFirstFound();
    EXPECT_EQ(m.GlobalAyeh(), m.FoundList().front());
    m.GoLastFound();
    EXPECT_EQ(m.GlobalAyeh(), m.FoundList().back());
}

TEST(Pattern, LiteralFinderAgreesWithPlainFind) {
    std::mt19937 rng(11);
    const Text letters = u"ابل ه";
    for (int round = 0; round < 5000; ++round) {
        Text text, literal;
        int n = static_cast<int>(rng() % 40), m = 1 + static_cast<int>(rng() % 5);
        for (int i = 0; i < n; ++i) text += letters[rng() % letters.size()];
        for (int i = 0; i < m; ++i) literal += letters[rng() % letters.size()];
        LiteralFinder finder(literal);
        std::size_t from = n ? rng() % (n + 1) : 0;
        ASSERT_EQ(finder.Find(text, from), TextView(text).find(literal, from)) << ToUtf8(text) << " / " << ToUtf8(literal);
    }
}

TEST(Search, LongBracketListStaysFast) {
    cQ114 m = LoadedModel();
    // 30 000 separate letters, every other code point from U+0700 on, past
    // the surrogates, and one letter of the text (qaf) at the end
    Text list;
    std::vector<bool> in(0x10000);
    for (int i = 0; i < 30000; ++i) {
        int c = 0x0700 + 2 * i;
        if (c >= 0xD800) c += 0x800;
        list += static_cast<char16_t>(c);
        in[c] = true;
    }
    list += u'\u0642';
    in[0x0642] = true;
    const Text query = u"[" + list + u"]";
    for (int target : {0, 1}) {
        TextArray lines = LoadTable(mushaf::testing::Tables(), target == 0 ? "AR" : "FA");
        std::vector<int16_t> expected;
        for (std::size_t j = 0; j < lines.size(); ++j) {
            Text form = target == 0 ? ArabicSearchForm(lines[j]) : TranslationSearchForm(lines[j]);
            if (std::any_of(form.begin(), form.end(), [&](char16_t c) { return in[c]; }))
                expected.push_back(static_cast<int16_t>(j));
        }
        auto start = std::chrono::steady_clock::now();
        Find(m, query, target);
        auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, std::chrono::seconds(2)) << "target " << target;
        EXPECT_EQ(m.FoundList(), expected) << "target " << target;
        EXPECT_GT(expected.size(), 1000u);
    }
}

TEST(Search, BracketsAreTakenAsWritten) {
    cQ114 m = LoadedModel();
    TextArray ar = LoadTable(mushaf::testing::Tables(), "AR");
    TextArray ut = LoadTable(mushaf::testing::Tables(), "UTHMANI");
    TextArray fa = LoadTable(mushaf::testing::Tables(), "FA");
    // the Arabic lines in either script
    auto arabic = [&](TextView query) {
        return reference::Either(reference::SearchFolded(ar, query, true), reference::SearchFolded(ut, query, true));
    };
    // ranges with a Persian or Arabic endpoint that the letter folding would
    // turn round, lists with a folded letter, a negated list
    for (const char16_t* query : {u"[ن-ک]ت", u"[إ-ئ]ل", u"ال[ة-ت]", u"[ک]تاب", u"م[ی]ن", u"[!ی]ن ا", u"ر[ة]م"}) {
        SCOPED_TRACE(ToUtf8(query));
        ASSERT_NO_THROW(Find(m, views::PrepareSearchQuery(query), 0));
        EXPECT_EQ(m.FoundList(), arabic(query));
        // all the simple text gives, as it always did
        const std::vector<int16_t> simple = reference::SearchFolded(ar, query, true);
        EXPECT_TRUE(std::includes(m.FoundList().begin(), m.FoundList().end(), simple.begin(), simple.end()));
        EXPECT_GT(m.FoundNumber(), 0);
    }
    for (const char16_t* query : {u"[ن-ک]ت", u"[ی]ک", u"ک[ا-ی]ب", u"[!ک]تاب"}) {
        SCOPED_TRACE(ToUtf8(query));
        ASSERT_NO_THROW(Find(m, views::PrepareSearchQuery(query), 1));
        EXPECT_EQ(m.FoundList(), reference::SearchFolded(fa, query, false));
        EXPECT_GT(m.FoundNumber(), 0);
    }
    // a range reversed as written stays refused
    EXPECT_THROW(Find(m, views::PrepareSearchQuery(u"[ک-ن]"), 0), InvalidPattern);
    // a mark in a bracket stays a mark; the searched form has none
    Find(m, views::PrepareSearchQuery(u"[\u064B]"), 0);
    EXPECT_EQ(m.FoundNumber(), 0);
    Find(m, u"ب[\u064E\u0650]س", 0);
    EXPECT_EQ(m.FoundNumber(), 0);
    // marks outside brackets still do not count
    Find(m, u"بِسْمِ [ا]للَّهِ", 0);
    EXPECT_EQ(m.FoundList(), arabic(u"بسم الله"));

    // the query forms fold outside lists only; an unclosed "[" is no list
    EXPECT_EQ(ArabicSearchQuery(u"إِ[إً]ة  [ة-ت]  ک[ی"), u"ا[إً]ه [ة-ت] ك[ي");
    EXPECT_EQ(TranslationSearchQuery(u"ی[ی]ة"), u"ي[ی]ة");
    EXPECT_EQ(QueryForm(u"ی\u200F[ی\u200F]"), u"ي [ی\u200F]");
}

TEST(Search, AFailingSearchLeavesTheEarlierResult) {
    cQ114 m = LoadedModel();
    m.GoPosition(300);
    Find(m, u"الحمد لله", 0);
    const auto before = m.FoundList();
    const int16_t number = m.FoundNumber();
    ASSERT_GT(number, 0);
    m.SearchText(u"[الله");
    EXPECT_THROW(m.StartSearch(-1, -1), InvalidPattern);
    EXPECT_EQ(m.FoundList(), before);
    EXPECT_EQ(m.FoundNumber(), number);
    m.SearchText(u"الله");
    EXPECT_THROW(m.StartSearch(6340, 6400), SubscriptOutOfRange);
    EXPECT_EQ(m.FoundList(), before);
    EXPECT_EQ(m.FoundNumber(), number);
    EXPECT_EQ(m.GlobalAyeh(), 300);
}

TEST(Pattern, APlainTextBetweenStarsIsOneLiteral) {
    for (auto [pattern, literal] : {std::pair<const char16_t*, const char16_t*>{u"*قل هو*", u"قل هو"},
                                    {u"**ab**", u"ab"}, {u"*a[]b*", u"ab"}, {u"*x*", u"x"}}) {
        Pattern compiled(pattern);
        ASSERT_NE(compiled.SingleLiteral(), nullptr) << ToUtf8(pattern);
        EXPECT_EQ(compiled.SingleLiteral()->literal(), literal);
    }
    // the pattern the Arabic search builds from a plain query typed with marks
    Pattern search(ArabicSearchQuery(u"*الْحَمْدُ لِلَّهِ*"), ArabicFolds());
    ASSERT_NE(search.SingleLiteral(), nullptr);
    EXPECT_EQ(search.SingleLiteral()->literal(), ArabicSearchForm(u"الحمد لله"));
    // anything more than one plain text, or a text held at either end, is not
    for (const char16_t* pattern : {u"*", u"", u"ab", u"ab*", u"*ab", u"*a*b*", u"*a?b*", u"*a#*", u"*[ab]*", u"*[!a]*"})
        EXPECT_EQ(Pattern(pattern).SingleLiteral(), nullptr) << ToUtf8(pattern);
    // matching is unchanged by the segment a trailing star no longer leaves
    EXPECT_TRUE(MatchesPattern(u"xaby", u"*ab*"));
    EXPECT_TRUE(MatchesPattern(u"ab", u"ab*"));
    EXPECT_FALSE(MatchesPattern(u"xab", u"ab*"));
    EXPECT_TRUE(MatchesPattern(u"abxa", u"a*a*"));
    EXPECT_FALSE(MatchesPattern(u"abx", u"a*a*"));
}

TEST(Search, ALineWithSeveralHitsIsFoundOnce) {
    cQ114 m = LoadedModel();
    TextArray ar = LoadTable(mushaf::testing::Tables(), "AR");
    const Text word = u"الله";
    std::vector<int16_t> expected;
    int several = 0;
    for (std::size_t j = 0; j < ar.size(); ++j) {
        Text form = ArabicSearchForm(ar[j]);
        std::size_t first = form.find(word);
        if (first == Text::npos) continue;
        expected.push_back(static_cast<int16_t>(j));
        several += form.find(word, first + 1) != Text::npos;
    }
    EXPECT_GT(several, 500);
    EXPECT_EQ(Find(m, word, 0), expected);
    EXPECT_EQ(m.FoundNumber(), static_cast<int16_t>(expected.size()));
}

TEST(Search, PlainQueriesFindWhatTheLineByLineMatchFinds) {
    // queries cut from the lines themselves, over the whole text and over
    // ranges of lines, in the Arabic (both scripts) and both translations;
    // each compared with the pattern matched against every line on its own
    cQ114 m = LoadedModel();
    std::mt19937 rng(5);
    struct Target {
        int searchTo;
        const char* table;
        const char* alsoTable;  // the Arabic lines in the Uthmani script
        cQ114::Translation translation;
        Text (*form)(TextView);
        Text (*query)(TextView);
        std::span<const LetterFold> folds;
    };
    int compared = 0, fast = 0;
    for (const Target& t : {Target{0, "AR", "UTHMANI", cQ114::Translation::Ansarian, ArabicSearchForm, ArabicSearchQuery, ArabicFolds()},
                            Target{1, "FA", nullptr, cQ114::Translation::Ansarian, TranslationSearchForm, TranslationSearchQuery,
                                   TranslationFolds()},
                            Target{1, "FA2", nullptr, cQ114::Translation::Fooladvand, TranslationSearchForm, TranslationSearchQuery,
                                   TranslationFolds()}}) {
        SCOPED_TRACE(t.table);
        m.ChooseTranslation(t.translation);
        std::vector<Text> forms, alsoForms;
        for (const Text& line : LoadTable(mushaf::testing::Tables(), t.table)) forms.push_back(t.form(line));
        if (t.alsoTable)
            for (const Text& line : LoadTable(mushaf::testing::Tables(), t.alsoTable)) alsoForms.push_back(t.form(line));
        for (int round = 0; round < 80; ++round) {
            const std::vector<Text>& cutFrom = round % 2 && !alsoForms.empty() ? alsoForms : forms;
            const Text& from = cutFrom[rng() % cutFrom.size()];
            std::size_t length = 2 + rng() % 10, at = rng() % from.size();
            Text query = from.substr(at, length);
            if (TrimSpaces(query).size() < 2 || query.find_first_of(u"*?#[]") != Text::npos) continue;
            int start = -1, end = -1;
            if (round % 4 == 3) {
                start = static_cast<int>(rng() % forms.size());
                end = start + static_cast<int>(rng() % (forms.size() - start));
            }
            const Pattern pattern(t.query(u"*" + query + u"*"), t.folds);
            fast += pattern.SingleLiteral() != nullptr;
            std::vector<int16_t> expected;
            for (int j = start < 0 ? 0 : start; j <= (end < 0 ? static_cast<int>(forms.size()) - 1 : end); ++j)
                if (pattern.Matches(forms[j]) || (j < static_cast<int>(alsoForms.size()) && pattern.Matches(alsoForms[j])))
                    expected.push_back(static_cast<int16_t>(j));
            m.SearchText(query);
            m.SearchTo(t.searchTo);
            m.StartSearch(static_cast<int16_t>(start), static_cast<int16_t>(end));
            ASSERT_EQ(m.FoundList(), expected) << ToUtf8(query) << " lines " << start << ".." << end;
            ++compared;
        }
    }
    EXPECT_GT(compared, 200);
    EXPECT_EQ(fast, compared);
}

namespace {
// A pattern of `size` characters drawn from `from`, the same for every run.
Text RandomPattern(std::size_t size, TextView from, unsigned seed) {
    std::mt19937 rng(seed);
    Text out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) out += from[rng() % from.size()];
    return out;
}

// Runs `step` and fails when it takes longer than `bound`: a step linear in
// a megabyte of query takes milliseconds; one that costs the square of it
// takes minutes, past any load of the machine.
template <class Step>
void AnsweredWithin(std::chrono::milliseconds bound, const char* what, Step step) {
    auto start = std::chrono::steady_clock::now();
    step();
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(took, bound) << what;
}
}  // namespace

TEST(Search, AMegabyteQueryIsAnsweredInLinearTime) {
    cQ114 m = LoadedModel();
    const std::size_t size = 1 << 20;
    const Text brackets(size, u'[');
    // operators and letters of both texts at random; without "-" (a random
    // range is mostly reversed, refused at once) and closed at the end, the
    // second compiles and is matched against every line
    const Text mixed = RandomPattern(size, u"*?#[]!-بسماللهرحنكتابيa ", 3);
    const Text wellFormed = RandomPattern(size, u"*?#[]!بسماللهرحنكتابيa ", 4) + u"]";
    ASSERT_NO_THROW(Pattern(u"*" + ArabicSearchQuery(QueryForm(wellFormed)) + u"*", ArabicFolds()));
    const std::chrono::milliseconds bound(1000);
    for (const Text* query : {&brackets, &mixed, &wellFormed}) {
        SCOPED_TRACE(query == &brackets ? "[[[..." : query == &mixed ? "mixed" : "well formed");
        AnsweredWithin(bound, "QueryForm", [&] { QueryForm(*query); });
        AnsweredWithin(bound, "PrepareSearchQuery", [&] { views::PrepareSearchQuery(*query); });
        AnsweredWithin(bound, "ArabicSearchQuery", [&] { ArabicSearchQuery(*query); });
        AnsweredWithin(bound, "TranslationSearchQuery", [&] { TranslationSearchQuery(*query); });
        AnsweredWithin(bound, "Pattern", [&] {
            try {
                Pattern(*query, ArabicFolds());
            } catch (const InvalidPattern&) {
            }
        });
        for (int target : {0, 1}) {
            AnsweredWithin(bound, target == 0 ? "Arabic search" : "translation search", [&] {
                m.SearchText(views::PrepareSearchQuery(*query));
                m.SearchTo(target);
                try {
                    m.StartSearch(-1, -1);
                } catch (const InvalidPattern&) {
                    EXPECT_NE(query, &wellFormed);
                }
            });
        }
        AnsweredWithin(bound, "surah filter", [&] { views::SorehIndexDocument(m, *query, u"D4D0C8"); });
    }
    // the first is refused for its unclosed "["
    m.SearchText(brackets);
    EXPECT_THROW(m.StartSearch(-1, -1), InvalidPattern);
}

namespace {
std::vector<Text> Words(TextView line) {
    std::vector<Text> words;
    for (Text& w : Split(line, u" "))
        if (!w.empty()) words.push_back(std::move(w));
    return words;
}
}  // namespace

TEST(Search, AWordCopiedFromTheUthmaniPageFindsItsAyah) {
    cQ114 m = LoadedModel();
    // of every line as the Uthmani page shows it: the longest word, searched
    // for in the whole text as the window hands it over, and one more chosen
    // by the line's number, as it stands, searched for in its own line
    int searched = 0;
    for (int16_t line = m.MinBound(); line <= m.MaxBound(); ++line) {
        const std::vector<Text> words = Words(views::Shown(m.ArabicUthmaniAt(line)));
        ASSERT_FALSE(words.empty()) << line;
        const Text& longest = *std::max_element(words.begin(), words.end(),
                                                [](const Text& a, const Text& b) { return a.size() < b.size(); });
        const std::vector<int16_t>& found = Find(m, views::PrepareSearchQuery(longest), 0);
        ASSERT_TRUE(std::binary_search(found.begin(), found.end(), line)) << ToUtf8(longest) << " line " << line;

        const Text& other = words[line % words.size()];
        if (TrimSpaces(other).size() < 2) continue;  // one letter is no search
        m.SearchText(other);
        m.StartSearch(line, line);
        ASSERT_EQ(m.FoundList(), std::vector<int16_t>{line}) << ToUtf8(other) << " line " << line;
        ++searched;
    }
    EXPECT_GT(searched, 6000);
}

TEST(Search, UthmaniSignsAreFoldedOnBothSides) {
    cQ114 m = LoadedModel();
    const auto book = Find(m, u"الكتاب", 0);
    ASSERT_TRUE(std::binary_search(book.begin(), book.end(), int16_t{9}));  // 2:2
    // alef wasla as alef, the superscript alef, small signs and tatweel as the vowel marks
    EXPECT_EQ(Find(m, u"ٱلكتاب", 0), book);
    auto finds = [&](TextView query, int16_t line) {
        const std::vector<int16_t> found = Find(m, query, 0);
        return std::binary_search(found.begin(), found.end(), line);
    };
    EXPECT_TRUE(finds(u"ٱلْكِتَٰبُ", 9));
    // a phrase with pause signs between its words
    EXPECT_TRUE(finds(u"ذَٰلِكَ ٱلْكِتَٰبُ لَا رَيْبَ ۛ فِيهِ ۛ", 9));
    const auto merciful = Find(m, u"الرحمن", 0);
    EXPECT_GE(merciful.size(), 114u);
    EXPECT_EQ(Find(m, u"الرحمٰن", 0), merciful);
    EXPECT_EQ(Find(m, u"ٱلرَّحْمَٰنِ", 0), merciful);
    EXPECT_EQ(Find(m, u"الرحـمن", 0), merciful);
    // in a bracket list alef wasla takes the alef it is searched as; a sign
    // that is dropped, like a mark, is never there to be taken
    EXPECT_EQ(Find(m, u"[ٱ]لكتاب", 0), book);
    EXPECT_EQ(Find(m, u"ال[ـ]كتاب", 0), std::vector<int16_t>{});
    EXPECT_EQ(ArabicSearchForm(u"ٱلْكِتَٰبُ ـ ۛ ۥ ۦ"), u"الكتب ");
    EXPECT_EQ(ArabicSearchQuery(u"ٱلْكِتَٰبُ[ٱۛ]"), u"الكتب[ٱۛ]");
}
