#include "platform/qt/QtTableSource.h"

#include <QResource>

namespace mushaf {

std::optional<std::string> QtTableSource::Lookup(std::string_view typeName, int id) const {
    if (id != 1 || typeName.empty() || typeName.find_first_of("/\\.") != std::string_view::npos) return std::nullopt;
    QResource resource(QStringLiteral(":/tables/") + QString::fromStdString(UpperAscii(typeName)));
    if (!resource.isValid()) return std::nullopt;
    if (resource.compressionAlgorithm() == QResource::NoCompression)
        return std::string(reinterpret_cast<const char*>(resource.data()), static_cast<std::size_t>(resource.size()));
    QByteArray bytes = resource.uncompressedData();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace mushaf
