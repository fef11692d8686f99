// The window's parts on their own, without a window: the plain reading state,
// panes that only take note of what they are asked, choices kept in memory,
// the reader's clock moved on by hand, and a player that plays nothing.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "tests/Corpus.h"
#include "tests/MemorySettings.h"
#include "views/Documents.h"
#include "window/Clock.h"
#include "window/KeptChoices.h"
#include "window/KhatmahPart.h"
#include "window/MessageLine.h"
#include "window/Panes.h"
#include "window/Recitation.h"

using namespace mushaf;

namespace {

using CountedSettings = mushaf::testing::MemorySettings;

void RunFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool RunUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// What the parts share, as a window would give it.
struct Bench {
    cQ114 model = mushaf::testing::LoadedModel();
    std::vector<int16_t> pageStarts =
        views::PageStartList(LoadTable(mushaf::testing::Tables(), "PageUnic"), static_cast<int16_t>(model.LineCount()));
    ReadingState state;
    CountedSettings settings;
    KeptChoices choices{settings};
    Clock clock;
    MessageLine messages{nullptr, [] { return false; }};
    int captions = 0;
    Bench() {
        state.SetBounds(model.MinBound(), model.MaxBound());
        choices.Load(model.MinBound(), model.MaxBound(), cQ114::kMaxFish);
        messages.SetInteractive(false);
    }
};

// A player that plays nothing: each recording ends at once (or never).
struct Played {
    std::vector<std::string> files;
    bool ends = true;
};
class SilentPlayer : public AudioPlayer {
public:
    explicit SilentPlayer(Played& log) : log_(log) {}
    void Play(const std::filesystem::path& file) override {
        log_.files.push_back(file.filename().string());
        const int now = ++generation_;
        if (log_.ends) QTimer::singleShot(1, &context_, [this, now] {
            if (now == generation_ && finished) finished();
        });
    }
    void Prepare(const std::filesystem::path&) override {}
    void Pause() override {}
    void Resume() override {}
    void Stop() override { ++generation_; }
    bool SetRate(double) override { return true; }

private:
    Played& log_;
    QObject context_;
    int generation_ = 0;
};

}  // namespace

TEST(RecitationPart, PlaysAyahByAyahAndTheReadingStateFollows) {
    QTemporaryDir dir;
    std::filesystem::create_directories(dir.filePath("Qari").toStdString());
    for (const char* f : {"001001.mp3", "001002.mp3", "001003.mp3", "001005.mp3", "001006.mp3", "001007.mp3"})
        std::ofstream(dir.filePath("Qari").toStdString() + "/" + f) << "x";
    Bench b;
    Played played;
    RecitationPart part(b.state, b.model, b.pageStarts, b.choices, b.messages,
                        {{dir.path().toStdString()}, [&] { return std::make_unique<SilentPlayer>(played); }},
                        [&] { ++b.captions; });
    std::vector<int16_t> lines;
    QObject::connect(&b.state, &ReadingState::Moved, [&](ReadingState::From) { lines.push_back(b.state.Line()); });
    b.state.MoveTo(0, ReadingState::From::Start);
    part.SetRepeat(2);
    part.SetPlayTo(ReaderChoices::PlayTo::Page);
    part.PlayOrPause();
    ASSERT_TRUE(RunUntil([&] { return !part.Now().playing; }));
    // each twice; 1:4 is missing and passed over with a word; page 1 ends at 1:7
    EXPECT_EQ(played.files, (std::vector<std::string>{"001001.mp3", "001001.mp3", "001002.mp3", "001002.mp3", "001003.mp3",
                                                      "001003.mp3", "001005.mp3", "001005.mp3", "001006.mp3", "001006.mp3",
                                                      "001007.mp3", "001007.mp3"}));
    EXPECT_EQ(lines, (std::vector<int16_t>{0, 1, 2, 4, 5, 6}));
    EXPECT_TRUE(b.messages.Last().contains("001004"));
    EXPECT_GT(b.captions, 0);
    // kept: each choice one write
    EXPECT_EQ(b.settings.values[u"Repeat"], u"2");
    EXPECT_EQ(b.settings.values[u"PlayTo"], u"page");
    EXPECT_EQ(b.settings.commits, 2);
}

TEST(RecitationPart, TheReadersMoveGoesOnFromThereAndAPausedOneStops) {
    QTemporaryDir dir;
    std::filesystem::create_directories(dir.filePath("Qari").toStdString());
    for (const char* f : {"002001.mp3", "002002.mp3", "002003.mp3", "002004.mp3", "002005.mp3"})
        std::ofstream(dir.filePath("Qari").toStdString() + "/" + f) << "x";
    Bench b;
    Played played;
    played.ends = false;  // each plays until told otherwise
    RecitationPart part(b.state, b.model, b.pageStarts, b.choices, b.messages,
                        {{dir.path().toStdString()}, [&] { return std::make_unique<SilentPlayer>(played); }}, [] {});
    b.state.MoveTo(8, ReadingState::From::Start);  // 2:1
    part.PlayOrPause();
    EXPECT_EQ(part.Now().line, 8);
    b.state.MoveTo(11, ReadingState::From::Slider);  // the reader goes to 2:4
    EXPECT_EQ(part.Now().line, 11);
    EXPECT_EQ(played.files.back(), "002004.mp3");
    part.PlayOrPause();  // pause
    EXPECT_TRUE(part.Now().paused);
    b.state.MoveTo(9, ReadingState::From::Slider);
    EXPECT_FALSE(part.Now().playing || part.Now().paused);
}

// A range from surah and ayah numbers (as the dialog gives them): 2:1 is
// line 8 (2:0 is its Bismillah), 1:1 line 0; the two ends in either order,
// an ayah past its surah's last brought back to it. Playing it says 2:2 and
// 2:3 twice each, the whole three times, from the range's start whatever
// the reader's line.
TEST(RecitationPart, ARangeIsSaidOverAndOver) {
    QTemporaryDir dir;
    std::filesystem::create_directories(dir.filePath("Qari").toStdString());
    for (const char* f : {"002001.mp3", "002002.mp3", "002003.mp3", "002004.mp3"})
        std::ofstream(dir.filePath("Qari").toStdString() + "/" + f) << "x";
    Bench b;
    Played played;
    RecitationPart part(b.state, b.model, b.pageStarts, b.choices, b.messages,
                        {{dir.path().toStdString()}, [&] { return std::make_unique<SilentPlayer>(played); }}, [] {});
    using Range = ReaderChoices::Range;
    EXPECT_EQ(part.RangeOf(2, 1, 2, 5, 3, 1, 0), (Range{8, 12, 3, 1, 0}));
    EXPECT_EQ(part.RangeOf(1, 7, 1, 1, 0, 2, 4), (Range{0, 6, 0, 2, 4}));
    EXPECT_EQ(part.RangeOf(1, 9, 2, 1, 20, 0, 30), (Range{6, 8, 10, 1, 10}));
    b.state.MoveTo(0, ReadingState::From::Start);
    part.SetRange(part.RangeOf(2, 2, 2, 3, 3, 2, 0));
    EXPECT_EQ(b.settings.values[u"Range"], u"9:10:3:2:0");
    part.PlayOrPause();
    ASSERT_TRUE(RunUntil([&] { return !part.Now().playing; }));
    std::vector<std::string> once{"002002.mp3", "002002.mp3", "002003.mp3", "002003.mp3"}, thrice;
    for (int i = 0; i < 3; ++i) thrice.insert(thrice.end(), once.begin(), once.end());
    EXPECT_EQ(played.files, thrice);
}

TEST(KhatmahPart, TodaysPortionFollowsTheClockOverMidnight) {
    Bench b;
    b.clock.StartOn(QDate(2026, 3, 1));
    KhatmahPart part(b.state, b.model, b.choices, b.clock, b.messages, [&] { ++b.captions; });
    b.state.MoveTo(0, ReadingState::From::Start);
    part.SetKhatmah(30, 1);
    EXPECT_EQ(part.Plan()->began, "2026-03-01");
    EXPECT_EQ(part.Today()->first, 1);
    EXPECT_EQ(part.Today()->last, 20);
    // page 1 on screen for 30 s: read, kept within a second
    b.clock.Advance(30);
    EXPECT_EQ(part.Plan()->seen, (std::set<int>{1}));
    const int commits = b.settings.commits;
    ASSERT_TRUE(RunUntil([&] { return b.settings.commits > commits; }, 3000));
    EXPECT_EQ(b.settings.values[u"KhatmahSeen"], u"1");
    // past midnight: the next day's pages, and the caption says them again
    const int captions = b.captions;
    const QDateTime now = b.clock.When();
    b.clock.Advance(static_cast<int>(now.secsTo(QDateTime(now.date().addDays(1), QTime(0, 0, 30)))));
    EXPECT_EQ(b.clock.Today(), QDate(2026, 3, 2));
    EXPECT_GT(b.captions, captions);
    EXPECT_EQ(part.Today()->first, 21);
    EXPECT_TRUE(part.Caption().contains(QString::fromUtf8("۲۱ تا ۴۰")));
    // a plan made now, after midnight, begins today
    part.EndKhatmah();
    part.SetKhatmah(7, 300);
    EXPECT_EQ(part.Plan()->began, "2026-03-02");
    EXPECT_EQ(part.Today()->first, 300);
}

TEST(Clock, TheDayFollowsTheClockAndIsSaidOnceAtMidnight) {
    Clock clock;
    clock.StartOn(QDate(2026, 12, 31));
    int changes = 0;
    QObject::connect(&clock, &Clock::DayChanged, [&] { ++changes; });
    const qint64 before = clock.Now();
    clock.Advance(60);
    EXPECT_GE(clock.Now() - before, 60000);
    EXPECT_EQ(changes, 0);
    const QDateTime now = clock.When();
    clock.Advance(static_cast<int>(now.secsTo(QDateTime(now.date().addDays(1), QTime(0, 0, 1)))));
    EXPECT_EQ(clock.Today(), QDate(2027, 1, 1));
    EXPECT_EQ(changes, 1);
    clock.Advance(24 * 3600);
    EXPECT_EQ(clock.Today(), QDate(2027, 1, 2));
    EXPECT_EQ(changes, 2);
}

TEST(KeptChoices, AnEventIsOneWriteAndReadingAloneAtMostOneASecond) {
    CountedSettings settings;
    KeptChoices choices(settings);
    choices.Load(0, 6347, cQ114::kMaxFish);
    // a khatmah plan: four values, one write
    choices.Change([](ReaderChoices& c) {
        KhatmahPlan plan;
        plan.days = 10;
        plan.startPage = 5;
        plan.began = "2026-03-01";
        c.khatmah = plan;
    });
    EXPECT_EQ(settings.commits, 1);
    EXPECT_EQ(settings.values[u"KhatmahDays"], u"10");
    EXPECT_EQ(settings.values[u"KhatmahBegan"], u"2026-03-01");
    // thirty changes from reading within a second: written once, after it
    for (int i = 0; i < 30; ++i) choices.ChangeSoon([i](ReaderChoices& c) { c.history.insert(c.history.begin(), static_cast<int16_t>(i)); });
    EXPECT_EQ(settings.commits, 1);
    EXPECT_TRUE(RunUntil([&] { return settings.commits == 2; }, 3000));
    RunFor(1200);
    EXPECT_EQ(settings.commits, 2);
    EXPECT_TRUE(settings.values[u"History"].starts_with(u"29 28 27"));
    // what waits is written at once when asked (the window's close)
    choices.ChangeSoon([](ReaderChoices& c) { c.history.clear(); });
    choices.Flush();
    EXPECT_EQ(settings.commits, 3);
    EXPECT_EQ(settings.values[u"History"], u"");
}

int main(int argc, char** argv) {
    // no window is shown: the offscreen platform serves, with or without a display
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
