#include "platform/qt/QtServices.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPalette>
#include <QDir>
#include <QFileInfo>
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

// One application's values: the file, and what could not be written to it.
struct QtSettings::Store {
    std::unique_ptr<QSettings> file;
    // Set while the file could not be read: the values live here only.
    bool readOnly = false;
    bool changed = false;  // set since the last commit
    std::map<QString, QString> memory;
};

QtSettings::QtSettings() = default;
QtSettings::QtSettings(QString iniFile) : iniFile_(std::move(iniFile)) {}
QtSettings::~QtSettings() = default;

void QtSettings::Report(bool reading, const QString& file, Fault fault) const {
    if (!trouble_) trouble_ = Problem{reading, FromQ(QDir::toNativeSeparators(file)), fault};
}

QtSettings::Store& QtSettings::Open(const std::u16string& app) const {
    auto& store = stores_[app];
    if (store) return *store;
    store = std::make_unique<Store>();
    if (iniFile_.isEmpty()) {
        store->file = std::make_unique<QSettings>(ToQ(app), ToQ(app));
    } else {
        store->file = std::make_unique<QSettings>(iniFile_, QSettings::IniFormat);
        store->file->beginGroup(ToQ(app));
    }
    const QString path = store->file->fileName();
    const QFileInfo info(path);
    std::optional<Fault> unread;
    if (info.exists() && info.isDir()) unread = Fault::IsAFolder;
    else if (info.exists() && !info.isReadable()) unread = Fault::CannotRead;
    else if (store->file->status() == QSettings::AccessError) unread = Fault::CannotRead;
    else if (store->file->status() == QSettings::FormatError) unread = Fault::Damaged;
    if (unread) {
        store->readOnly = true;
        Report(true, path, *unread);
    }
    return *store;
}

std::optional<std::u16string> QtSettings::Get(const std::u16string& app, const std::u16string& section,
                                              const std::u16string& key) const {
    Store& s = Open(app);
    const QString path = ToQ(section) + "/" + ToQ(key);
    if (auto it = s.memory.find(path); it != s.memory.end()) return FromQ(it->second);
    // a damaged file gives what could be read of it
    if (!s.file->contains(path)) return std::nullopt;
    return FromQ(s.file->value(path).toString());
}

void QtSettings::Set(const std::u16string& app, const std::u16string& section, const std::u16string& key,
                     const std::u16string& value) {
    Store& s = Open(app);
    const QString path = ToQ(section) + "/" + ToQ(key);
    s.memory[path] = ToQ(value);
    if (s.readOnly) return;
    s.file->setValue(path, ToQ(value));
    s.changed = true;
}

void QtSettings::Commit() {
    for (auto& [app, s] : stores_) {
        if (!s->changed) continue;
        s->changed = false;
        s->file->sync();
        ++writes_;
        if (s->file->status() == QSettings::NoError) continue;
        const QFileInfo info(s->file->fileName());
        Fault fault = Fault::CannotWrite;
        if (info.isDir()) fault = Fault::IsAFolder;
        else if (!info.absoluteDir().exists()) fault = Fault::CannotMakeFolder;
        Report(false, s->file->fileName(), fault);
    }
}

}  // namespace mushaf
