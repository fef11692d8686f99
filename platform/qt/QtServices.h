#pragma once
// Qt and operating-system implementations of the platform services.
#include <QString>
#include <map>
#include <memory>

#include "platform/RecordingImport.h"
#include "platform/Services.h"

namespace mushaf {

class QtSystemColours : public SystemColours {
public:
    uint32_t ButtonFace() const override;
    uint32_t ActiveBorder() const override;
};

class QtClipboard : public Clipboard {
public:
    void Clear() override;
    void SetText(const std::u16string& text) override;
    std::u16string Text() const override;
};

// LoadKeyboardLayoutA on Windows; elsewhere the input layout belongs to the
// desktop and nothing is done.
class OsKeyboardLayout : public KeyboardLayout {
public:
    void Load(const std::string& layoutId, unsigned flags) override;
    std::string last;  // the last identifier asked for
};

// QSettings in the user's scope: organisation = application title,
// group = section.
// What was set is written to the file at Commit, the whole file anew or
// nothing (QSettings writes a new file and puts it in the old one's place).
class QtSettings : public Settings {
public:
    QtSettings();
    // Stores in an INI file at that path instead of the user's settings.
    explicit QtSettings(QString iniFile);
    ~QtSettings() override;
    std::optional<std::u16string> Get(const std::u16string& app, const std::u16string& section,
                                      const std::u16string& key) const override;
    void Set(const std::u16string& app, const std::u16string& section, const std::u16string& key,
             const std::u16string& value) override;
    void Commit() override;
    std::optional<Problem> Trouble() const override { return trouble_; }
    // How many times a file was written.
    int Writes() const { return writes_; }

private:
    struct Store;
    Store& Open(const std::u16string& app) const;
    void Report(bool reading, const QString& file, Fault fault) const;

    QString iniFile_;
    mutable std::map<std::u16string, std::unique_ptr<Store>> stores_;
    mutable std::optional<Problem> trouble_;
    int writes_ = 0;
};

inline QString ToQ(const std::u16string& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }
inline std::u16string FromQ(const QString& s) { return s.toStdU16String(); }
// A path or a file's name inside a Persian sentence, kept left to right
// ("001004.mp3", not "mp3.001004"; its slashes where they belong).
inline QString Isolated(const QString& name) { return QChar(0x2066) + name + QChar(0x2069); }

// The import of recordings from the mushaf-archive module (a failure when
// it cannot be loaded).
ImportReport ImportRecordings(const std::filesystem::path& from, const std::filesystem::path& into, const RecordingNamed& wanted);

}  // namespace mushaf
