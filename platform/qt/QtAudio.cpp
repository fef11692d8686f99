#include "platform/qt/QtAudio.h"

#include <QtGlobal>

#include "platform/qt/QtStream.h"

// What the program looks up when it loads this module.
extern "C" Q_DECL_EXPORT mushaf::AudioPlayer* mushaf_make_audio_player() { return new mushaf::QtStreamPlayer(); }
