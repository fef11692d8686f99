// Recitation in the window, with a player that plays nothing: which
// recordings play in what order, the page following them, repeat and where
// playing stops, missing and unreadable files, the reader's moves, the menu
// and the kept choices. (The real player on a null sound output is tested
// through the program itself.)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <set>

#include "tests/WindowRun.h"
#include "window/frmMain.h"

using mushaf::AudioPlayer;
using mushaf::testing::AudioForRuns;
using mushaf::testing::RunWindow;

namespace {

// What the players of a run were asked to do.
struct PlayerLog {
    std::vector<std::string> played;  // file names, in order
    std::set<std::string> failing;    // these fail when played
    bool ends = true;                 // each recording ends at once; else it never ends
    double rate = 1.0;
    int stops = 0, pauses = 0, resumes = 0;
    bool callsAfterGone = false;
};

class SilentPlayer : public AudioPlayer {
public:
    explicit SilentPlayer(PlayerLog& log) : log_(log) {}
    ~SilentPlayer() override { ++log_.stops; }
    void Play(const std::filesystem::path& file) override {
        const std::string name = file.filename().string();
        log_.played.push_back(name);
        const int now = ++generation_;
        const bool fails = log_.failing.count(name) > 0;
        if (!fails && !log_.ends) return;
        QTimer::singleShot(1, &context_, [this, now, fails] {
            if (now != generation_) return;
            if (fails && failed) failed("unreadable");
            else if (!fails && finished) finished();
        });
    }
    void Prepare(const std::filesystem::path&) override {}
    void Pause() override { ++log_.pauses; }
    void Resume() override { ++log_.resumes; }
    void Stop() override {
        ++generation_;
        ++log_.stops;
    }
    bool SetRate(double rate) override {
        log_.rate = rate;
        return true;
    }

private:
    PlayerLog& log_;
    QObject context_;
    int generation_ = 0;
};

// The runs of one test play through a SilentPlayer writing into `log`.
class SilentRuns {
public:
    explicit SilentRuns(PlayerLog& log) : was_(AudioForRuns()) {
        AudioForRuns() = [&log] { return std::make_unique<SilentPlayer>(log); };
    }
    ~SilentRuns() { AudioForRuns() = was_; }

private:
    mushaf::AudioPlayerMaker was_;
};

// A reciter's folder with (empty) files of these names.
void Reciter(const QString& folder, const QStringList& files) {
    QDir().mkpath(folder);
    for (const QString& f : files) {
        QFile file(folder + "/" + f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
}

QStringList Surah1And2(int lastOfSurah2) {
    QStringList files;
    for (int a = 1; a <= 7; ++a) files << QString("00100%1.mp3").arg(a);
    for (int a = 1; a <= lastOfSurah2; ++a) files << QString("002%1.mp3").arg(a, 3, 10, QChar('0'));
    return files;
}

std::vector<std::string> Names(const QStringList& names) {
    std::vector<std::string> out;
    for (const QString& n : names) out.push_back(n.toStdString());
    return out;
}

QJsonObject Recitation(const mushaf::testing::WindowRun& r) { return r.state["recitation"].toObject(); }

}  // namespace

TEST(Recitation, ThePageFollowsTheVoiceOverAPageTurnAndASurahsEnd) {
    QTemporaryDir dir;
    // surah 2 has no recording of its own Bismillah: 001001 plays for it
    Reciter(dir.filePath("Tones"), Surah1And2(3));
    PlayerLog log;
    SilentRuns silent(log);
    RUN_WINDOW_WITH(r, {"key:F5", "await:stopped", "check"}, {"--recitations", dir.path()});
    EXPECT_EQ(log.played, Names({"001001.mp3", "001002.mp3", "001003.mp3", "001004.mp3", "001005.mp3", "001006.mp3",
                                 "001007.mp3", "001001.mp3", "002001.mp3", "002002.mp3", "002003.mp3"}));
    // the last recording's ayah (2:3, line 10) is current, on page 2, marked, its translation shown
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 10);
    EXPECT_EQ(r.model()["Page"].toInt(), 2);
    EXPECT_EQ(r.marked(), QStringList{"div10"});
    EXPECT_EQ(r.text("txtAyeh"), "3");
    EXPECT_TRUE(r.document("wbrFarsi").contains(r.model()["MeanFarsi"].toString().trimmed()));
    // playing stopped where the folder ends, and said why
    EXPECT_FALSE(Recitation(r)["playing"].toBool());
    EXPECT_TRUE(r.text("message").contains(QString::fromUtf8("تلاوت یافت نشد: 002004"))) << r.text("message").toStdString();
    EXPECT_EQ(Recitation(r)["reciter"].toString(), "Tones");
    EXPECT_EQ(Recitation(r)["reciters"].toArray().size(), 1);
}

TEST(Recitation, ASurahsOwnBismillahAndEveryExtensionInAnyCase) {
    QTemporaryDir dir;
    Reciter(dir.filePath("R"), {"001007.Ogg", "002000.OPUS", "002001.wav", "002002.txt", "02003.mp3", "002003.MP3"});
    PlayerLog log;
    SilentRuns silent(log);
    RUN_WINDOW_WITH(r, {"slider:6", "key:F5", "await:stopped", "check"}, {"--recitations", dir.path()});
    // 2:2 has no recording (a .txt is none): skipped with a word, and 2:3 plays
    EXPECT_EQ(log.played, Names({"001007.Ogg", "002000.OPUS", "002001.wav", "002003.MP3"}));
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 10);
}

TEST(Recitation, EachAyahRepeatsAndPlayingStopsAtTheEndOfThePageSurahOrJuz) {
    QTemporaryDir dir;
    Reciter(dir.filePath("Tones"), Surah1And2(5));
    const QStringList options{"--recitations", dir.path(), "--settings", dir.filePath("s.ini")};
    {
        PlayerLog log;
        SilentRuns silent(log);
        RUN_WINDOW_WITH(r, {"menu:mnuRepeat3", "menu:mnuPlayToPage", "slider:5", "key:F5", "await:stopped", "check"},
                        options);
        EXPECT_EQ(log.played, Names({"001006.mp3", "001006.mp3", "001006.mp3", "001007.mp3", "001007.mp3", "001007.mp3"}));
        EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 6);  // the last line of page 1
        EXPECT_EQ(Recitation(r)["repeat"].toInt(), 3);
        EXPECT_EQ(Recitation(r)["to"].toString(), "page");
        EXPECT_TRUE(r.text("message").isEmpty()) << r.text("message").toStdString();
    }
    {
        // kept: the next run repeats three times too; to the end of the surah
        PlayerLog log;
        SilentRuns silent(log);
        RUN_WINDOW_WITH(r, {"menu:mnuRepeat1", "menu:mnuPlayToSurah", "slider:4", "key:F5", "await:stopped", "check"},
                        options);
        EXPECT_EQ(log.played, Names({"001005.mp3", "001006.mp3", "001007.mp3"}));
        EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 6);
    }
    {
        PlayerLog log;
        SilentRuns silent(log);
        RUN_WINDOW_WITH(r, {"menu:mnuPlayToJuz", "slider:9", "key:F5", "await:stopped", "check"}, options);
        // the juz' goes on past the folder's end: stopped there, with a word
        EXPECT_EQ(log.played, Names({"002002.mp3", "002003.mp3", "002004.mp3", "002005.mp3"}));
        EXPECT_EQ(Recitation(r)["to"].toString(), "juz");
    }
}

TEST(Recitation, WithoutEndTheAyahPlaysUntilTheReaderStopsIt) {
    QTemporaryDir dir;
    Reciter(dir.filePath("Tones"), Surah1And2(1));
    PlayerLog log;
    SilentRuns silent(log);
    RUN_WINDOW_WITH(r, {"menu:mnuRepeatForever", "slider:2", "key:F5", "wait:300", "key:Shift+F5", "check"},
                    {"--recitations", dir.path()});
    ASSERT_GT(log.played.size(), 5u);
    EXPECT_EQ(std::set<std::string>(log.played.begin(), log.played.end()), std::set<std::string>{"001003.mp3"});
    EXPECT_FALSE(Recitation(r)["playing"].toBool());
    EXPECT_EQ(Recitation(r)["repeat"].toString(), "forever");
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 2);
}

TEST(Recitation, AnUnreadableFileIsSkippedAndThreeInARowStopIt) {
    QTemporaryDir dir;
    Reciter(dir.filePath("Tones"), Surah1And2(5));
    {
        PlayerLog log;
        log.failing = {"001002.mp3"};
        SilentRuns silent(log);
        RUN_WINDOW_WITH(r, {"menu:mnuPlayToPage", "key:F5", "await:stopped", "check"}, {"--recitations", dir.path()});
        // tried twice, then passed over
        EXPECT_EQ(log.played, Names({"001001.mp3", "001002.mp3", "001002.mp3", "001003.mp3", "001004.mp3", "001005.mp3",
                                     "001006.mp3", "001007.mp3"}));
        EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 6);
        EXPECT_TRUE(r.text("message").contains("001002.mp3")) << r.text("message").toStdString();
    }
    {
        PlayerLog log;
        log.failing = {"001002.mp3"};
        log.ends = false;
        SilentRuns silent(log);
        RUN_WINDOW_WITH(r, {"slider:1", "key:F5", "await:line:2", "check"}, {"--recitations", dir.path()});
        // the word stays while it plays on
        EXPECT_TRUE(r.text("message").contains(QString::fromUtf8("فایل تلاوت خوانده نشد: \u2066001002.mp3\u2069")));
        EXPECT_TRUE(r.text("lblPage").contains("001002.mp3")) << r.text("lblPage").toStdString();
        EXPECT_EQ(Recitation(r)["line"].toInt(), 2);
        EXPECT_TRUE(Recitation(r)["playing"].toBool());
    }
    {
        PlayerLog log;
        log.failing = {"001002.mp3", "001003.mp3", "001004.mp3"};
        SilentRuns silent(log);
        RUN_WINDOW_WITH(r, {"slider:1", "key:F5", "await:stopped", "check"}, {"--recitations", dir.path()});
        EXPECT_EQ(log.played, Names({"001002.mp3", "001002.mp3", "001003.mp3", "001003.mp3", "001004.mp3", "001004.mp3"}));
        EXPECT_TRUE(r.text("message").contains(QString::fromUtf8("پخش تلاوت متوقف شد")));
    }
}

TEST(Recitation, TheReadersMoveGoesOnFromTheNewLineAndF5Pauses) {
    QTemporaryDir dir;
    Reciter(dir.filePath("Tones"), Surah1And2(20));
    PlayerLog log;
    log.ends = false;
    SilentRuns silent(log);
    // playing 1:1, the reader goes to 2:5 (line 12): it plays on from there;
    // paused, a move stops it, and F5 begins at the reader's line (2:10)
    RUN_WINDOW_WITH(r, {"key:F5", "slider:12", "key:F5", "slider:17", "check"}, {"--recitations", dir.path()});
    EXPECT_EQ(log.played, Names({"001001.mp3", "002005.mp3"}));
    EXPECT_EQ(log.pauses, 1);
    EXPECT_FALSE(Recitation(r)["playing"].toBool());
    EXPECT_FALSE(Recitation(r)["paused"].toBool());
    RUN_WINDOW_WITH(again, {"key:F5", "key:F5", "key:F5", "check"}, {"--recitations", dir.path()});
    EXPECT_EQ(log.resumes, 1);
    EXPECT_TRUE(Recitation(again)["playing"].toBool());
    EXPECT_EQ(Recitation(again)["line"].toInt(), 0);
    // closing the window stopped the player
    EXPECT_GE(log.stops, 2);
}

TEST(Recitation, ReadersAreListedChosenAndKeptAndTheSpeedIsSet) {
    QTemporaryDir dir;
    Reciter(dir.filePath("Rec/Beta"), {"001001.mp3"});
    Reciter(dir.filePath("Rec/Alpha"), {"001001.wav"});
    Reciter(dir.filePath("Rec/.hidden"), {"001001.wav"});
    const QStringList options{"--recitations", dir.filePath("Rec"), "--settings", dir.filePath("s.ini")};
    PlayerLog log;
    SilentRuns silent(log);
    // the first by name plays until one is chosen
    RUN_WINDOW_WITH(first, {"key:F5", "await:stopped", "check"}, options);
    EXPECT_EQ(log.played, Names({"001001.wav"}));
    EXPECT_EQ(Recitation(first)["reciters"].toArray(), (QJsonArray{"Alpha", "Beta"}));
    // a file added while the window is open is found at the next start
    // (played once before it is there)
    auto playedOnceThenAdded = [&](mushaf::frmMain& w) {
        for (const char* name : {"mnuReciter:Beta", "mnuPlay"})
            for (const mushaf::Command& c : w.Parts().commands->All())
                if (c.name == name) c.run();
        QElapsedTimer waited;
        waited.start();
        while (w.Parts().recitation->Now().playing && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        Reciter(dir.filePath("Rec/Beta"), {"001002.mp3"});
    };
    RUN_WINDOW_WITH(chosen, {"menu:mnuSpeed150", "slider:1", "key:F5", "await:stopped", "check"}, options,
                    playedOnceThenAdded);
    EXPECT_EQ(log.played.back(), "001002.mp3");
    EXPECT_EQ(Recitation(chosen)["reciter"].toString(), "Beta");
    log.played.clear();
    RUN_WINDOW_WITH(kept, {"key:F5", "await:stopped", "check"}, options);
    EXPECT_EQ(log.played, Names({"001001.mp3", "001002.mp3"}));
    EXPECT_EQ(Recitation(kept)["speed"].toDouble(), 1.5);
    EXPECT_EQ(log.rate, 1.5);
    bool checked = false;
    for (const auto& c : kept.state["commands"].toArray())
        if (c.toObject()["name"] == "mnuReciter:Beta") checked = c.toObject()["checked"].toBool();
    EXPECT_TRUE(checked);
}

TEST(Recitation, WithNoReciterF5AndTheMenuSaySoAndEveryEntryRuns) {
    QTemporaryDir dir;
    PlayerLog log;
    SilentRuns silent(log);
    const QStringList entries{"mnuPlay",       "mnuStop",          "mnuNoReciter",   "mnuRepeat1",     "mnuRepeat2",
                              "mnuRepeat3",    "mnuRepeat5",       "mnuRepeat10",    "mnuRepeatForever",
                              "mnuPlayToPage", "mnuPlayToSurah",   "mnuPlayToJuz",   "mnuPlayToQuran", "mnuSpeed075",
                              "mnuSpeed125",   "mnuSpeed150",      "mnuSpeed100",    "mnuRange",       "mnuRangeOff",
                              "mnuAddRecordingsArchive", "mnuAddRecordingsFolder", "mnuDownloadRecordings"};
    QStringList actions{"key:F5", "check"};
    RUN_WINDOW_WITH(f5, actions, {"--recitations", dir.filePath("none")});
    EXPECT_TRUE(f5.text("message").contains(QString::fromUtf8("قاری‌ای یافت نشد"))) << f5.text("message").toStdString();
    EXPECT_TRUE(f5.text("message").contains("001001.mp3"));
    // what a reader can do: add from an archive or a folder, or download
    for (const char* way : {"zip", "پوشه", "بارگیری"}) EXPECT_TRUE(f5.text("message").contains(QString::fromUtf8(way))) << way;
    EXPECT_TRUE(Recitation(f5)["reciter"].isNull());
    actions.clear();
    for (const QString& e : entries) actions << "menu:" + e;
    actions << "check";
    RUN_WINDOW_WITH(all, actions, {"--recitations", dir.filePath("none")});
    EXPECT_TRUE(log.played.empty());
    EXPECT_EQ(Recitation(all)["speed"].toDouble(), 1.0);
    EXPECT_EQ(Recitation(all)["to"].toString(), "quran");
}

// With ten thousand reciters a command still answers at once: the menu's
// check marks cost one look at each entry, not one at every reciter for each.
TEST(Recitation, TenThousandRecitersLeaveCommandsQuick) {
    QTemporaryDir dir;
    for (int i = 0; i < 10000; ++i) ASSERT_TRUE(QDir().mkdir(dir.filePath(QString("Qari %1").arg(i, 5, 10, QChar('0')))));
    PlayerLog log;
    SilentRuns silent(log);
    qint64 slowest = 0;
    RUN_WINDOW_WITH(r, {"check"}, {"--recitations", dir.path()}, [&](mushaf::frmMain& w) {
        for (const char* name : {"mnuNight", "mnuNight", "mnuReciter:Qari 09999", "mnuRepeat3"}) {
            QElapsedTimer clock;
            clock.start();
            w.MenuAction(name)->trigger();
            slowest = std::max(slowest, clock.elapsed());
        }
        QElapsedTimer clock;
        clock.start();
        w.Parts().clock->Advance(10);  // the reading history kept
        slowest = std::max(slowest, clock.elapsed());
    });
    EXPECT_EQ(Recitation(r)["reciters"].toArray().size(), 10000);
    EXPECT_EQ(Recitation(r)["reciter"].toString(), "Qari 09999");
    EXPECT_LT(slowest, 150) << "ms for the slowest command";
    RecordProperty("slowestMs", static_cast<int>(slowest));
}
