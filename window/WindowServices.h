#pragma once
// What the window is given from outside: the platform's services, where it
// reads and writes, and what plays sound.
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "model/cQ114.h"
#include "platform/Audio.h"
#include "platform/RecordingImport.h"
#include "platform/Services.h"
#include "platform/TableSource.h"

namespace mushaf {

struct WindowServices {
    const TableSource& tables;
    const SystemColours& colours;
    Clipboard& clipboard;
    KeyboardLayout& keyboard;
    // the reader's choices, kept across runs
    Settings& settings;
    // where exports are written
    std::filesystem::path exportFolder = DefaultExportFolder();
    // where reciters' folders are looked for, and what plays them (none: no sound)
    std::vector<std::filesystem::path> recitationFolders = {};
    // the translation packs shipped with the program, and the reader's (none: no packs)
    std::filesystem::path shippedTranslations = {}, readerTranslations = {};
    AudioPlayerMaker audio = {};
    // copies a reader's recordings into a reciter's folder (none: it cannot)
    RecordingImport importRecordings = {};
    // The text model read ahead from `tables` (see ReadModelAhead), taken by
    // Form_Load; without it Form_Load reads the model itself.
    std::function<std::unique_ptr<cQ114>()> model = {};
};

}  // namespace mushaf
