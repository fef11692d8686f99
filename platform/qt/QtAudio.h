#pragma once
// The audio service on Qt Multimedia: one player, a recording at a time.
#include <QObject>
#include <memory>

#include "platform/Audio.h"

class QAudioOutput;
class QMediaPlayer;

namespace mushaf {

class QtAudioPlayer : public AudioPlayer {
public:
    QtAudioPlayer();
    ~QtAudioPlayer() override;
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
    std::unique_ptr<QObject> owner_;  // parent of the player; the connections die with it
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    std::filesystem::path file_;
    bool playing_ = false;  // Play was called and neither Stop nor an end came since
};

// The maker the window is given: a Qt player each time it is asked.
std::unique_ptr<AudioPlayer> MakeQtAudioPlayer();

}  // namespace mushaf
