#include "model/Loading.h"

#include <bit>
#include <cstring>

namespace mushaf {

Text Utf16LE(std::string_view bytes) {
    Text out(bytes.size() / 2, u'\0');
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out.data(), bytes.data(), out.size() * 2);
        return out;
    }
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

TextArray LoadTable(const TableSource& tables, std::string_view typeName) {
    auto bytes = tables.Lookup(typeName, 1);
    if (!bytes) throw ModelError("resource not found", std::string(typeName));
    TextArray lines = Split(Utf16LE(*bytes), u"\r\n");
    if (!lines[0].empty()) lines[0].erase(0, 1);
    return lines;
}

void SetBounds(std::unique_ptr<cQ114>& model, const TableSource& tables) {
    if (!model) model = std::make_unique<cQ114>();
    cQ114& q = *model;
    q.QrArray(LoadTable(tables, "Ar"));
    q.MeanFaArray(LoadTable(tables, "Fa"));
    q.UthmaniArray(LoadTable(tables, "Uthmani"));
    q.MeanFa2Array(LoadTable(tables, "Fa2"));
    q.SorehNameArray(LoadTable(tables, "SorehName"));
    q.SorehUnicArray(LoadTable(tables, "SorehUnic"));
    q.HezbUnicArray(LoadTable(tables, "HezbUnic"));
    q.JozeUnicArray(LoadTable(tables, "JozeUnic"));
    q.PageUnicArray(LoadTable(tables, "PageUnic"));
    q.TotalAyatArray(LoadTable(tables, "AyehOfSoreh"));
    q.BaseDataArray(LoadTable(tables, "Base"));
}

void UnSetBounds(std::unique_ptr<cQ114>& model) { model.reset(); }

}  // namespace mushaf
