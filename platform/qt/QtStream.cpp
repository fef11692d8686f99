#include "platform/qt/QtStream.h"

#include <QAudioDecoder>
#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>
#include <QUrl>
#include <SoundTouch.h>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace mushaf {

namespace {

QAudioFormat StreamFormat() {
    QAudioFormat f;
    f.setSampleRate(44100);
    f.setChannelCount(2);
    f.setSampleFormat(QAudioFormat::Int16);
    return f;
}

// how much the sink holds: what is fed but not heard yet, at most; more
// through the stretcher, which works on the event loop's thread and is
// heard some 50 ms late anyway (a busy moment of the loop is then no gap).
// (250 ms at the speed recorded too lost some tens of ms of sound in the
// bench's runs: the stream's end told before it was all heard.)
constexpr int kSinkMs = 100, kStretchedSinkMs = 250;
// how much of a recording is decoded before it starts (or all of it): a
// decoder just started is then no gap after the first words
constexpr int kCushionMs = 250;
// a sink that has taken nothing for this long while playing has failed
constexpr int kStillMs = 3000;
// how far ahead of the sink a recording is decoded
constexpr int kAheadMs = 3000;
// what the stretcher is given at a time (46 ms)
constexpr qint64 kStretchFrames = 2048;

}  // namespace

QUrl LocalFileUrl(const std::filesystem::path& file) {
#ifdef _WIN32
    return QUrl::fromLocalFile(QString::fromStdWString(file.native()));
#else
    std::error_code ec;
    std::filesystem::path whole = std::filesystem::absolute(file, ec);
    if (ec) whole = file;
    const QByteArray bytes = QByteArray::fromStdString(whole.native());
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
#endif
}

QtStreamPlayer::QtStreamPlayer() : owner_(std::make_unique<QObject>()), feed_(*this) {
    feed_.open(QIODevice::ReadOnly);
    watch_ = new QTimer(owner_.get());
    watch_->setInterval(10);
    QObject::connect(watch_, &QTimer::timeout, owner_.get(), [this] { Watch(); });
}

QtStreamPlayer::~QtStreamPlayer() {
    finished = nullptr;
    failed = nullptr;
    Stop();
}

std::shared_ptr<QtStreamPlayer::Piece> QtStreamPlayer::Decode(const std::filesystem::path& file) {
    auto piece = std::make_shared<Piece>();
    piece->file = file;
    auto* decoder = new QAudioDecoder(owner_.get());
    piece->decoder = decoder;
    decoder->setAudioFormat(StreamFormat());
    decoder->setSource(LocalFileUrl(file));
    std::weak_ptr<Piece> weak = piece;
    QObject::connect(decoder, &QAudioDecoder::bufferReady, owner_.get(), [weak] {
        if (auto p = weak.lock()) Pull(*p);
    });
    QObject::connect(decoder, &QAudioDecoder::finished, owner_.get(), [weak, decoder] {
        if (auto p = weak.lock()) {
            p->complete = true;
            p->decoder = nullptr;
        }
        decoder->deleteLater();
    });
    QObject::connect(decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), owner_.get(),
                     [this, weak, decoder](QAudioDecoder::Error) {
                         if (auto p = weak.lock()) {
                             p->failure = decoder->errorString().toStdString() + ": " + p->file.string();
                             p->decoder = nullptr;
                             // a recording told to play that cannot be (one the
                             // stream went on to is told of when it is played)
                             if (playing_ && !continued_ && !pieces_.empty() && pieces_.front() == p)
                                 Tell([this, why = p->failure] {
                                     if (failed) failed(why);
                                 });
                         }
                         decoder->deleteLater();
                     });
    decoder->start();
    return piece;
}

void QtStreamPlayer::Pull(Piece& piece) {
    static const qint64 ahead = StreamFormat().bytesForDuration(qint64(kAheadMs) * 1000);
    while (piece.decoder && piece.Ahead() < ahead && piece.decoder->bufferAvailable()) {
        const QAudioBuffer b = piece.decoder->read();
        if (!b.isValid()) break;
        // what has been given to the sink goes, now and then rather than each time
        if (piece.head > ahead) {
            piece.pcm.remove(0, piece.head);
            piece.head = 0;
        }
        piece.pcm.append(b.constData<char>(), b.byteCount());
    }
}

void QtStreamPlayer::Drop(Piece& piece) {
    // a stopped decoder says no more (neither finished nor an error): it goes here
    if (QAudioDecoder* decoder = piece.decoder) {
        piece.decoder = nullptr;
        QObject::disconnect(decoder, nullptr, owner_.get(), nullptr);
        decoder->stop();
        decoder->deleteLater();
    }
}

void QtStreamPlayer::Play(const std::filesystem::path& file) {
    // the recording the stream went on to by itself: it sounds already
    if (playing_ && continued_ && !pieces_.empty() && pieces_.front()->file == file && pieces_.front()->failure.empty()) {
        continued_ = false;
        return;
    }
    Stop();
    playing_ = true;
    pieces_.push_back(Decode(file));
    StartSink();
}

void QtStreamPlayer::Prepare(const std::filesystem::path& file) {
    if (pieces_.empty() || !playing_) return;
    if (pieces_.size() >= 2) {
        // one already sounding stays
        if (pieces_[1]->file == file || pieces_[1]->fed > 0) return;
        while (pieces_.size() > 1) {
            Drop(*pieces_.back());
            pieces_.pop_back();
        }
    }
    pieces_.push_back(Decode(file));
}

void QtStreamPlayer::StartSink() {
    // a new sink each time: Qt 6.4's PulseAudio sink, stopped and started
    // again, came to take nothing from the third start on
    sink_ = new QAudioSink(QMediaDevices::defaultAudioOutput(), StreamFormat());
    sink_->setBufferSize(StreamFormat().bytesForDuration((stretching_ ? kStretchedSinkMs : kSinkMs) * 1000));
    streamed_ = 0;
    lastProcessed_ = -1;
    paused_ = false;
    still_.start();
    sink_->start(&feed_);
    if (sink_->error() != QAudio::NoError) {
        playing_ = false;
        Tell([this] {
            if (failed) failed("no sound output");
        });
        return;
    }
    watch_->start();
}

QtStreamPlayer::Piece* QtStreamPlayer::Current() {
    for (const auto& p : pieces_) {
        if (p->endsAt >= 0) continue;
        if (!p->failure.empty()) return nullptr;
        static const qint64 cushion = StreamFormat().bytesForDuration(qint64(kCushionMs) * 1000);
        if (p->fed == 0 && !p->complete && p->Ahead() < cushion) return nullptr;
        return p.get();
    }
    return nullptr;
}

void QtStreamPlayer::Ended(Piece& p, qint64 written, qint64 pending) {
    p.endsAt = streamed_ + written + pending;
    p.pcm = QByteArray();
    p.head = 0;
}

qint64 QtStreamPlayer::Fill(char* data, qint64 max) {
    qint64 n = stretching_ ? FillStretched(data, max) : 0;
    if (!stretching_) n += FillAsRecorded(data + n, max - n, n);
    // silence while nothing is ready: the sink goes on, and the next
    // recording starts as soon as it is
    std::memset(data + n, 0, static_cast<std::size_t>(max - n));
    streamed_ += max;
    return max;
}

qint64 QtStreamPlayer::FillAsRecorded(char* data, qint64 max, qint64 offset) {
    qint64 n = 0;
    while (n < max) {
        Piece* p = Current();
        if (!p) break;
        const qint64 ready = std::min<qint64>(p->Ahead(), max - n);
        std::memcpy(data + n, p->pcm.constData() + p->head, static_cast<std::size_t>(ready));
        p->head += ready;
        p->fed += ready;
        n += ready;
        Pull(*p);  // room for more
        if (!p->complete || p->Ahead() > 0) break;  // more to come, or room is out
        Ended(*p, offset + n, 0);
    }
    return n;
}

qint64 QtStreamPlayer::FillStretched(char* data, qint64 max) {
    const QAudioFormat f = StreamFormat();
    const qint64 frame = f.bytesPerFrame(), frames = max / frame;
    const int channels = f.channelCount();
    auto* out = reinterpret_cast<int16_t*>(data);
    qint64 done = 0;
    while (done < frames) {
        if (const qint64 ready = stretcher_->numSamples()) {
            samples_.resize(static_cast<std::size_t>(std::min(ready, frames - done) * channels));
            const qint64 got = stretcher_->receiveSamples(samples_.data(), static_cast<unsigned>(samples_.size() / channels));
            for (qint64 i = 0; i < got * channels; ++i)
                out[done * channels + i] = static_cast<int16_t>(std::clamp(std::lround(samples_[i] * 32768.0f), -32768L, 32767L));
            done += got;
            continue;
        }
        if (flushed_) {  // back at the speed recorded: all it held is out
            stretching_ = flushed_ = false;
            break;
        }
        if (rate_ == 1.0) {
            stretcher_->flush();
            flushed_ = true;
            continue;
        }
        Piece* p = Current();
        if (!p) break;
        const qint64 chunk = std::min<qint64>(p->Ahead(), kStretchFrames * frame) / frame * frame;
        if (chunk > 0) {
            const auto* in = reinterpret_cast<const int16_t*>(p->pcm.constData() + p->head);
            samples_.resize(static_cast<std::size_t>(chunk / 2));
            for (std::size_t i = 0; i < samples_.size(); ++i) samples_[i] = in[i] / 32768.0f;
            stretcher_->putSamples(samples_.data(), static_cast<unsigned>(chunk / frame));
            p->head += chunk;
            p->fed += chunk;
            Pull(*p);
        }
        if (p->complete && p->Ahead() == 0) {
            // its last sound is as far on as what the stretcher holds will take
            const double pending = stretcher_->numSamples() + stretcher_->numUnprocessedSamples() / rate_;
            Ended(*p, done * frame, static_cast<qint64>(pending) * frame);
            // nothing follows it (yet): what is kept for the next window comes out now
            if (!Current()) stretcher_->flush();
            continue;
        }
        if (chunk == 0) break;  // the decoder has nothing ready
    }
    return done * frame;
}

bool QtStreamPlayer::SetRate(double rate) {
    if (!(rate >= 0.5 && rate <= 2.0)) return false;
    rate_ = rate;
    // back at 1, what the stretcher holds is given out first (Fill)
    if (rate == 1.0) return true;
    if (!stretcher_) {
        stretcher_ = std::make_unique<soundtouch::SoundTouch>();
        stretcher_->setSampleRate(static_cast<unsigned>(StreamFormat().sampleRate()));
        stretcher_->setChannels(static_cast<unsigned>(StreamFormat().channelCount()));
        // short sequences and windows, as speech wants: no echo on the syllables
        stretcher_->setSetting(SETTING_SEQUENCE_MS, 40);
        stretcher_->setSetting(SETTING_SEEKWINDOW_MS, 15);
        stretcher_->setSetting(SETTING_OVERLAP_MS, 8);
        stretcher_->setSetting(SETTING_USE_QUICKSEEK, 0);
    }
    stretcher_->setTempo(rate);
    stretching_ = true;
    flushed_ = false;
    return true;
}

void QtStreamPlayer::Watch() {
    if (!sink_ || pieces_.empty() || !playing_) return;
    // a decoder whose queue filled while the piece had no room goes on
    for (const auto& p : pieces_) Pull(*p);
    // a sink that takes nothing more while it should play is a failure, not a hang
    const qint64 processed = sink_->processedUSecs();
    if (processed != lastProcessed_ || paused_) {
        lastProcessed_ = processed;
        still_.start();
    } else if (still_.elapsed() > kStillMs) {
        playing_ = false;
        Tell([this] {
            if (failed) failed("the sound output stopped taking sound");
        });
        return;
    }
    // in 64 bits: bytesForDuration's int overflows after some three hours
    const QAudioFormat f = StreamFormat();
    const qint64 heard = processed * f.sampleRate() / 1000000 * f.bytesPerFrame();
    const auto& now = pieces_.front();
    if (now->endsAt < 0 || heard < now->endsAt) return;
    pieces_.pop_front();
    continued_ = !pieces_.empty();
    if (pieces_.empty()) playing_ = false;
    Tell([this] {
        if (finished) finished();
    });
}

void QtStreamPlayer::Tell(const std::function<void()>& what) {
    const int now = ++told_;
    QMetaObject::invokeMethod(owner_.get(), [this, now, what] {
        if (now == told_) what();
    }, Qt::QueuedConnection);
}

void QtStreamPlayer::Pause() {
    paused_ = true;
    if (sink_) sink_->suspend();
}

void QtStreamPlayer::Resume() {
    paused_ = false;
    if (sink_ && playing_) sink_->resume();
}

void QtStreamPlayer::Stop() {
    playing_ = false;
    continued_ = false;
    ++told_;
    watch_->stop();
    if (sink_) {
        sink_->stop();
        delete sink_;
        sink_ = nullptr;
    }
    for (const auto& p : pieces_) Drop(*p);
    pieces_.clear();
    if (stretcher_) stretcher_->clear();
    stretching_ = rate_ != 1.0;
    flushed_ = false;
}

}  // namespace mushaf
