#pragma once
// The platform services the window uses, behind small interfaces so that
// they can be replaced in tests.
#include <cstdint>
#include <optional>
#include <string>

namespace mushaf {

// System colours as 0x00BBGGRR, red in the lowest byte.
class SystemColours {
public:
    virtual ~SystemColours() = default;
    virtual uint32_t ButtonFace() const = 0;    // index 15
    virtual uint32_t ActiveBorder() const = 0;  // index 10
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void Clear() = 0;
    virtual void SetText(const std::u16string& text) = 0;
    virtual std::u16string Text() const = 0;  // empty when the clipboard holds no text
};

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    // Loads the layout with that identifier ("00000429") and, with flag 1, activates it.
    virtual void Load(const std::string& layoutId, unsigned flags) = 0;
};

// Per-user text values addressed by application, section and key.
class Settings {
public:
    // Why the store could not be used.
    enum class Fault {
        IsAFolder,       // the name is a folder's
        CannotRead,      // no permission to read the file
        Damaged,         // the file cannot be understood
        CannotMakeFolder,  // the folder it goes in cannot be made
        CannotWrite,     // the file cannot be written
    };
    struct Problem {
        bool reading;  // in reading what was kept; else in keeping a value
        std::u16string file;
        Fault fault;
    };
    virtual ~Settings() = default;
    // The first thing that went wrong with the store, if anything has. A store
    // that could not be read (wholly, or for damage in part) keeps what is set
    // in memory and never writes over the file it could not read.
    virtual std::optional<Problem> Trouble() const { return std::nullopt; }
    virtual std::optional<std::u16string> Get(const std::u16string& app, const std::u16string& section,
                                              const std::u16string& key) const = 0;
    // Sets a value, kept by the next Commit.
    virtual void Set(const std::u16string& app, const std::u16string& section, const std::u16string& key,
                     const std::u16string& value) = 0;
    // Writes what was set since the last commit, as one write: a file holds
    // all of it or none of it.
    virtual void Commit() {}
};

}  // namespace mushaf
