#pragma once
// The program's modules (lib/mushaf/KIND/mushaf-KIND beside the executables'
// folder, in the build and installed alike), each loaded when first used.
#include <QFunctionPointer>

namespace mushaf {

// The entry `symbol` of the module `kind`, loaded once; null (and a word on
// the log) when it cannot be.
QFunctionPointer ModuleEntry(const char* kind, const char* symbol);

}  // namespace mushaf
