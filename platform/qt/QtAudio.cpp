#include "platform/qt/QtAudio.h"

#include "platform/qt/QtStream.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>
#include <functional>

namespace mushaf {

QtMediaPlayer::QtMediaPlayer() : owner_(std::make_unique<QObject>()) { MakePlayer(); }

void QtMediaPlayer::MakePlayer() {
    if (player_) {
        player_->disconnect(owner_.get());
        player_->stop();
        player_->deleteLater();
        output_->deleteLater();
    }
    broken_ = false;
    file_.clear();
    player_ = new QMediaPlayer(owner_.get());
    output_ = new QAudioOutput(owner_.get());
    player_->setAudioOutput(output_);
    player_->setPlaybackRate(rate_);
    // The caller hears of an end or a failure once the player has said all it
    // says of that recording: a failure's status comes after its error.
    auto tell = [this](const std::function<void()>& what) {
        const int now = ++told_;
        QMetaObject::invokeMethod(owner_.get(), [this, now, what] {
            if (now == told_) what();
        }, Qt::QueuedConnection);
    };
    QObject::connect(player_, &QMediaPlayer::mediaStatusChanged, owner_.get(), [this, tell](QMediaPlayer::MediaStatus s) {
        if (!playing_) return;
        if (s == QMediaPlayer::EndOfMedia) {
            playing_ = false;
            tell([this] {
                if (finished) finished();
            });
        } else if (s == QMediaPlayer::InvalidMedia) {
            playing_ = false;
            broken_ = true;
            tell([this, file = file_] {
                if (failed) failed("cannot be played: " + file.string());
            });
        }
    });
    QObject::connect(player_, &QMediaPlayer::errorOccurred, owner_.get(),
                     [this, tell](QMediaPlayer::Error, const QString& why) {
                         if (!playing_) return;
                         playing_ = false;
                         broken_ = true;
                         tell([this, why = why.toStdString() + ": " + file_.string()] {
                             if (failed) failed(why);
                         });
                     });
}

QtMediaPlayer::~QtMediaPlayer() {
    // no call back into the caller while the player goes
    finished = nullptr;
    failed = nullptr;
    player_->stop();
}

void QtMediaPlayer::Play(const std::filesystem::path& file) {
    playing_ = false;
    ++told_;  // what was still to be told of the last one is not
    player_->stop();
    // after a failure the player is made anew: Qt 6.4's GStreamer player
    // could fail the next good file too ("Internal data stream error")
    if (broken_) MakePlayer();
    // the same file again (a repeat) plays from its start
    if (file != file_) {
        file_ = file;
        player_->setSource(LocalFileUrl(file));
    }
    playing_ = true;
    player_->play();
}

void QtMediaPlayer::Pause() { player_->pause(); }

void QtMediaPlayer::Resume() {
    if (playing_) player_->play();
}

void QtMediaPlayer::Stop() {
    playing_ = false;
    ++told_;
    player_->stop();
}

bool QtMediaPlayer::SetRate(double rate) {
    rate_ = rate;
    player_->setPlaybackRate(rate);
    return true;
}

QtAudioPlayer::QtAudioPlayer()
    : stream_(std::make_unique<QtStreamPlayer>()), media_(std::make_unique<QtMediaPlayer>()), active_(stream_.get()) {
    for (AudioPlayer* p : {stream_.get(), media_.get()}) {
        p->finished = [this] {
            if (finished) finished();
        };
        p->failed = [this](const std::string& why) {
            if (failed) failed(why);
        };
    }
}

QtAudioPlayer::~QtAudioPlayer() {
    finished = nullptr;
    failed = nullptr;
}

AudioPlayer* QtAudioPlayer::Wanted() const { return rate_ == 1.0 ? stream_.get() : media_.get(); }

void QtAudioPlayer::Play(const std::filesystem::path& file) {
    if (Wanted() != active_) {
        active_->Stop();
        active_ = Wanted();
    }
    active_->Play(file);
}

void QtAudioPlayer::Prepare(const std::filesystem::path& file) {
    if (Wanted() == active_) active_->Prepare(file);
}

bool QtAudioPlayer::SetRate(double rate) {
    rate_ = rate;
    return media_->SetRate(rate);
}

}  // namespace mushaf

// What the program looks up when it loads this module.
extern "C" Q_DECL_EXPORT mushaf::AudioPlayer* mushaf_make_audio_player() { return new mushaf::QtAudioPlayer(); }
