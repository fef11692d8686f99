// The real program playing generated recordings to a null sound output: the
// page follows the voice over a page turn and a surah's end, in every
// format, and an unreadable file is skipped.
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QThread>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <unistd.h>

#include "tests/NullSound.h"
#include "tests/WindowRun.h"

using mushaf::testing::RunProcess;
constexpr auto Said = &mushaf::testing::NullSound::Said;

namespace {

mushaf::testing::NullSound* sound = nullptr;

class Audio : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sound = new mushaf::testing::NullSound; }
    static void TearDownTestSuite() {
        delete sound;
        sound = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(sound->Trouble().isEmpty()) << sound->Trouble().toStdString(); }
};

// A tone of that length in `file`, its format by its extension (Opus through
// GStreamer, the rest through sox).
void Tone(const QString& file, double seconds, int hertz) {
    QProcess p;
    if (file.endsWith(".opus", Qt::CaseInsensitive)) {
        const int buffers = static_cast<int>(seconds * 50);
        p.start("gst-launch-1.0", {"-q", "audiotestsrc", QString("num-buffers=%1").arg(buffers), QString("freq=%1").arg(hertz),
                                   "samplesperbuffer=960", "!", "audio/x-raw,rate=48000,channels=1", "!", "audioconvert", "!",
                                   "opusenc", "!", "oggmux", "!", "filesink", "location=" + file});
    } else {
        // sox knows the format by the extension's small letters
        const QString written = file.section('.', 0, -2) + "." + file.section('.', -1).toLower() + ".tmp." + file.section('.', -1).toLower();
        p.start("sox", {"-n", "-r", "44100", "-c", "1", written, "synth", QString::number(seconds), "sine", QString::number(hertz)});
        ASSERT_TRUE(p.waitForFinished(30000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        ASSERT_TRUE(QFile::rename(written, file));
        return;
    }
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

}  // namespace

TEST_F(Audio, ThePageFollowsTheVoiceInEveryFormatOverAPageTurnAndASurahsEnd) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Tones");
    QDir().mkpath(folder);
    const char* names[] = {"001001.wav", "001002.mp3", "001003.ogg", "001004.opus", "001005.WAV", "001006.Mp3", "001007.OGG",
                           "002001.mp3"};
    int hertz = 400;
    for (const char* n : names) Tone(folder + "/" + n, 0.3, hertz += 40);
    // 1:1 to 1:7 on page 1, surah 2's Bismillah (001001 stands in) and 2:1 on page 2; then the folder ends
    RUN_PROCESS(r, {"key:F5", "await:line:3", "await:line:6", "await:line:7", "await:line:8", "await:stopped"},
                {"--verbose", "--recitations", dir.path()});
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 8);
    EXPECT_EQ(r.model()["Page"].toInt(), 2);
    EXPECT_EQ(r.marked(), QStringList{"div8"});
    const QJsonObject rec = r.state["recitation"].toObject();
    EXPECT_FALSE(rec["playing"].toBool());
    EXPECT_TRUE(r.text("message").contains(QString::fromUtf8("تلاوت یافت نشد: 002002"))) << r.text("message").toStdString();
    EXPECT_FALSE(r.standardError.contains("recitation:")) << r.standardError.toStdString();
}

TEST_F(Audio, AnUnreadableFileIsSkippedWithAWord) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Tones");
    QDir().mkpath(folder);
    Tone(folder + "/001003.wav", 0.2, 500);
    Tone(folder + "/001005.mp3", 3, 600);  // still playing when the state is read
    QFile bad(folder + "/001004.mp3");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(4000, 'x'));
    bad.close();
    RUN_PROCESS(r, {"slider:2", "key:F5", "await:file:001005.mp3", "check"}, {"--verbose", "--recitations", dir.path()});
    const QJsonObject rec = r.state["recitation"].toObject();
    EXPECT_TRUE(rec["playing"].toBool()) << r.standardError.right(1500).toStdString();
    EXPECT_EQ(rec["line"].toInt(), 4);
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 4);
    EXPECT_TRUE(r.text("message").contains(QString::fromUtf8("فایل تلاوت خوانده نشد: \u2066001004.mp3\u2069"))) << r.text("message").toStdString();
}

TEST_F(Audio, PlayingAgainAndAgainAndAtAnotherSpeed) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Tones");
    QDir().mkpath(folder);
    for (int a = 1; a <= 7; ++a) Tone(folder + QString("/00100%1.wav").arg(a), 0.3, 400 + 50 * a);
    // page 1 three times over (each a new start of the sound output), then at
    // 1.5 times the speed
    QStringList actions{"menu:mnuPlayToPage"};
    for (int i = 0; i < 3; ++i) actions << "slider:0" << "key:F5" << "await:line:6" << "await:stopped";
    actions << "menu:mnuSpeed150" << "slider:4" << "key:F5" << "await:line:6" << "await:stopped";
    RUN_PROCESS(r, actions, {"--verbose", "--recitations", dir.path()});
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 6);
    EXPECT_EQ(r.state["recitation"].toObject()["speed"].toDouble(), 1.5);
    EXPECT_FALSE(r.standardError.contains("recitation:")) << r.standardError.toStdString();
}

// A folder whose name is no UTF-8 (Latin-1 bytes here) opens the reader and
// plays; the name shows with U+FFFD where its bytes mean nothing.
TEST_F(Audio, AReciterFolderOfAnyNamePlays) {
    QTemporaryDir dir;
    const QByteArray odd = QFile::encodeName(dir.path()) + "/Qari \xe9\xe8";
    ASSERT_EQ(::mkdir(odd.constData(), 0700), 0);
    Tone(dir.filePath("001001.wav"), 0.3, 500);
    ASSERT_EQ(::rename(QFile::encodeName(dir.filePath("001001.wav")).constData(), (odd + "/001001.wav").constData()), 0);
    RUN_PROCESS(r, {"key:F5", "await:stopped"}, {"--verbose", "--recitations", dir.path()});
    const QJsonObject rec = r.state["recitation"].toObject();
    EXPECT_EQ(rec["reciters"].toArray().first().toString(), QString::fromUtf8("Qari \uFFFD\uFFFD"));
    EXPECT_EQ(rec["played"].toInt(), 0);
    // 1:1 played to its end: playing stopped at the first ayah missing
    EXPECT_TRUE(r.text("message").contains(QString::fromUtf8("001002"))) << r.text("message").toStdString();
    EXPECT_FALSE(r.standardError.contains("recitation:")) << r.standardError.toStdString();
    // (QDir cannot take away what it cannot name)
    ::unlink((odd + "/001001.wav").constData());
    ::rmdir(odd.constData());
}

// At each speed a recording takes its time over the speed (within 3%) and
// keeps its pitch; at 1.5 the recordings still follow one another with no
// gap; a speed chosen while one plays is heard within half a second.
TEST_F(Audio, AtEverySpeedTheTimeChangesAndThePitchStays) {
    QTemporaryDir dir, other;
    const QString folder = dir.filePath("Tones");
    QDir().mkpath(folder);
    Tone(folder + "/001001.wav", 3.0, 440);
    constexpr int kRate = 8000;
    auto played = [&](const QStringList& actions, const QString& recitations) {
        sound->StartRecording(kRate);
        const auto r = RunProcess(actions + QStringList{"await:stopped", "wait:300"}, {"--verbose", "--recitations", recitations});
        EXPECT_EQ(r.status, 0) << r.error.toStdString();
        EXPECT_FALSE(r.standardError.contains("recitation:")) << r.standardError.toStdString();
        return mushaf::testing::NullSound::Sounds(sound->StopRecording(), kRate);
    };
    for (const auto& [entry, speed] : {std::pair{"mnuSpeed075", 0.75}, {"mnuSpeed100", 1.0}, {"mnuSpeed125", 1.25},
                                       {"mnuSpeed150", 1.5}}) {
        const auto spans = played({"menu:mnuPlayToPage", QString("menu:") + entry, "key:F5"}, dir.path());
        ASSERT_EQ(spans.size(), 1u) << entry << " (" << Said(spans) << ")";
        EXPECT_NEAR(spans[0].lengthMs, 3000 / speed, 0.03 * 3000 / speed) << entry;
        EXPECT_NEAR(spans[0].crossings * 1000.0 / spans[0].lengthMs, 440, 0.03 * 440) << entry << ": the pitch";
    }
    // 1:1 to 1:7 at 1.5: one sound, the seven tones' 3.5 s over 1.5
    QFile::remove(folder + "/001001.wav");
    for (int a = 1; a <= 7; ++a) Tone(folder + QString("/00100%1.wav").arg(a), 0.5, 400 + 50 * a);
    const auto seven = played({"menu:mnuPlayToPage", "menu:mnuSpeed150", "key:F5"}, dir.path());
    ASSERT_EQ(seven.size(), 1u) << "a gap between the recordings (" << Said(seven) << ")";
    EXPECT_NEAR(seven[0].lengthMs, 3500 / 1.5, 0.03 * 3500 / 1.5);
    // 6 s at 1.0, 1.5 chosen after about a second: about 1 + 5 / 1.5 s, and
    // the speed heard within half a second of the choice
    QDir().mkpath(other.filePath("Long"));
    Tone(other.filePath("Long/001001.wav"), 6.0, 440);
    const auto changed = played({"key:F5", "wait:1000", "menu:mnuSpeed150"}, other.path());
    ASSERT_EQ(changed.size(), 1u) << Said(changed);
    EXPECT_GT(changed[0].lengthMs, 700 + 5300 / 1.5 - 40);
    EXPECT_LT(changed[0].lengthMs, 1500 + 4500 / 1.5 + 40);
}

// A range said over: 1:2 to 1:3 three times, each ayah twice, is one sound
// of twelve recordings; with a pause of a second, each round apart; the range
// is kept for the next run.
TEST_F(Audio, ARangeIsSaidOverAndOver) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Tones");
    QDir().mkpath(folder);
    for (int a = 1; a <= 7; ++a) Tone(folder + QString("/00100%1.wav").arg(a), 0.3, 400 + 100 * a);
    constexpr int kRate = 8000;
    const QString settings = dir.filePath("settings.ini");
    auto played = [&](const QStringList& actions) {
        sound->StartRecording(kRate);
        const auto r = RunProcess(actions + QStringList{"await:stopped", "wait:300"},
                                  {"--verbose", "--recitations", dir.path(), "--settings", settings});
        EXPECT_EQ(r.status, 0) << r.error.toStdString();
        EXPECT_FALSE(r.standardError.contains("recitation:")) << r.standardError.toStdString();
        return std::pair{r.state["recitation"].toObject(), mushaf::testing::NullSound::Sounds(sound->StopRecording(), kRate)};
    };
    // lines 1 and 2 are 1:2 and 1:3 (600 and 700 Hz); from 1:1 the range's start is taken
    const auto [state, spans] = played({"range:1:2:3:2", "key:F5"});
    EXPECT_EQ(state["range"].toObject()["times"].toInt(), 3);
    EXPECT_EQ(state["round"].toInt(), 0);  // stopped: no round running
    ASSERT_EQ(spans.size(), 1u) << Said(spans);
    EXPECT_NEAR(spans[0].lengthMs, 12 * 300, 60);
    EXPECT_NEAR(spans[0].crossings, 3 * (2 * 0.3 * 600 + 2 * 0.3 * 700), 20);
    // twice with a pause of a second before each repeat: each ayah once, so
    // the pause falls between the rounds only
    const auto [paused, apart] = played({"range:1:2:2:1:1", "key:F5"});
    ASSERT_EQ(apart.size(), 2u);
    for (const auto& s : apart) EXPECT_NEAR(s.lengthMs, 600, 40);
    EXPECT_NEAR(apart[1].startMs - (apart[0].startMs + apart[0].lengthMs), 1000, 150);
    // kept: the next run says it again at F5
    const auto [kept, again] = played({"key:F5"});
    EXPECT_EQ(kept["range"].toObject()["pause"].toInt(), 1);
    EXPECT_EQ(again.size(), 2u);
    // off: the page's ayah as it was chosen apart (to the end of the page from 1:6)
    const auto [off, alone] = played({"range:off", "menu:mnuPlayToPage", "slider:5", "key:F5"});
    EXPECT_TRUE(off["range"].isNull());
    ASSERT_EQ(alone.size(), 1u) << Said(alone);
    EXPECT_NEAR(alone[0].lengthMs, 2 * 300, 40);
}

// The player bar: hidden with no recitation; while one is on, over the
// page pane's foot, with what plays in Persian; its buttons pause, go on and
// stop, by the mouse and by the keyboard.
TEST_F(Audio, ThePlayerBarShowsWhatPlaysAndControlsIt) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Tones");
    QDir().mkpath(folder);
    for (int a = 1; a <= 3; ++a) Tone(folder + QString("/00100%1.wav").arg(a), 4.0, 400 + 100 * a);
    const QStringList options{"--verbose", "--recitations", dir.path()};
    const QString place = "eval:wbrQuran:0";  // a round trip, for the bar to be laid out
    RUN_PROCESS(before, {"check"}, options);
    EXPECT_FALSE(before.state["playerBar"].toObject()["visible"].toBool());
    RUN_PROCESS(on, {"menu:mnuSpeed150", "menu:mnuRepeat3", "key:F5", "await:line:0", place, "check"}, options);
    const QJsonObject bar = on.state["playerBar"].toObject();
    EXPECT_TRUE(bar["visible"].toBool());
    EXPECT_TRUE(bar["playing"].toBool());
    EXPECT_EQ(bar["reciter"].toString(), QString::fromUtf8("قاری: Tones"));
    EXPECT_EQ(bar["ayah"].toString(), QString::fromUtf8("سورهٔ فاتحه، آیهٔ ۱"));
    EXPECT_EQ(bar["repeat"].toString(), QString::fromUtf8("تکرار: ۲ بار دیگر"));
    EXPECT_EQ(bar["speed"].toString(), QString::fromUtf8("سرعت ۱٫۵ برابر"));
    // the mouse pauses; the keyboard goes on; the mouse stops and the bar goes
    RUN_PROCESS(paused, {"key:F5", "await:line:0", "button:cmdPlayerPlay", "check"}, options);
    EXPECT_TRUE(paused.state["recitation"].toObject()["paused"].toBool());
    EXPECT_TRUE(paused.state["playerBar"].toObject()["visible"].toBool());
    EXPECT_FALSE(paused.state["playerBar"].toObject()["playing"].toBool());
    RUN_PROCESS(resumed, {"key:F5", "await:line:0", "button:cmdPlayerPlay", "focus:cmdPlayerPlay", "key:Space", "check"}, options);
    EXPECT_TRUE(resumed.state["recitation"].toObject()["playing"].toBool());
    RUN_PROCESS(stopped, {"key:F5", "await:line:0", "focus:cmdPlayerStop", "key:Space", "check"}, options);
    EXPECT_FALSE(stopped.state["recitation"].toObject()["playing"].toBool());
    EXPECT_FALSE(stopped.state["playerBar"].toObject()["visible"].toBool());
    RUN_PROCESS(clicked, {"key:F5", "await:line:0", "button:cmdPlayerStop", "check"}, options);
    EXPECT_FALSE(clicked.state["playerBar"].toObject()["visible"].toBool());
}

namespace {
// `files` (name to the file to take it from) into a zip or tar archive.
void Pack(const QString& archive, const QList<QPair<QString, QString>>& files) {
    QStringList pairs;
    for (const auto& [name, file] : files) pairs << name << file;
    const char* script = R"PY(
import sys, tarfile, zipfile
out, pairs = sys.argv[1], sys.argv[2:]
entries = list(zip(pairs[::2], pairs[1::2]))
if out.endswith('.zip'):
    with zipfile.ZipFile(out, 'w') as z:
        for name, f in entries: z.write(f, name)
else:
    with tarfile.open(out, 'w:gz' if out.endswith('gz') else 'w') as t:
        for name, f in entries: t.add(f, name)
)PY";
    ASSERT_EQ(QProcess::execute("python3", QStringList{"-c", script, archive} + pairs), 0);
}

// The reader's data folder (XDG_DATA_HOME) in a folder of the test's own
// while it lives: the runs it starts add reciters there.
class DataHome {
public:
    DataHome() : was_(qgetenv("XDG_DATA_HOME")) { qputenv("XDG_DATA_HOME", dir_.path().toLocal8Bit()); }
    ~DataHome() {
        if (was_.isNull()) qunsetenv("XDG_DATA_HOME");
        else qputenv("XDG_DATA_HOME", was_);
    }
    QString Recitations(const QString& name = {}) const { return dir_.filePath("mushaf/recitations/" + name); }

private:
    QTemporaryDir dir_;
    QByteArray was_;
};

QStringList Listed(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot); }
}  // namespace

// Recordings a reader has, added from an archive (with a folder inside or
// none) or a folder: the recordings copied, other files passed over and
// counted, the reciter chosen and played; a damaged archive, one with
// nothing usable, or a name that is no folder's, change nothing.
TEST_F(Audio, RecordingsAreAddedFromAnArchiveOrAFolderWholeOrNotAtAll) {
    QTemporaryDir dir;
    const DataHome data;
    const QString tones = dir.filePath("tones");
    QDir().mkpath(tones + "/deep");
    for (int a = 1; a <= 3; ++a) Tone(tones + QString("/00100%1.wav").arg(a), 0.3, 400 + 100 * a);
    QFile(tones + "/readme.txt").open(QIODevice::WriteOnly);
    const QString zip = dir.filePath("qari.zip"), tar = dir.filePath("more.tar.gz");
    Pack(zip, {{"Qari/001001.wav", tones + "/001001.wav"}, {"Qari/001002.WAV", tones + "/001002.wav"},
               {"Qari/readme.txt", tones + "/readme.txt"}, {"Qari/1.wav", tones + "/001001.wav"}});
    Pack(tar, {{"001003.wav", tones + "/001003.wav"}});
    const QString home = data.Recitations();
    const QString qari = QString::fromUtf8("قاری تازه");
    RUN_PROCESS(added, {"menu:mnuPlayToPage", "add-recordings:" + qari + ":" + zip, "slider:0", "key:F5", "await:stopped", "check"});
    const QJsonObject rec = added.state["recitation"].toObject();
    EXPECT_EQ(rec["added"].toObject()["copied"].toInt(), 2);
    EXPECT_EQ(rec["added"].toObject()["passedOver"].toInt(), 2);
    EXPECT_EQ(rec["reciter"].toString(), qari);
    EXPECT_EQ(Listed(home + "/" + qari), (QStringList{"001001.wav", "001002.WAV"}));
    EXPECT_TRUE(added.text("message").contains("001003")) << "played to the first one missing";
    // more into the same reciter, from a tar with no folder inside
    RUN_PROCESS(more, {"add-recordings:" + qari + ":" + tar, "check"});
    EXPECT_EQ(Listed(home + "/" + qari).size(), 3);
    EXPECT_TRUE(more.text("message").contains(QString::fromUtf8("۱ فایل تلاوت به قاری «") + qari + QString::fromUtf8("» افزوده شد")))
        << more.text("message").toStdString();
    // from a folder, searched through
    QFile::copy(tones + "/001003.wav", tones + "/deep/002001.wav");
    RUN_PROCESS(folder, {"add-recordings:Folder:" + tones, "check"});
    EXPECT_EQ(folder.state["recitation"].toObject()["added"].toObject()["copied"].toInt(), 4);
    EXPECT_EQ(Listed(home + "/Folder").size(), 4);
    // a damaged archive (the zip cut short), one with nothing usable, a bad
    // name: the reader's folder as it was, no staging left behind
    const QStringList before = Listed(home);
    QFile whole(zip);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    QFile cut(dir.filePath("cut.zip"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    cut.close();
    const QString empty = dir.filePath("empty.tar");
    Pack(empty, {{"notes/readme.txt", tones + "/readme.txt"}});
    for (const auto& [what, failure] : {std::pair{"Cut:" + cut.fileName(), "unreadable"}, {"Empty:" + empty, "nothing usable"},
                                        {"Text:" + tones + "/readme.txt", "unreadable"}}) {
        RUN_PROCESS(refused, {"add-recordings:" + what, "check"});
        EXPECT_EQ(refused.state["recitation"].toObject()["added"].toObject()["failure"].toString(), failure) << what.toStdString();
        EXPECT_TRUE(refused.text("message").contains(QString::fromUtf8("چیزی افزوده نشد"))) << refused.text("message").toStdString();
        EXPECT_EQ(Listed(home), before) << what.toStdString();
    }
    RUN_PROCESS(named, {"add-recordings:.hidden:" + zip, "check"});
    EXPECT_TRUE(named.state["recitation"].toObject()["added"].isNull());
    EXPECT_EQ(Listed(home), before);
}

namespace {
// An HTTP server on 127.0.0.1 for the downloads: qari/SSSAAA.mp3 from
// `files`, with 001004 missing, 001005 slow, 001006 cut half-way the first
// time (then sent from where a Range asks), 001007 an HTML page; each
// request written to `files`/log.
const char* kServer = R"PY(
import http.server, os, sys, time
root = sys.argv[1]
class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args): pass
    def do_GET(self):
        name = os.path.basename(self.path)
        with open(os.path.join(root, 'log'), 'a') as log:
            log.write('%s %s\n' % (name, self.headers.get('Range', '-')))
        if name == '001007.mp3':
            body = b'<html><body>Not found</body></html>'
            self.send_response(200); self.send_header('Content-Type', 'text/html')
            self.send_header('Content-Length', str(len(body))); self.end_headers(); self.wfile.write(body); return
        path = os.path.join(root, name)
        if name == '001004.mp3' or not os.path.exists(path):
            self.send_error(404); return
        data = open(path, 'rb').read()
        first = 0
        if self.headers.get('Range', '').startswith('bytes='):
            first = int(self.headers['Range'][6:].split('-')[0])
            self.send_response(206)
            self.send_header('Content-Range', 'bytes %d-%d/%d' % (first, len(data) - 1, len(data)))
        else:
            self.send_response(200)
        self.send_header('Content-Length', str(len(data) - first)); self.end_headers()
        data = data[first:]
        cut = os.path.join(root, 'cut')
        if name == '001006.mp3' and not os.path.exists(cut):
            open(cut, 'w').close()
            self.wfile.write(data[:len(data) // 2]); self.wfile.flush(); return
        if name == '001005.mp3':
            for i in range(4):
                self.wfile.write(data[i * len(data) // 4:(i + 1) * len(data) // 4]); self.wfile.flush(); time.sleep(0.3)
            return
        self.wfile.write(data)
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
# the port's file appears whole (the test reads it as soon as it exists)
with open(os.path.join(root, 'port.part'), 'w') as port:
    port.write(str(server.server_address[1]))
os.rename(os.path.join(root, 'port.part'), os.path.join(root, 'port'))
server.serve_forever()
)PY";
}  // namespace

// Recordings fetched from an address, a few at a time: what came whole and
// is audio kept; a 404, a file cut short and an HTML page named .mp3 listed
// as failed; the next run fetches only what is missing and goes on with the
// cut file from where it stopped; a cancelled one leaves nothing half-written.
TEST_F(Audio, RecordingsAreDownloadedAndWhatFailedIsListedAndResumed) {
    QTemporaryDir dir;
    const DataHome data;
    const QString served = dir.filePath("served");
    QDir().mkpath(served);
    for (int a = 1; a <= 7; ++a) Tone(served + QString("/00100%1.mp3").arg(a), 0.5, 400 + 50 * a);
    QProcess server;
    server.start("python3", {"-c", kServer, served});
    ASSERT_TRUE(server.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(served + "/port") && clock.elapsed() < 10000) QThread::msleep(50);
    QFile portFile(served + "/port");
    ASSERT_TRUE(portFile.open(QIODevice::ReadOnly));
    const QString base = "http://127.0.0.1:" + QString::fromLatin1(portFile.readAll()) + "/qari";
    const QString folder = data.Recitations("Qari");
    auto log = [&] {
        QFile f(served + "/log");
        f.open(QIODevice::ReadOnly);
        return QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);
    };
    RUN_PROCESS(first, {"download:Qari:" + base + ":1", "await:downloaded", "check"});
    QJsonObject d = first.state["downloads"].toObject();
    EXPECT_EQ(d["total"].toInt(), 7);
    EXPECT_EQ(d["done"].toInt(), 4);
    EXPECT_EQ(d["failed"].toInt(), 3);
    const QString failed = QJsonDocument(d["failedFiles"].toArray()).toJson(QJsonDocument::Compact);
    for (const char* name : {"001004.mp3 (404)", "001006.mp3", "001007.mp3 (not audio)"}) EXPECT_TRUE(failed.contains(name)) << failed.toStdString();
    EXPECT_EQ(first.state["recitation"].toObject()["reciter"].toString(), "Qari");
    EXPECT_TRUE(first.text("message").contains(QString::fromUtf8("۳ فایل بارگیری نشد"))) << first.text("message").toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), (QStringList{"001001.mp3", "001002.mp3", "001003.mp3", "001005.mp3"}));
    for (const QString& f : QDir(folder).entryList(QDir::Files)) {
        QFile got(folder + "/" + f), sent(served + "/" + f);
        got.open(QIODevice::ReadOnly);
        sent.open(QIODevice::ReadOnly);
        EXPECT_EQ(got.readAll(), sent.readAll()) << f.toStdString();
    }
    // again: only what is missing is asked for, the cut one from where it stopped
    const int asked = static_cast<int>(log().size());
    RUN_PROCESS(second, {"download:Qari:" + base + ":1", "await:downloaded", "check"});
    d = second.state["downloads"].toObject();
    EXPECT_EQ(d["done"].toInt(), 5);
    EXPECT_EQ(d["failed"].toInt(), 2);
    const QStringList again = log().mid(asked);
    EXPECT_EQ(again.size(), 3) << again.join(" | ").toStdString();
    EXPECT_TRUE(again.filter("001006.mp3 bytes=").size() == 1) << again.join(" | ").toStdString();
    QFile got(folder + "/001006.mp3"), sent(served + "/001006.mp3");
    got.open(QIODevice::ReadOnly);
    sent.open(QIODevice::ReadOnly);
    EXPECT_EQ(got.readAll(), sent.readAll());
    // cancelled while the slow one comes: nothing half-written is left
    RUN_PROCESS(cancelled, {"download:Other:" + base + ":1", "wait:200", "cancel-download", "check"});
    EXPECT_FALSE(cancelled.state["downloads"].toObject()["running"].toBool());
    EXPECT_TRUE(QDir(data.Recitations("Other")).entryList({".*.part"}, QDir::Files | QDir::Hidden).isEmpty());
    server.kill();
    server.waitForFinished();
}

// A recording longer than what is decoded ahead plays whole, to its last
// sound, and the next follows it.
TEST_F(Audio, ALongRecordingPlaysToItsEnd) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Tones");
    QDir().mkpath(folder);
    Tone(folder + "/001001.wav", 7.0, 440);
    Tone(folder + "/001002.wav", 0.5, 660);
    constexpr int kRate = 8000;
    sound->StartRecording(kRate);
    RUN_PROCESS(r, {"key:F5", "await:line:1", "await:stopped", "wait:300"}, {"--verbose", "--recitations", dir.path()});
    const auto spans = mushaf::testing::NullSound::Sounds(sound->StopRecording(), kRate);
    ASSERT_EQ(spans.size(), 1u) << "the two recordings as one sound (" << Said(spans) << ")";
    EXPECT_NEAR(spans[0].lengthMs, 7500, 60);
    // 440 Hz for 7 s, then 660 Hz for 0.5 s
    EXPECT_NEAR(spans[0].crossings, 440 * 7 + 660 * 0.5, 20);
}
