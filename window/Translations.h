#pragma once
// Translations: the translation the reader sees (one of the two built in or
// a pack), a second shown under it, and the packs a reader adds. A pack's
// text is read when it is first shown; the list of packs reads only their
// heads.
#include <QObject>
#include <QString>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Packs.h"
#include "model/cQ114.h"
#include "views/Documents.h"
#include "window/Command.h"

namespace mushaf {

class CommandTable;
class KeptChoices;
class MessageLine;
class ReadingPart;

class TranslationsPart : public QObject {
    Q_OBJECT
public:
    // `shipped`: the packs installed with the program; `reader`: where the
    // reader's packs are kept (the program's data folder's translations/).
    TranslationsPart(cQ114& model, KeptChoices& choices, ReadingPart& reading, MessageLine& messages, CommandTable& table,
                     const std::filesystem::path& shipped, const std::filesystem::path& reader, QObject* parent = nullptr);
    std::vector<Command> Commands();
    // Once the choices are read: the translations they name shown.
    void Load();

    // Shows `name` ("ansarian", "fooladvand" or a pack's name) first, or
    // second (empty: no second); says why and changes nothing when its pack
    // cannot be read.
    bool Choose(const std::u16string& name);
    bool ChooseSecond(const std::u16string& name);
    // What is shown: the choices' translations, or, while a chosen pack
    // cannot be read, what shows in its place (the choice itself is kept: the
    // pack shows again once it is added back, or at a start that finds it).
    const std::u16string& Shown() const { return shown_; }
    const std::u16string& ShownSecond() const { return shownSecond_; }
    void ToggleSearchSecond();
    // Checks the file whole and keeps it as a pack; says what became of it.
    void Add(const std::filesystem::path& file);
    void AskPack();

    // The translations there are, built-in first, for the JSON.
    struct Listed {
        QString name, language, direction, from;
    };
    std::vector<Listed> List() const;
    // What the last Add made: the pack's name, or the problems found.
    struct AddResult {
        QString name;          // empty: refused
        QStringList problems;  // each in Persian
        int moreProblems = 0;
    };
    const std::optional<AddResult>& LastAdd() const { return lastAdd_; }
    views::TranslationsLook Look() const;

private:
    static bool BuiltIn(const std::u16string& name);
    // Shows `name` without choosing it; false (and said) when it cannot be.
    bool Show(const std::u16string& name);
    bool ShowSecond(const std::u16string& name);
    // A translation's text a line: a built-in's copied, a pack's read and
    // checked (none, and the problems said, when it cannot be).
    std::shared_ptr<const TextArray> Lines(const std::u16string& name);
    std::vector<int16_t> AyahCounts() const;
    views::TranslationLook LookOf(const std::u16string& name) const;
    std::vector<Command> PackCommands(const PackEntry& pack);
    // The commands of a pack the menu did not have when it was built.
    void AddPackCommands(const PackEntry& pack);

    cQ114& Q114;
    KeptChoices& choices_;
    ReadingPart& reading_;
    MessageLine& messages_;
    CommandTable& table_;
    PackShelf shelf_;
    std::map<std::u16string, std::shared_ptr<const TextArray>> loaded_;
    std::vector<std::u16string> inMenu_;
    std::optional<AddResult> lastAdd_;
    std::u16string shown_, shownSecond_;
};

}  // namespace mushaf
