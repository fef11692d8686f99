#pragma once
// A sound server that plays to nothing, for the runs of a test or a bench:
// PulseAudio with a null sink, in a runtime folder of its own, and the
// variables that send this process's children to it. A silent stream is
// kept open beside it: an idle null sink holds back each new stream by up
// to two seconds. Recording() reads what the sink played.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QElapsedTimer>
#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace mushaf::testing {

class NullSound {
public:
    NullSound() {
        const QString pulse = QStandardPaths::findExecutable("pulseaudio");
        if (pulse.isEmpty() || !dir_.isValid()) {
            why_ = "pulseaudio is not installed";
            return;
        }
        was_ = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit());
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // on no session bus: where one is started for the display (dbus-x11),
        // two tests' servers side by side would both ask for its one name
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/mushaf-test-bus");
        server_.setProcessEnvironment(env);
        server_.start(pulse, {"--daemonize=no", "--exit-idle-time=-1", "-n", "--load=module-null-sink",
                              "--load=module-native-protocol-unix", "--log-target=stderr", "--log-level=error"});
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000 && !Answers()) QThread::msleep(100);
        if (!Answers()) {
            why_ = "pulseaudio did not start";
            return;
        }
        silence_.start("pacat", {"--latency-msec=20", "--volume=0", "/dev/zero"});
        silence_.waitForStarted();
    }
    ~NullSound() {
        StopRecording();
        for (QProcess* p : {&silence_, &server_}) {
            p->kill();
            p->waitForFinished(5000);
        }
        if (was_.isNull()) qunsetenv("XDG_RUNTIME_DIR");
        else qputenv("XDG_RUNTIME_DIR", was_);
    }
    // Empty when the server runs; else why not.
    const QString& Trouble() const { return why_; }

    // What the sink plays from now on: 16-bit mono samples at `rate` a second,
    // into a file (a pipe nobody reads while this thread waits on something
    // else would fill and lose sound), or read as it comes when `live`.
    void StartRecording(int rate, bool live = false) {
        const QString file = dir_.filePath("recording.raw");
        QFile::remove(file);
        recording_.setStandardOutputFile(live ? QString() : file);
        recording_.start("parec", {"--device=null.monitor", "--format=s16le", "--rate=" + QString::number(rate),
                                   "--channels=1", "--latency-msec=5"});
        recording_.waitForStarted();
    }
    QByteArray StopRecording() {
        if (recording_.state() == QProcess::NotRunning) return {};
        recording_.terminate();
        recording_.waitForFinished(5000);
        QFile file(dir_.filePath("recording.raw"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : recording_.readAllStandardOutput();
    }
    QProcess& Recording() { return recording_; }

    // The runs of sound in 16-bit mono samples at `rate` a second: where each
    // begins and how long it lasts, in ms, with gaps under `gapMs` bridged.
    struct Span {
        double startMs, lengthMs;
        int crossings;  // times the wave crosses zero upwards: its pitch, times the length
    };
    // The spans as a failed check shows them: "at 750 ms for 45 ms; ...".
    static std::string Said(const std::vector<Span>& spans) {
        std::string said;
        for (const Span& s : spans)
            said += (said.empty() ? "at " : "; at ") + std::to_string(std::lround(s.startMs)) + " ms for " +
                    std::to_string(std::lround(s.lengthMs)) + " ms";
        return said;
    }
    static std::vector<Span> Sounds(const QByteArray& pcm, int rate, double gapMs = 30) {
        std::vector<Span> spans;
        const auto sample = [&](qsizetype i) {
            return static_cast<int16_t>(static_cast<uint8_t>(pcm[2 * i]) | (static_cast<uint8_t>(pcm[2 * i + 1]) << 8));
        };
        const qsizetype n = pcm.size() / 2, window = rate / 200;  // 5 ms
        qsizetype begin = -1, lastLoud = -1;
        int crossings = 0;
        for (qsizetype at = 0; at + window <= n; at += window) {
            bool loud = false;
            for (qsizetype i = at; i < at + window && !loud; ++i) loud = std::abs(sample(i)) > 500;
            if (loud && begin < 0) begin = at, crossings = 0;
            if (loud) lastLoud = at + window;
            if (begin >= 0) {
                for (qsizetype i = std::max<qsizetype>(at, 1); i < at + window; ++i)
                    crossings += sample(i - 1) < 0 && sample(i) >= 0;
            }
            if (begin >= 0 && !loud && (at - lastLoud) * 1000.0 / rate > gapMs) {
                spans.push_back({begin * 1000.0 / rate, (lastLoud - begin) * 1000.0 / rate, crossings});
                begin = -1;
            }
        }
        if (begin >= 0) spans.push_back({begin * 1000.0 / rate, (lastLoud - begin) * 1000.0 / rate, crossings});
        return spans;
    }

private:
    static bool Answers() {
        QProcess info;
        info.start("pactl", {"info"});
        return info.waitForFinished(3000) && info.exitCode() == 0;
    }
    QTemporaryDir dir_;
    QByteArray was_;
    QProcess server_, silence_, recording_;
    QString why_;
};

}  // namespace mushaf::testing
