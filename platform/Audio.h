#pragma once
// Playing recordings one after another: the service the recitation uses,
// behind a small interface so that tests can put another in its place.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace mushaf {

class AudioPlayer {
public:
    virtual ~AudioPlayer() = default;
    // Plays `file` from its start, in place of whatever plays; or, when it is
    // the prepared one that already follows what ended, lets it go on.
    virtual void Play(const std::filesystem::path& file) = 0;
    // `file` is to follow what plays: a player may start it the moment the
    // one playing ends, before it is told of that end and asked to Play it.
    virtual void Prepare(const std::filesystem::path& file) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void Stop() = 0;
    // 1.0: as recorded. False when the backend cannot play at another speed.
    virtual bool SetRate(double rate) = 0;

    // Called on the caller's thread, after Play: the recording played to its
    // end; it could not be played (why, for the log).
    std::function<void()> finished;
    std::function<void(const std::string& why)> failed;
};

using AudioPlayerMaker = std::function<std::unique_ptr<AudioPlayer>()>;

}  // namespace mushaf
