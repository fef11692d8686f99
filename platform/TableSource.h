#pragma once
// Lookup of the program's own data tables by type name (any case) and id.
#include <optional>
#include <string>
#include <string_view>

namespace mushaf {

class TableSource {
public:
    virtual ~TableSource() = default;
    // The raw bytes of the table, or nothing when there is no such table.
    virtual std::optional<std::string> Lookup(std::string_view typeName, int id) const = 0;
};

// Tables stored as files named by their upper-case type name in one folder.
class FileTableSource : public TableSource {
public:
    explicit FileTableSource(std::string folder) : folder_(std::move(folder)) {}
    std::optional<std::string> Lookup(std::string_view typeName, int id) const override;

private:
    std::string folder_;
};

std::string UpperAscii(std::string_view s);

}  // namespace mushaf
