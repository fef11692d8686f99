#pragma once
// The real data tables, loaded once per test program.
#include <memory>

#include "model/Loading.h"
#include "model/MushafMarks.h"

namespace mushaf::testing {

inline const FileTableSource& Tables() {
    static FileTableSource tables(MUSHAF_TABLE_DIR);
    return tables;
}

// A fresh copy of a model loaded from the tables.
inline cQ114 LoadedModel() {
    static std::unique_ptr<cQ114> loaded = [] {
        std::unique_ptr<cQ114> m;
        SetBounds(m, Tables());
        return m;
    }();
    return *loaded;
}

// The mushaf's marks read from the tables.
inline const MushafMarks& LoadedMarks() {
    static const MushafMarks marks = LoadMushafMarks(Tables());
    return marks;
}

}  // namespace mushaf::testing
