#pragma once
// Where the program's data lies: what it ships, and what a reader keeps.
#include <filesystem>
#include <string>

namespace mushaf {

// The shipped data folder `what`: beside the program in the build tree
// (DIR/what), or where it is installed (../share/mushaf/what from bin/).
// The program's folder comes from /proc/self/exe. Empty when neither is there.
std::filesystem::path ShippedData(const std::string& what);
// The reader's data folder `what`: $XDG_DATA_HOME/mushaf/what, or
// ~/.local/share/mushaf/what.
std::filesystem::path ReaderData(const std::string& what);

}  // namespace mushaf
