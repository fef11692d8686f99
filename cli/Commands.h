#pragma once
// The commands of the command line, run in order on one model.
#include <filesystem>
#include <string>
#include <vector>

#include "model/cQ114.h"

namespace mushaf {

struct CliCommand {
    std::string name;
    std::vector<std::string> args;
};

// Splits the arguments into commands; false (with a message) on a usage error.
bool ParseCommands(const std::vector<std::string>& argv, std::vector<CliCommand>& out, std::string& error);
// Runs one command and returns its JSON line; throws ModelError on failure,
// also for an argument that is no well-formed UTF-8.
std::string RunCommand(cQ114& model, const CliCommand& command, const std::filesystem::path& exportDir);
// The position object of the model.
std::string PositionJson(const cQ114& model);

}  // namespace mushaf
