// The Qt audio player lives in a module of its own (mushaf-audio), loaded at
// the first recitation: the program starts without Qt Multimedia, GStreamer's
// and PulseAudio's libraries, which most runs never use.
#include "platform/qt/Module.h"
#include "platform/qt/QtAudio.h"

namespace mushaf {

namespace {

using Maker = AudioPlayer* (*)();

Maker LoadMaker() {
    static const Maker maker = reinterpret_cast<Maker>(ModuleEntry("audio", "mushaf_make_audio_player"));
    return maker;
}

}  // namespace

std::unique_ptr<AudioPlayer> MakeQtAudioPlayer() {
    const Maker make = LoadMaker();
    return make ? std::unique_ptr<AudioPlayer>(make()) : nullptr;
}

}  // namespace mushaf
