#pragma once
// The data tables embedded in the program as Qt resources.
#include "platform/TableSource.h"

namespace mushaf {

class QtTableSource : public TableSource {
public:
    std::optional<std::string> Lookup(std::string_view typeName, int id) const override;
};

}  // namespace mushaf
