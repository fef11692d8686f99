// mushaf-cli: commands over the text model, one JSON line per command.
#include <iostream>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "model/Loading.h"
#include "platform/DataFolders.h"
#include "platform/qt/QtTableSource.h"
#include "version/Version.h"

int main(int argc, char** argv) {
    using namespace mushaf;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "mushaf-cli " MUSHAF_VERSION "\n";
        return 0;
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << Usage();
        return 0;
    }
    std::filesystem::path exportDir = DefaultExportFolder();
    std::vector<CliCommand> commands;
    std::string usage;
    if (!ParseOptions(args, exportDir, usage) || args.empty() || !ParseCommands(args, commands, usage)) {
        std::cerr << Usage();
        if (!usage.empty()) std::cerr << usage << "\n";
        return 2;
    }
    QtTableSource tables;
    if (commands.size() == 1 && commands[0].name == "table") {
        auto bytes = tables.Lookup(commands[0].args[0], 1);
        if (!bytes) {
            std::cout << JsonObject().Add("error", FromUtf8("resource not found: " + commands[0].args[0])).Str() << "\n";
            return 1;
        }
        std::cout.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
        return 0;
    }
    std::unique_ptr<cQ114> model;
    MushafMarks marks;
    try {
        SetBounds(model, tables);
        marks = LoadMushafMarks(tables);
    } catch (const ModelError& e) {
        std::cout << JsonObject().Add("error", FromUtf8(e.what())).Str() << "\n";
        return 1;
    }
    int status = 0;
    CliPacks packs{PackShelf(ShippedData("translations"), ReaderData("translations")), {}};
    for (const CliCommand& c : commands) {
        try {
            std::cout << RunCommand(*model, c, exportDir, &marks, &packs) << "\n";
        } catch (const ModelError& e) {
            std::cout << JsonObject().Add("error", FromUtf8(e.what())).Str() << "\n";
            status = 1;
        }
    }
    UnSetBounds(model);
    return status;
}
