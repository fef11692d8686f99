#include "platform/qt/QtStream.h"

#include <QAudioDecoder>
#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>
#include <QUrl>
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

// how much the sink holds: what is fed but not heard yet, at most
constexpr int kSinkMs = 100;
// a sink that has taken nothing for this long while playing has failed
constexpr int kStillMs = 3000;
// how far ahead of the sink a recording is decoded
constexpr int kAheadMs = 3000;

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
    sink_->setBufferSize(StreamFormat().bytesForDuration(kSinkMs * 1000));
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

qint64 QtStreamPlayer::Fill(char* data, qint64 max) {
    qint64 n = 0;
    for (const auto& p : pieces_) {
        if (n == max) break;
        if (p->endsAt >= 0) continue;
        if (!p->failure.empty()) break;
        const qint64 ready = std::min<qint64>(p->Ahead(), max - n);
        std::memcpy(data + n, p->pcm.constData() + p->head, static_cast<std::size_t>(ready));
        p->head += ready;
        p->fed += ready;
        n += ready;
        Pull(*p);  // room for more
        if (!p->complete || p->Ahead() > 0) break;  // more to come, or room is out
        p->endsAt = streamed_ + n;
        p->pcm = QByteArray();
        p->head = 0;
    }
    // silence while nothing is ready: the sink goes on, and the next
    // recording starts as soon as it is
    std::memset(data + n, 0, static_cast<std::size_t>(max - n));
    streamed_ += max;
    return max;
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
}

}  // namespace mushaf
