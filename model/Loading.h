#pragma once
// Loading the corpus tables into the text model.
#include <memory>

#include "../platform/TableSource.h"
#include "model/cQ114.h"

namespace mushaf {

// The bytes taken as UTF-16LE code units, unchanged (the byte-order mark and
// any U+0000 stay).
Text Utf16LE(std::string_view bytes);
// One table as an array of texts: split at CR LF, the first character of
// element 0 (the byte-order mark) removed. Throws when the table is missing.
TextArray LoadTable(const TableSource& tables, std::string_view typeName);

// Loads the eleven corpus tables into the model, creating it on first use;
// the model then stands on line 0.
void SetBounds(std::unique_ptr<cQ114>& model, const TableSource& tables);
void UnSetBounds(std::unique_ptr<cQ114>& model);

}  // namespace mushaf
