#include <fstream>
#include <iterator>

#include "platform/TableSource.h"

namespace mushaf {

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::optional<std::string> FileTableSource::Lookup(std::string_view typeName, int id) const {
    if (id != 1 || typeName.empty() || typeName.find_first_of("/\\.") != std::string_view::npos) return std::nullopt;
    std::ifstream in(folder_ + "/" + UpperAscii(typeName), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace mushaf
