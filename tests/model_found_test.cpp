// What a search found, word by word: the spans a pattern matches, the words
// they cover in each writing of a line, and the extract of a found line.
#include <gtest/gtest.h>

#include <random>

#include "model/Found.h"
#include "model/Normalise.h"
#include "tests/Corpus.h"
#include "views/Documents.h"

using namespace mushaf;
using mushaf::testing::LoadedModel;

namespace {
std::vector<Text> WordTexts(TextView line, const std::vector<int>& words) {
    const std::vector<TextView> all = WordsOf(line);
    std::vector<Text> out;
    for (int w : words) out.emplace_back(all.at(static_cast<std::size_t>(w)));
    return out;
}

int16_t LineOf(const cQ114& m, int surah, int ayah) {
    return static_cast<int16_t>(m.SorehFirstLine(static_cast<int16_t>(surah)) + ayah - (surah == 1 || surah == 9 ? 1 : 0));
}
}  // namespace

TEST(Found, SpansAreTheMatchesOfThePatternBetweenItsStars) {
    // each span matches the pattern without its stars; none is left out
    // between two spans or after the last; a line with spans is one the
    // pattern matches, and the other way round
    std::mt19937 rng(11);
    const std::vector<Text> pieces{u"a", u"b", u"1", u"?", u"#", u"*", u"[b1]", u"[!a]"};
    auto pick = [&](const Text& from, int n) {
        Text t;
        for (int i = 0; i < n; ++i) t += from[rng() % from.size()];
        return t;
    };
    auto pattern = [&](int n) {
        Text t;
        for (int i = 0; i < n; ++i) t += pieces[rng() % pieces.size()];
        return t;
    };
    int spans = 0;
    for (int round = 0; round < 20000; ++round) {
        Text inner = pattern(1 + static_cast<int>(rng() % 5));
        while (!inner.empty() && inner.front() == u'*') inner.erase(0, 1);
        while (!inner.empty() && inner.back() == u'*') inner.pop_back();
        if (inner.empty()) continue;
        const Text line = pick(u"ab1c", static_cast<int>(rng() % 12));
        const Pattern floating(u"*" + inner + u"*");
        const Pattern exact(inner);
        const auto found = floating.Spans(line);
        ASSERT_EQ(!found.empty(), floating.Matches(line)) << ToUtf8(inner) << " in " << ToUtf8(line);
        std::size_t after = 0;
        for (auto [begin, end] : found) {
            ASSERT_LE(after, begin);
            ASSERT_LT(begin, end);
            ASSERT_TRUE(exact.Matches(TextView(line).substr(begin, end - begin))) << ToUtf8(inner) << " in " << ToUtf8(line);
            ASSERT_FALSE(floating.Matches(TextView(line).substr(after, begin - after)));
            after = end;
            ++spans;
        }
        ASSERT_FALSE(floating.Matches(TextView(line).substr(after)));
    }
    EXPECT_GT(spans, 5000);
    // "*" alone marks nothing; an anchored pattern marks the line it matches
    EXPECT_TRUE(Pattern(u"*").Spans(u"abc").empty());
    EXPECT_EQ(Pattern(u"a*").Spans(u"abc"), (std::vector<std::pair<std::size_t, std::size_t>>{{0, 3}}));
}

TEST(Found, TheWordsAMatchCoversInEveryWritingOfTheLine) {
    cQ114 m = LoadedModel();
    const int16_t fatiha2 = LineOf(m, 1, 2), baqara3 = LineOf(m, 2, 3), baqara21 = LineOf(m, 2, 21);
    auto found = [&](TextView query, int16_t line) {
        const FoundWords f(QueryForm(query), FoundWords::In::Arabic);
        const Text simple = views::Shown(m.ArabicByEarabAt(line)), bare = views::Shown(m.ArabicNoEarabAt(line));
        const Text uthmani = views::Shown(m.ArabicUthmaniAt(line));
        return std::vector<std::vector<Text>>{WordTexts(bare, f.InArabic(bare, uthmani)),
                                              WordTexts(simple, f.InArabic(simple, uthmani)),
                                              WordTexts(uthmani, f.InArabic(uthmani, simple))};
    };
    // a phrase: every word it covers, in each writing
    const auto praise = found(u"رب العالمين", fatiha2);
    EXPECT_EQ(praise[0], (std::vector<Text>{u"رب", u"العالمين"}));
    EXPECT_EQ(praise[1].size(), 2u);
    EXPECT_EQ(praise[2].size(), 2u);
    EXPECT_EQ(ArabicSearchForm(praise[2][1]), u"العلمين");  // the Uthmani spelling, found as the simple one
    // a word spelt otherwise in the Uthmani script: found there by its letters
    const auto prayer = found(u"الصلاة", baqara3);
    ASSERT_EQ(prayer[2].size(), 1u);
    EXPECT_EQ(ArabicSearchForm(prayer[2][0]), u"الصلوه");
    EXPECT_EQ(prayer[0], (std::vector<Text>{u"الصلاة"}));
    // two simple words written as one in the Uthmani script
    const auto people = found(u"يا أيها الناس", baqara21);
    EXPECT_EQ(people[0], (std::vector<Text>{u"يا", u"ايها", u"الناس"}));
    ASSERT_EQ(people[2].size(), 2u);
    EXPECT_EQ(ArabicSearchForm(people[2][0]), u"يايها");
    // a word only part of which matches is marked whole; a word found twice once
    const FoundWords lord(u"رب", FoundWords::In::Arabic);
    const Text bare2 = views::Shown(m.ArabicNoEarabAt(fatiha2));
    EXPECT_EQ(WordTexts(bare2, lord.InArabic(bare2, u"")), (std::vector<Text>{u"رب"}));
    const FoundWords letters(u"ل", FoundWords::In::Arabic);
    EXPECT_EQ(letters.InArabic(bare2, u""), (std::vector<int>{0, 1, 3}));  // الحمد لله رب العالمين
    // a search in the translation marks nothing on the page
    EXPECT_TRUE(FoundWords(u"رب", FoundWords::In::Translation).InArabic(bare2, u"").empty());
}

TEST(Found, EveryLineASearchFindsHasAFoundWordInEachWritingOfIt) {
    cQ114 m = LoadedModel();
    int checked = 0;
    for (TextView query : {u"الله", u"الصلاه", u"يا ايها الذين", u"رب العالمين", u"ال*ون", u"[ىي]ومئذ", u"كتاب"}) {
        m.SearchText(QueryForm(query));
        m.SearchTo(0);
        m.StartSearch(-1, -1);
        const FoundWords f(QueryForm(query), FoundWords::In::Arabic);
        ASSERT_FALSE(m.FoundList().empty()) << ToUtf8(query);
        for (int16_t line : m.FoundList()) {
            const Text simple = views::Shown(m.ArabicByEarabAt(line)), bare = views::Shown(m.ArabicNoEarabAt(line));
            const Text uthmani = views::Shown(m.ArabicUthmaniAt(line));
            ASSERT_FALSE(f.InArabic(bare, uthmani).empty()) << ToUtf8(query) << " line " << line;
            ASSERT_FALSE(f.InArabic(simple, uthmani).empty()) << ToUtf8(query) << " line " << line;
            ASSERT_FALSE(f.InArabic(uthmani, simple).empty()) << ToUtf8(query) << " line " << line;
            ++checked;
        }
    }
    EXPECT_GT(checked, 3000);
}

TEST(Found, WordsCarriedToTheSameTextStayThemselves) {
    cQ114 m = LoadedModel();
    std::mt19937 rng(3);
    for (int round = 0; round < 300; ++round) {
        const int16_t line = static_cast<int16_t>(rng() % (m.MaxBound() + 1));
        const Text text = views::Shown(m.ArabicUthmaniAt(line));
        const int count = static_cast<int>(WordsOf(text).size());
        std::vector<int> words;
        for (int w = 0; w < count; ++w)
            if (rng() % 3 == 0) words.push_back(w);
        ASSERT_EQ(WordsCarried(text, text, words, ArabicSearchForm), words) << line;
    }
}

TEST(Found, TranslationWordsAndTheExtract) {
    const Text line = u"و از آنچه به آنان روزی داده‌ایم انفاق می‌کنند";
    const FoundWords given(QueryForm(u"روزي داده"), FoundWords::In::Translation);  // Arabic yeh as typed on some layouts
    EXPECT_EQ(WordTexts(line, given.InTranslation(line)), (std::vector<Text>{u"روزی", u"داده‌ایم"}));
    EXPECT_TRUE(given.InArabic(line, u"").empty());

    // the first found word near the start, twelve words at most, cut marked
    Text many;
    for (int k = 0; k < 30; ++k) many += (k ? u" w" : u"w") + Decimal(k);
    const Extract middle = ExtractOf(many, {15, 16});
    ASSERT_EQ(middle.words.size(), 12u);
    EXPECT_EQ(middle.words.front().word, u"w11");
    EXPECT_TRUE(middle.words[4].found && middle.words[5].found && !middle.words[6].found);
    EXPECT_TRUE(middle.cutBefore && middle.cutAfter);
    const Extract end = ExtractOf(many, {29});
    EXPECT_EQ(end.words.back().word, u"w29");
    EXPECT_EQ(end.words.size(), 12u);
    EXPECT_TRUE(end.cutBefore && !end.cutAfter);
    const Extract whole = ExtractOf(u"a b c", {0});
    EXPECT_EQ(whole.words.size(), 3u);
    EXPECT_FALSE(whole.cutBefore || whole.cutAfter);
    EXPECT_TRUE(ExtractOf(u"", {}).words.empty());
}
