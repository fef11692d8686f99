// The stream player itself, on a null sound output: a long recording is
// decoded as it plays, not whole before.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/qt/QtAudio.h"
#include "tests/NullSound.h"

namespace {

// The resident memory of this process, in MB.
double ResidentMb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
    return -1;
}

void RunFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

TEST(AudioStream, ALongRecordingIsDecodedAsItPlays) {
    mushaf::testing::NullSound sound;
    ASSERT_TRUE(sound.Trouble().isEmpty()) << sound.Trouble().toStdString();
    QTemporaryDir dir;
    // ten minutes (106 MB once decoded for the sound output)
    const QString file = dir.filePath("001001.wav");
    ASSERT_EQ(QProcess::execute("sox", {"-n", "-r", "8000", "-c", "1", file, "synth", "600", "sine", "440"}), 0);
    // as recorded, and through the time-stretcher
    for (double rate : {1.0, 1.5}) {
        std::unique_ptr<mushaf::AudioPlayer> player = mushaf::MakeQtAudioPlayer();
        ASSERT_TRUE(player);
        ASSERT_TRUE(player->SetRate(rate));
        bool failed = false;
        player->failed = [&](const std::string&) { failed = true; };
        const double before = ResidentMb();
        player->Play(file.toStdString());
        RunFor(4000);  // a WAV file decodes in far less
        const double grown = ResidentMb() - before;
        player->Stop();
        EXPECT_FALSE(failed) << rate;
        EXPECT_LT(grown, 25) << "MB more while playing at " << rate;
        RecordProperty(rate == 1.0 ? "grownMb" : "grownMbStretched", QString::number(grown, 'f', 1).toStdString());
    }
}
