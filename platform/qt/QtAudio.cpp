#include "platform/qt/QtAudio.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

namespace mushaf {

QtAudioPlayer::QtAudioPlayer() : owner_(std::make_unique<QObject>()) {
    player_ = new QMediaPlayer(owner_.get());
    output_ = new QAudioOutput(owner_.get());
    player_->setAudioOutput(output_);
    QObject::connect(player_, &QMediaPlayer::mediaStatusChanged, owner_.get(), [this](QMediaPlayer::MediaStatus s) {
        if (!playing_) return;
        if (s == QMediaPlayer::EndOfMedia) {
            playing_ = false;
            if (finished) finished();
        } else if (s == QMediaPlayer::InvalidMedia) {
            playing_ = false;
            if (failed) failed("cannot be played: " + file_.string());
        }
    });
    QObject::connect(player_, &QMediaPlayer::errorOccurred, owner_.get(), [this](QMediaPlayer::Error, const QString& why) {
        if (!playing_) return;
        playing_ = false;
        player_->stop();
        if (failed) failed(why.toStdString() + ": " + file_.string());
    });
}

QtAudioPlayer::~QtAudioPlayer() {
    // no call back into the caller while the player goes
    finished = nullptr;
    failed = nullptr;
    player_->stop();
}

void QtAudioPlayer::Play(const std::filesystem::path& file) {
    playing_ = false;
    player_->stop();
    // the same file again (a repeat) plays from its start; one that failed is loaded anew
    if (file != file_ || player_->error() != QMediaPlayer::NoError) {
        if (file == file_) player_->setSource(QUrl());
        file_ = file;
        player_->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    }
    playing_ = true;
    player_->play();
}

void QtAudioPlayer::Pause() { player_->pause(); }

void QtAudioPlayer::Resume() {
    if (playing_) player_->play();
}

void QtAudioPlayer::Stop() {
    playing_ = false;
    player_->stop();
}

bool QtAudioPlayer::SetRate(double rate) {
    player_->setPlaybackRate(rate);
    return true;
}

std::unique_ptr<AudioPlayer> MakeQtAudioPlayer() { return std::make_unique<QtAudioPlayer>(); }

}  // namespace mushaf
