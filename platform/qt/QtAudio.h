#pragma once
// The audio service on Qt Multimedia: the recordings decoded ahead and
// played as one stream at any speed (QtStreamPlayer), from the mushaf-audio
// module.
#include <memory>

#include "platform/Audio.h"

namespace mushaf {

// The maker the window is given: a Qt player each time it is asked, from the
// mushaf-audio module (none when it cannot be loaded).
std::unique_ptr<AudioPlayer> MakeQtAudioPlayer();

}  // namespace mushaf
