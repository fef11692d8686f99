// The Qt audio player lives in a module of its own (mushaf-audio), loaded at
// the first recitation: the program starts without Qt Multimedia, GStreamer's
// and PulseAudio's libraries, which most runs never use.
#include <QCoreApplication>
#include <QLibrary>

#include "platform/qt/QtAudio.h"

namespace mushaf {

namespace {

using Maker = AudioPlayer* (*)();

Maker LoadMaker() {
    // beside the executables' folder: build/lib/mushaf/audio from build/window,
    // /usr/lib/mushaf/audio from /usr/bin
    static Maker maker = [] {
        QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/mushaf/audio/mushaf-audio"));
        if (!module.load()) {
            qWarning("recitation: %s", qPrintable(module.errorString()));
            return Maker(nullptr);
        }
        return reinterpret_cast<Maker>(module.resolve("mushaf_make_audio_player"));
    }();
    return maker;
}

}  // namespace

std::unique_ptr<AudioPlayer> MakeQtAudioPlayer() {
    const Maker make = LoadMaker();
    return make ? std::unique_ptr<AudioPlayer>(make()) : nullptr;
}

}  // namespace mushaf
