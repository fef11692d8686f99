// The reader's kept choices without a window: what a settings file holds is
// read back checked, written as every release wrote it, and only when it
// changes; and the style rules that follow the choices.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "views/Markup.h"
#include "views/Styles.h"
#include "window/Khatmah.h"
#include "window/ReaderChoices.h"

namespace {

using mushaf::ChoiceStore;
using mushaf::ReaderChoices;
using mushaf::views::QuranFont;

// Settings in memory, counting what is written.
class MemorySettings : public mushaf::Settings {
public:
    std::map<std::u16string, std::u16string> values;  // "Mushaf/Reader/Key" -> value
    int writes = 0;
    std::optional<std::u16string> Get(const std::u16string& app, const std::u16string& section,
                                      const std::u16string& key) const override {
        auto it = values.find(app + u"/" + section + u"/" + key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void Set(const std::u16string& app, const std::u16string& section, const std::u16string& key,
             const std::u16string& value) override {
        values[app + u"/" + section + u"/" + key] = value;
        ++writes;
    }
    void Keep(const std::u16string& key, const std::u16string& value) { values[u"Mushaf/Reader/" + key] = value; }
    std::u16string Kept(const std::u16string& key) const { return values.at(u"Mushaf/Reader/" + key); }
};

// As the window's model bounds it: lines 0 to 6347, at most 32 767 cards.
ChoiceStore Store(MemorySettings& s, std::size_t maxCards = 32767) { return ChoiceStore(s, 0, 6347, maxCards); }

}  // namespace

TEST(Choices, NothingKeptIsTheDesign) {
    MemorySettings s;
    ChoiceStore store = Store(s);
    EXPECT_EQ(store.Load(), ReaderChoices{});
    store.Save(ReaderChoices{});
    EXPECT_EQ(s.writes, 0);  // nothing changed, nothing written
}

TEST(Choices, WhatTheLastReleaseWroteIsReadWithNothingLost) {
    MemorySettings s;
    s.Keep(u"ZoomPage", u"1.25");
    s.Keep(u"ZoomTranslation", u"0.67");
    s.Keep(u"QuranFont", u"Noto Naskh Arabic");
    s.Keep(u"Night", u"true");
    s.Keep(u"Script", u"uthmani");
    s.Keep(u"Translation", u"fooladvand");
    s.Keep(u"RememberPlace", u"true");
    s.Keep(u"FishList", u"300 10 6347");
    s.Keep(u"PlaceLine", u"4242");
    s.Keep(u"PlaceEarab", u"true");
    s.Keep(u"PlacePanel", u"search");
    s.Keep(u"PlaceWindow", u"AdnQywADAAAAAA==");
    s.Keep(u"MushafView", u"true");
    s.Keep(u"PageTranslation", u"true");
    const ReaderChoices c = Store(s).Load();
    EXPECT_EQ(c.zoomPage, 1.25);
    EXPECT_EQ(c.zoomTranslation, 0.67);
    EXPECT_EQ(c.quranFont, QuranFont::NotoNaskh);
    EXPECT_TRUE(c.night && c.uthmani && c.translation == u"fooladvand" && c.rememberPlace && c.mushafView && c.pageTranslation);
    EXPECT_EQ(c.noteCards, (std::vector<int16_t>{300, 10, 6347}));
    ASSERT_TRUE(c.place.line);
    EXPECT_EQ(*c.place.line, 4242);
    EXPECT_TRUE(c.place.earab && c.place.searchPanel);
    EXPECT_EQ(c.place.window, "AdnQywADAAAAAA==");

    // and written back as it was written
    MemorySettings again;
    ChoiceStore store = Store(again);
    store.Load();
    store.Save(c);
    EXPECT_EQ(again.values, s.values);
}

TEST(Choices, AValueOutOfRangeIsItsDefault) {
    for (const std::u16string& zoom : {u"7", u"0.1", u"-1", u"abc", u"nan", u"inf", u"1.5x", u"", u"\u0661"}) {
        MemorySettings s;
        s.Keep(u"ZoomPage", zoom);
        EXPECT_EQ(Store(s).Load().zoomPage, 1.0);
    }
    MemorySettings s;
    s.Keep(u"QuranFont", u"Comic Sans");
    s.Keep(u"Night", u"yes");
    s.Keep(u"Script", u"UTHMANI");
    s.Keep(u"PlaceLine", u"6348");
    s.Keep(u"PlacePanel", u"left");
    s.Keep(u"MushafView", u"1");
    const ReaderChoices c = Store(s).Load();
    EXPECT_FALSE(c.mushafView);
    EXPECT_EQ(c.quranFont, QuranFont::Default);
    EXPECT_FALSE(c.night || c.uthmani || c.place.searchPanel);
    EXPECT_FALSE(c.place.line);
    for (const std::u16string& line : {u"-1", u"12x", u" 12", u"99999999999999999999"}) {
        s.Keep(u"PlaceLine", line);
        EXPECT_FALSE(Store(s).Load().place.line);
    }
}

TEST(Choices, NoteCardsAreReadAsFarAsTheyAreSound) {
    MemorySettings s;
    s.Keep(u"FishList", u"5 5 abc 6348 -2 7  12.5 9");
    EXPECT_EQ(Store(s).Load().noteCards, (std::vector<int16_t>{5, 7, 9}));
    s.Keep(u"FishList", u"1 2 3 4 5");
    EXPECT_EQ(Store(s, 3).Load().noteCards, (std::vector<int16_t>{1, 2, 3}));
    EXPECT_EQ(ChoiceStore::CardText({300, 10}), u"300 10");
}

TEST(Choices, OnlyWhatChangedIsWritten) {
    MemorySettings s;
    ChoiceStore store = Store(s);
    ReaderChoices c = store.Load();
    c.night = true;
    store.Save(c);
    EXPECT_EQ(s.writes, 1);
    EXPECT_EQ(s.Kept(u"Night"), u"true");
    c.zoomPage = 1.1;
    c.quranFont = QuranFont::AmiriQuran;
    store.Save(c);
    EXPECT_EQ(s.writes, 3);
    EXPECT_EQ(s.Kept(u"ZoomPage"), u"1.1");
    EXPECT_EQ(s.Kept(u"QuranFont"), u"Amiri Quran");
    store.Save(c);
    EXPECT_EQ(s.writes, 3);
    c.night = false;
    c.uthmani = true;
    store.Save(c);
    EXPECT_EQ(s.Kept(u"Night"), u"false");
    EXPECT_EQ(s.Kept(u"Script"), u"uthmani");
}

TEST(Styles, TheRulesFollowTheChoices) {
    using namespace mushaf::views;
    // the Uthmani text with its marks is drawn in Amiri Quran unless another font is chosen
    EXPECT_NE(PageFontRule(QuranFont::Default, true, true).find(u"'Amiri Quran'"), std::u16string::npos);
    EXPECT_EQ(PageFontRule(QuranFont::Default, true, false), u"");
    EXPECT_EQ(PageFontRule(QuranFont::Default, false, true), u"");
    EXPECT_NE(PageFontRule(QuranFont::NotoNaskh, true, true).find(u"'Noto Naskh Arabic'"), std::u16string::npos);
    // the rule names every class of a page line
    for (const char16_t* cls : {kLineClass, kLineMarkedClass, kBesmClass, kBesmMarkedClass})
        EXPECT_NE(PageFontRule(QuranFont::AmiriQuran, false, false).find(u"div." + std::u16string(cls)), std::u16string::npos);
    for (QuranFont f : {QuranFont::Default, QuranFont::AmiriQuran, QuranFont::NotoNaskh})
        EXPECT_EQ(QuranFontNamed(QuranFontName(f)), f);
    EXPECT_EQ(NoteCardRule({}), u"");
    EXPECT_EQ(NoteCardRule({7, 300}).substr(0, 16), u"#div7,#div300 { ");
    EXPECT_EQ(ResultCountRule(0), u"");
    EXPECT_NE(ResultCountRule(1858).find(u"'۱۸۵۸ مورد یافت شد'"), std::u16string::npos);
    EXPECT_NE(std::u16string(kNightRule).find(u"." + std::u16string(kLineMarkedClass)), std::u16string::npos);
}

TEST(Choices, NotesAreKeptBesideTheCardsWhateverTheyHold) {
    MemorySettings s;
    ChoiceStore store = Store(s);
    ReaderChoices c = store.Load();
    c.noteCards = {300, 10, 6347};
    const std::u16string odd = u"<b>\"x\" & 'y'</b>\t\\n is not a line end\nسطر دوم\r\n\\";
    c.notes = {{10, odd}, {300, u"يادداشت"}};
    store.Save(c);
    // the fish list keeps its own form
    EXPECT_EQ(s.Kept(u"FishList"), u"300 10 6347");
    const ReaderChoices back = Store(s).Load();
    EXPECT_EQ(back.notes, c.notes);
    EXPECT_EQ(back.noteCards, c.noteCards);

    // read as far as sound: a note of a line on no card, a second note of a
    // line, an empty note, a broken escape, a line out of range are passed over
    s.Keep(u"FishNotes", u"10\tone\n11\tno card\n10\ttwice\n300\t\nabc\tx\n6347\tbad \\q escape\n"
                         u"70000\twraps\n6347");
    const ReaderChoices kept = Store(s).Load();
    EXPECT_EQ(kept.notes, (std::map<int16_t, std::u16string>{{10, u"one"}}));

    // a card on every line (the most there can be), each with a note
    ReaderChoices many;
    for (int16_t line = 0; line <= 6347; ++line) {
        many.noteCards.push_back(line);
        many.notes[line] = u"note " + std::u16string(1, static_cast<char16_t>(u'\u0627' + line % 20));
    }
    MemorySettings big;
    ChoiceStore bigStore = Store(big);
    bigStore.Load();
    bigStore.Save(many);
    EXPECT_EQ(Store(big).Load().notes, many.notes);
}

TEST(Khatmah, TheDaysPortionsShareThe604PagesAsEvenlyAsTheyDivide) {
    using mushaf::KhatmahPlan;
    for (int days : {1, 7, 30, 365}) {
        for (int start : {1, 300, 604}) {
            KhatmahPlan plan;
            plan.days = days;
            plan.startPage = start;
            int total = 0, smallest = 1000, largest = 0;
            int next = start;
            for (int day = 0; day < days; ++day) {
                const auto p = plan.PortionOf(day);
                ASSERT_TRUE(p) << days << " " << day;
                EXPECT_EQ(p->first, next) << days << " " << day;  // runs follow each other
                total += p->count;
                smallest = std::min(smallest, p->count);
                largest = std::max(largest, p->count);
                next = p->last % 604 + 1;
            }
            EXPECT_EQ(total, 604) << days;
            EXPECT_LE(largest - smallest, 1) << days;
            EXPECT_EQ(next, start);  // the whole Quran, once
            EXPECT_FALSE(plan.PortionOf(days));
            EXPECT_FALSE(plan.PortionOf(-1));
        }
    }
    // a run across the end of the Quran
    KhatmahPlan plan;
    plan.days = 30;
    plan.startPage = 600;
    const auto first = plan.PortionOf(0);
    EXPECT_EQ(first->first, 600);
    EXPECT_EQ(first->last, 15);
    EXPECT_TRUE(KhatmahPlan::Holds(*first, 604));
    EXPECT_TRUE(KhatmahPlan::Holds(*first, 3));
    EXPECT_FALSE(KhatmahPlan::Holds(*first, 16));
    plan.seen = {601, 2, 16, 300};
    EXPECT_EQ(plan.SeenOf(*first), 2);
    EXPECT_FALSE(KhatmahPlan::Sound(0, 1));
    EXPECT_FALSE(KhatmahPlan::Sound(366, 1));
    EXPECT_FALSE(KhatmahPlan::Sound(30, 605));
}

// A day's pages as a reader reads them: a run that goes on past page 604 is
// said as the two runs it is, never as a range that runs backwards.
TEST(Khatmah, ADaysPagesAreSaidInOrder) {
    using mushaf::KhatmahPlan;
    auto text = [](int days, int start, int day) {
        KhatmahPlan plan;
        plan.days = days;
        plan.startPage = start;
        return mushaf::PortionText(*plan.PortionOf(day));
    };
    const std::u16string fsi = u"\u2068", pdi = u"\u2069";
    EXPECT_EQ(text(30, 1, 0), u"صفحه‌های " + fsi + u"۱ تا ۲۰" + pdi);
    // 7 days from page 300: day 4 reads 558 to 604, then 1 to 40
    EXPECT_EQ(text(7, 300, 3), u"صفحه‌های " + fsi + u"۵۵۸ تا ۶۰۴" + pdi + u" و " + fsi + u"۱ تا ۴۰" + pdi);
    EXPECT_EQ(text(365, 10, 0), u"صفحهٔ " + fsi + u"۱۰" + pdi);
    // the wrap at either end of a run: one page on its side
    EXPECT_EQ(text(302, 604, 0), u"صفحه‌های " + fsi + u"۶۰۴" + pdi + u" و " + fsi + u"۱" + pdi);
}

TEST(Choices, AKhatmahPlanIsKeptAndReadOnlyWhenSound) {
    MemorySettings s;
    ChoiceStore store = Store(s);
    ReaderChoices c = store.Load();
    EXPECT_FALSE(c.khatmah);
    mushaf::KhatmahPlan plan;
    plan.days = 40;
    plan.startPage = 300;
    plan.began = "2026-12-08";
    plan.seen = {300, 301, 604};
    c.khatmah = plan;
    store.Save(c);
    EXPECT_EQ(Store(s).Load().khatmah, plan);
    // ended: gone
    c.khatmah.reset();
    store.Save(c);
    EXPECT_FALSE(Store(s).Load().khatmah);
    // unsound days, page or day: no plan; unsound read pages are passed over
    for (auto [days, start, began] : {std::tuple{u"0", u"1", u"2026-12-08"}, {u"366", u"1", u"2026-12-08"},
                                      {u"30", u"605", u"2026-12-08"}, {u"30", u"1", u"8/12/2026"}, {u"x", u"1", u"2026-12-08"},
                                      // days no calendar has
                                      {u"30", u"1", u"2026-02-30"}, {u"30", u"1", u"9999-99-99"}, {u"30", u"1", u"2026-13-01"},
                                      {u"30", u"1", u"2026-00-10"}, {u"30", u"1", u"2027-02-29"}, {u"30", u"1", u"0000-01-01"}}) {
        s.Keep(u"KhatmahDays", days);
        s.Keep(u"KhatmahStart", start);
        s.Keep(u"KhatmahBegan", began);
        EXPECT_FALSE(Store(s).Load().khatmah) << std::string(began, began + 10);
    }
    s.Keep(u"KhatmahBegan", u"2028-02-29");  // a leap day
    EXPECT_TRUE(Store(s).Load().khatmah);
    s.Keep(u"KhatmahDays", u"30");
    s.Keep(u"KhatmahStart", u"1");
    s.Keep(u"KhatmahBegan", u"2026-12-08");
    s.Keep(u"KhatmahSeen", u"5 0 605 x 7");
    EXPECT_EQ(Store(s).Load().khatmah->seen, (std::set<int>{5, 7}));
}
