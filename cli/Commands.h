#pragma once
// The commands of the command line, run in order on one model.
#include <filesystem>
#include <string>
#include <vector>

#include "model/MushafMarks.h"
#include "model/Packs.h"
#include "model/cQ114.h"

namespace mushaf {

struct CliCommand {
    std::string name;
    std::vector<std::string> args;
};

// What --help prints: the forms of the command line and the commands.
std::string Usage();
// Takes the options in front of the commands out of args: "--export-dir DIR"
// or "--export-dir=DIR" (the last one given counts). False, with a message,
// when one has no directory.
bool ParseOptions(std::vector<std::string>& args, std::filesystem::path& exportDir, std::string& error);
// Splits the arguments into commands; false (with a message) on a usage error.
bool ParseCommands(const std::vector<std::string>& argv, std::vector<CliCommand>& out, std::string& error);
// Runs one command and returns its JSON line; throws ModelError on failure,
// also for an argument that is no well-formed UTF-8, and for an export of
// an empty list (no search yet, a search that found nothing, no fish cards).
// The translation packs the commands see, and the one chosen.
struct CliPacks {
    PackShelf shelf;
    std::u16string chosen;
};
std::string RunCommand(cQ114& model, const CliCommand& command, const std::filesystem::path& exportDir,
                       const MushafMarks* marks = nullptr, CliPacks* packs = nullptr);
// The position object of the model.
// The model's place; with the mushaf's marks also its surah's revelation
// ("meccan" or "medinan") and place in the order of revelation, and the line's
// sajda (null, "recommended", "obligatory"), hizb quarter and whether the line
// begins it.
// "translation" names the translation chosen: a pack by `packName`.
std::string PositionJson(const cQ114& model, const MushafMarks* marks = nullptr, const std::u16string* packName = nullptr);

}  // namespace mushaf
