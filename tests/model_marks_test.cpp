// The mushaf's marks: quarters, prostrations, places of revelation.
#include <gtest/gtest.h>

#include "model/Errors.h"
#include "model/MushafMarks.h"
#include "tests/Corpus.h"

using namespace mushaf;
using mushaf::testing::LoadedModel;
using mushaf::testing::LoadedMarks;

namespace {

int16_t LineOf(int soreh, int ayeh) {
    cQ114 m = LoadedModel();
    m.GoAyehOfSoreh(Decimal(soreh), Decimal(ayeh));
    return m.GlobalAyeh();
}

}  // namespace

TEST(MushafMarks, QuartersRunThroughTheHizbsAndThePages) {
    const MushafMarks& marks = LoadedMarks();
    const cQ114 m = LoadedModel();
    ASSERT_EQ(marks.QuarterCount(), 240);
    for (int h = 1; h <= m.HezbCount(); ++h) EXPECT_EQ(marks.QuarterFirstLine(4 * h - 3), m.HezbFirstLine(static_cast<int16_t>(h)));
    // 2:26 begins the second quarter; the Bismillah line begins the quarter that starts a surah
    EXPECT_EQ(marks.QuarterFirstLine(2), LineOf(2, 26));
    EXPECT_EQ(marks.QuarterStartingAt(LineOf(2, 26)), 2);
    EXPECT_EQ(marks.QuarterStartingAt(LineOf(2, 27)), 0);
    EXPECT_EQ(marks.QuarterOf(LineOf(2, 27)), 2);
    EXPECT_EQ(marks.QuarterOf(0), 1);
    EXPECT_EQ(marks.QuarterOf(static_cast<int16_t>(m.LineCount() - 1)), 240);
    for (int q = 1; q <= 240; ++q) {
        const int16_t first = marks.QuarterFirstLine(q);
        EXPECT_EQ(marks.QuarterStartingAt(first), q);
        EXPECT_EQ(marks.QuarterOf(first), q);
        if (q > 1) EXPECT_EQ(marks.QuarterOf(static_cast<int16_t>(first - 1)), q - 1);
    }
    EXPECT_THROW(marks.QuarterFirstLine(0), SubscriptOutOfRange);
    EXPECT_THROW(marks.QuarterFirstLine(241), SubscriptOutOfRange);
}

TEST(MushafMarks, FifteenProstrationsFourOfThemObligatory) {
    const MushafMarks& marks = LoadedMarks();
    ASSERT_EQ(marks.Sajdas().size(), 15u);
    int obligatory = 0;
    for (const auto& place : marks.Sajdas()) obligatory += place.kind == MushafMarks::Sajda::Obligatory;
    EXPECT_EQ(obligatory, 4);
    for (auto [s, a] : {std::pair{32, 15}, {41, 37}, {53, 62}, {96, 19}})
        EXPECT_EQ(marks.SajdaAt(LineOf(s, a)), MushafMarks::Sajda::Obligatory) << s << ":" << a;
    for (auto [s, a] : {std::pair{7, 206}, {13, 15}, {22, 18}, {22, 77}, {38, 24}, {84, 21}})
        EXPECT_EQ(marks.SajdaAt(LineOf(s, a)), MushafMarks::Sajda::Recommended) << s << ":" << a;
    // the list's 41:38 gives way to the obligatory 41:37
    EXPECT_EQ(marks.SajdaAt(LineOf(41, 38)), MushafMarks::Sajda::None);
    EXPECT_EQ(marks.SajdaAt(LineOf(7, 205)), MushafMarks::Sajda::None);
}

TEST(MushafMarks, PlacesAndOrderOfRevelation) {
    const MushafMarks& marks = LoadedMarks();
    ASSERT_EQ(marks.SorehCount(), 114);
    int medinan = 0;
    std::vector<int> orders;
    for (int s = 1; s <= 114; ++s) {
        medinan += marks.RevelationOf(s) == MushafMarks::Revelation::Medinan;
        orders.push_back(marks.RevelationOrder(s));
    }
    EXPECT_EQ(medinan, 28);
    std::sort(orders.begin(), orders.end());
    for (int i = 0; i < 114; ++i) EXPECT_EQ(orders[static_cast<std::size_t>(i)], i + 1);
    EXPECT_EQ(marks.RevelationOf(1), MushafMarks::Revelation::Meccan);
    EXPECT_EQ(marks.RevelationOf(2), MushafMarks::Revelation::Medinan);
    EXPECT_EQ(marks.RevelationOrder(96), 1);
    EXPECT_EQ(marks.RevelationOrder(1), 5);
    EXPECT_THROW(marks.RevelationOf(115), SubscriptOutOfRange);
    EXPECT_THROW(marks.RevelationOrder(0), SubscriptOutOfRange);
}

TEST(MushafMarks, AnUnsoundTableIsRefusedAndTheMarksStay) {
    MushafMarks marks = LoadedMarks();
    EXPECT_THROW(marks.QuarterUnicArray({u"0", u"5", u"3"}), ModelError);
    EXPECT_THROW(marks.QuarterUnicArray({u"0", u"x"}), ModelError);
    EXPECT_THROW(marks.SajdaArray({u"12"}), ModelError);
    EXPECT_THROW(marks.SajdaArray({u"12 2"}), ModelError);
    EXPECT_THROW(marks.PlaceArray({u"2"}), ModelError);
    EXPECT_EQ(marks.QuarterCount(), 240);
    EXPECT_EQ(marks.Sajdas().size(), 15u);
    EXPECT_EQ(marks.SorehCount(), 114);
    // the trailing U+0000 of a table's last line is no part of its number
    marks.PlaceArray({u"0", Text(u"1") + u'\0'});
    EXPECT_EQ(marks.RevelationOf(2), MushafMarks::Revelation::Medinan);
}
