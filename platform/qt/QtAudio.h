#pragma once
// The audio service on Qt Multimedia. At the speed recorded, the recordings
// are decoded ahead and played as one stream, with no gap between them
// (QtStreamPlayer); at another speed QMediaPlayer plays them one at a time.
#include <QObject>
#include <memory>

#include "platform/Audio.h"

class QAudioOutput;
class QMediaPlayer;

namespace mushaf {

// One recording at a time on QMediaPlayer, at any speed: between two the
// player is set up again (some 160 ms of silence on PulseAudio).
class QtMediaPlayer : public AudioPlayer {
public:
    QtMediaPlayer();
    ~QtMediaPlayer() override;
    void Play(const std::filesystem::path& file) override;
    // Nothing is loaded ahead: with Qt 6.4's GStreamer backend a second
    // player made ready (paused) while the first plays dropped the start of
    // its recording when it began, by as long as it had waited.
    void Prepare(const std::filesystem::path&) override {}
    void Pause() override;
    void Resume() override;
    void Stop() override;
    bool SetRate(double rate) override;

private:
    // The player and its output, made anew in place of the last ones.
    void MakePlayer();

    std::unique_ptr<QObject> owner_;  // parent of the player; the connections die with it
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    std::filesystem::path file_;
    bool playing_ = false;  // Play was called and neither Stop nor an end came since
    bool broken_ = false;   // the player failed; the next recording gets a new one
    double rate_ = 1.0;
    int told_ = 0;          // the last end or failure posted to the caller; older ones are dropped
};

// QtStreamPlayer at the speed recorded, QtMediaPlayer at any other; a move
// from one to the other is made at the next recording.
class QtAudioPlayer : public AudioPlayer {
public:
    QtAudioPlayer();
    ~QtAudioPlayer() override;
    void Play(const std::filesystem::path& file) override;
    void Prepare(const std::filesystem::path& file) override;
    void Pause() override { active_->Pause(); }
    void Resume() override { active_->Resume(); }
    void Stop() override { active_->Stop(); }
    bool SetRate(double rate) override;

private:
    AudioPlayer* Wanted() const;
    std::unique_ptr<AudioPlayer> stream_, media_;
    AudioPlayer* active_;
    double rate_ = 1.0;
};

// The maker the window is given: a Qt player each time it is asked, from the
// mushaf-audio module (none when it cannot be loaded).
std::unique_ptr<AudioPlayer> MakeQtAudioPlayer();

}  // namespace mushaf
