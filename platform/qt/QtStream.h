#pragma once
// Recordings played one after another as one stream: each decoded to PCM
// (QAudioDecoder) as it plays, a few seconds ahead, and fed to one
// QAudioSink, the prepared next one straight after the last byte of the one
// before, so that no gap falls between them. An end is told once the sink
// has played past it. Memory stays the same whatever a recording's length.
// At another speed the stream goes through a time-stretcher (SoundTouch,
// tuned for speech) that shortens or lengthens it and keeps its pitch; the
// recordings still follow one another within it, and a new speed is heard
// as soon as what the sink holds has played.
#include <QElapsedTimer>
#include <QIODevice>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Audio.h"

class QAudioDecoder;
class QUrl;
class QAudioSink;
class QTimer;
namespace soundtouch {
class SoundTouch;
}

namespace mushaf {

// The address of a local file, its name's bytes as they are (a folder's name
// need not be UTF-8).
QUrl LocalFileUrl(const std::filesystem::path& file);

class QtStreamPlayer : public AudioPlayer {
public:
    QtStreamPlayer();
    ~QtStreamPlayer() override;
    void Play(const std::filesystem::path& file) override;
    void Prepare(const std::filesystem::path& file) override;
    void Pause() override;
    void Resume() override;
    void Stop() override;
    // 0.5 to 2: the time the recordings take is theirs over `rate`, their pitch kept.
    bool SetRate(double rate) override;

private:
    struct Piece {
        std::filesystem::path file;
        QByteArray pcm;         // decoded, from `head` on not yet given to the sink
        qint64 head = 0;
        bool complete = false;  // decoded to its end
        std::string failure;    // why it cannot be played, if it cannot
        qint64 fed = 0;         // bytes of it given to the sink
        qint64 endsAt = -1;     // where in the stream its last byte went
        QAudioDecoder* decoder = nullptr;
        qint64 Ahead() const { return pcm.size() - head; }
    };
    // What the sink reads: the pieces in turn, silence while none is ready.
    class Feed : public QIODevice {
    public:
        explicit Feed(QtStreamPlayer& player) : player_(player) {}
        bool isSequential() const override { return true; }
        qint64 bytesAvailable() const override { return (1 << 16) + QIODevice::bytesAvailable(); }

    protected:
        qint64 readData(char* data, qint64 max) override { return player_.Fill(data, max); }
        qint64 writeData(const char*, qint64) override { return -1; }

    private:
        QtStreamPlayer& player_;
    };

    std::shared_ptr<Piece> Decode(const std::filesystem::path& file);
    // What the decoder has ready, taken while the piece has room for it: the
    // decoder waits (its queue is short) until the sink has played some.
    static void Pull(Piece& piece);
    // Its decoder stopped and gone.
    void Drop(Piece& piece);
    qint64 Fill(char* data, qint64 max);
    // The pieces' sound as it is, and through the stretcher: bytes written.
    qint64 FillAsRecorded(char* data, qint64 max, qint64 offset);
    qint64 FillStretched(char* data, qint64 max);
    // The piece whose sound is to be given next, if any can be.
    Piece* Current();
    // Marks `p` given whole, its last byte `pending` bytes after `written`.
    void Ended(Piece& p, qint64 written, qint64 pending);
    // Tells the end of the first piece once the sink has played it.
    void Watch();
    void Tell(const std::function<void()>& what);
    void StartSink();

    std::unique_ptr<QObject> owner_;
    QAudioSink* sink_ = nullptr;
    QTimer* watch_ = nullptr;
    Feed feed_;
    // the piece playing (or last played, until its end is told), then the next
    std::deque<std::shared_ptr<Piece>> pieces_;
    qint64 streamed_ = 0;  // bytes given to the sink since it started
    qint64 lastProcessed_ = -1;
    QElapsedTimer still_;  // since the sink last took sound
    bool paused_ = false;
    bool playing_ = false;
    bool continued_ = false;  // the stream went on to the first piece by itself; Play of it is no new start
    int told_ = 0;
    double rate_ = 1.0;
    std::unique_ptr<soundtouch::SoundTouch> stretcher_;  // made at the first other speed
    bool stretching_ = false;  // the sound goes through the stretcher (another speed, or what it still holds)
    bool flushed_ = false;     // back at 1: what the stretcher held is being given out
    std::vector<float> samples_;
};

}  // namespace mushaf
