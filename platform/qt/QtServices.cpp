#include "platform/qt/QtServices.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPalette>
#include <QSettings>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif

namespace mushaf {

namespace {
uint32_t ColorRef(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
           (static_cast<uint32_t>(c.blue()) << 16);
}
}  // namespace

uint32_t QtSystemColours::ButtonFace() const {
#ifdef _WIN32
    return static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE));
#else
    return ColorRef(QGuiApplication::palette().color(QPalette::Active, QPalette::Button));
#endif
}

uint32_t QtSystemColours::ActiveBorder() const {
#ifdef _WIN32
    return static_cast<uint32_t>(GetSysColor(COLOR_ACTIVEBORDER));
#else
    return ColorRef(QGuiApplication::palette().color(QPalette::Active, QPalette::Window));
#endif
}

void QtClipboard::Clear() { QGuiApplication::clipboard()->clear(); }
void QtClipboard::SetText(const std::u16string& text) { QGuiApplication::clipboard()->setText(ToQ(text)); }
std::u16string QtClipboard::Text() const { return FromQ(QGuiApplication::clipboard()->text()); }

void OsKeyboardLayout::Load(const std::string& layoutId, unsigned flags) {
    last = layoutId;
#ifdef _WIN32
    LoadKeyboardLayoutA(layoutId.c_str(), flags);
#else
    (void)flags;
#endif
}

namespace {
std::unique_ptr<QSettings> Open(const QString& iniFile, const std::u16string& app) {
    if (iniFile.isEmpty()) return std::make_unique<QSettings>(ToQ(app), ToQ(app));
    auto s = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
    s->beginGroup(ToQ(app));
    return s;
}
}  // namespace

std::optional<std::u16string> QtSettings::Get(const std::u16string& app, const std::u16string& section,
                                              const std::u16string& key) const {
    auto s = Open(iniFile_, app);
    QString path = ToQ(section) + "/" + ToQ(key);
    if (!s->contains(path)) return std::nullopt;
    return FromQ(s->value(path).toString());
}

void QtSettings::Set(const std::u16string& app, const std::u16string& section, const std::u16string& key,
                     const std::u16string& value) {
    auto s = Open(iniFile_, app);
    s->setValue(ToQ(section) + "/" + ToQ(key), ToQ(value));
}

}  // namespace mushaf
