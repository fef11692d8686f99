#include "QtTableSource.h"

#include <QFile>

namespace mushaf {

std::optional<std::string> QtTableSource::Lookup(std::string_view typeName, int id) const {
    if (id != 1 || typeName.empty() || typeName.find_first_of("/\\.") != std::string_view::npos) return std::nullopt;
    QFile file(QStringLiteral(":/tables/") + QString::fromStdString(UpperAscii(typeName)));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace mushaf
