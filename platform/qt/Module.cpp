#include "platform/qt/Module.h"

#include <QCoreApplication>
#include <QLibrary>

namespace mushaf {

QFunctionPointer ModuleEntry(const char* kind, const char* symbol) {
    // build/lib/mushaf/KIND from build/window, /usr/lib/mushaf/KIND from /usr/bin
    QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/mushaf/%1/mushaf-%1").arg(kind));
    if (!module.load()) {
        qWarning("%s: %s", kind, qPrintable(module.errorString()));
        return nullptr;
    }
    return module.resolve(symbol);
}

}  // namespace mushaf
