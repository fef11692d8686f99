// The translation shown, a second under it, and the packs a reader adds.
#include "window/Translations.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/qt/QtServices.h"
#include "views/Packs.h"
#include "window/CommandTable.h"
#include "window/Dialogs.h"
#include "window/KeptChoices.h"
#include "window/MessageLine.h"
#include "window/Reading.h"

namespace mushaf {

namespace {
constexpr char16_t kAnsarian[] = u"ansarian", kFooladvand[] = u"fooladvand";

QString Persian(long long n) { return ToQ(PersianDecimal(n)); }
}  // namespace

TranslationsPart::TranslationsPart(cQ114& model, KeptChoices& choices, ReadingPart& reading, MessageLine& messages,
                                   CommandTable& table, const std::filesystem::path& shipped,
                                   const std::filesystem::path& reader, QObject* parent)
    : QObject(parent), Q114(model), choices_(choices), reading_(reading), messages_(messages), table_(table),
      shelf_(shipped, reader) {
    reading_.SetTranslationLook([this] { return Look(); });
}

bool TranslationsPart::BuiltIn(const std::u16string& name) { return name == kAnsarian || name == kFooladvand; }

std::vector<int16_t> TranslationsPart::AyahCounts() const {
    std::vector<int16_t> counts;
    for (int s = 1; s <= Q114.SorehCount(); ++s) counts.push_back(Q114.TotalAyatOf(static_cast<int16_t>(s)));
    return counts;
}

// ---- the commands ------------------------------------------------------------------

std::vector<Command> TranslationsPart::Commands() {
    using namespace menus;
    const bool yes = true;
    auto first = [this](const char16_t* name) { return [this, name] { Choose(name); }; };
    auto firstIs = [this](const char16_t* name) { return [this, name] { return shown_ == name; }; };
    auto second = [this](const char16_t* name) { return [this, name] { ChooseSecond(name); }; };
    auto secondIs = [this](const char16_t* name) { return [this, name] { return shownSecond_ == name; }; };
    std::vector<Command> commands = {
        {.name = "mnuTransAnsarian", .text = QStringLiteral("انصاریان"), .run = first(kAnsarian),
         .checked = firstIs(kAnsarian), .menu = {kView, kTranslation}, .exclusive = yes},
        {.name = "mnuTransFooladvand", .text = QStringLiteral("فولادوند"), .run = first(kFooladvand),
         .checked = firstIs(kFooladvand), .menu = {kView, kTranslation}, .exclusive = yes},
        {.name = "mnuSecondTranslation:none", .text = QStringLiteral("هیچ"), .run = second(u""), .checked = secondIs(u""),
         .menu = {kView, kTranslation, kSecondTranslation}, .exclusive = yes},
        {.name = "mnuSecondTranslation:ansarian", .text = QStringLiteral("انصاریان"), .run = second(kAnsarian),
         .checked = secondIs(kAnsarian), .menu = {kView, kTranslation, kSecondTranslation}, .exclusive = yes},
        {.name = "mnuSecondTranslation:fooladvand", .text = QStringLiteral("فولادوند"), .run = second(kFooladvand),
         .checked = secondIs(kFooladvand), .menu = {kView, kTranslation, kSecondTranslation}, .exclusive = yes},
    };
    for (const PackEntry& pack : shelf_.Entries())
        for (Command& c : PackCommands(pack)) commands.push_back(std::move(c));
    commands.push_back({.name = "mnuAddTranslation", .text = QStringLiteral("افزودن ترجمه…"),
                        .help = QStringLiteral("افزودن ترجمه یا تفسیری که پرونده‌اش را دارید"), .run = [this] { AskPack(); },
                        .menu = {kView, kTranslation}, .separatorBefore = yes});
    commands.push_back({.name = "mnuSearchSecond", .text = QStringLiteral("جستجو در ترجمهٔ دوم"),
                        .help = QStringLiteral("جستجوی ترجمه در ترجمهٔ دوم، آنگاه که ترجمهٔ دومی نشان داده می‌شود"),
                        .run = [this] { ToggleSearchSecond(); }, .checked = [this] { return choices_->searchSecond; },
                        .menu = {kView, kTranslation}});
    return commands;
}

std::vector<Command> TranslationsPart::PackCommands(const PackEntry& pack) {
    using namespace menus;
    const std::u16string name = pack.head.name;
    inMenu_.push_back(name);
    const QString named = ToQ(name);
    // a name in Latin letters stands to the right like the Persian ones
    const QString shown = QChar(0x200F) + named;
    return {
        {.name = QStringLiteral("mnuTranslation:") + named, .text = shown, .run = [this, name] { Choose(name); },
         .checked = [this, name] { return shown_ == name; }, .menu = {kView, kTranslation},
         .exclusive = true},
        {.name = QStringLiteral("mnuSecondTranslation:") + named, .text = shown, .run = [this, name] { ChooseSecond(name); },
         .checked = [this, name] { return shownSecond_ == name; },
         .menu = {kView, kTranslation, kSecondTranslation}, .exclusive = true},
    };
}

void TranslationsPart::AddPackCommands(const PackEntry& pack) {
    if (std::find(inMenu_.begin(), inMenu_.end(), pack.head.name) != inMenu_.end()) return;
    std::vector<Command> commands = PackCommands(pack);
    table_.AddLater(std::move(commands[0]), QStringLiteral("mnuAddTranslation"));
    table_.AddLater(std::move(commands[1]), QString());
}

// ---- choosing ----------------------------------------------------------------------

void TranslationsPart::Load() {
    const std::u16string first = choices_->translation, second = choices_->secondTranslation;
    // a pack gone since it was chosen: the built-in translation (or no
    // second) in its place, said once; the choice stays for when it is back
    if (!Show(first)) Show(kAnsarian);
    if (!second.empty() && !ShowSecond(second)) ShowSecond(u"");
}

std::shared_ptr<const TextArray> TranslationsPart::Lines(const std::u16string& name) {
    if (auto at = loaded_.find(name); at != loaded_.end()) return at->second;
    std::shared_ptr<const TextArray> lines;
    if (BuiltIn(name)) {
        lines = std::make_shared<const TextArray>(
            Q114.BuiltInArray(name == kFooladvand ? cQ114::Translation::Fooladvand : cQ114::Translation::Ansarian));
    } else if (const PackEntry* pack = shelf_.Find(name)) {
        const PackCheck check = shelf_.Load(*pack, AyahCounts());
        if (!check.Ok()) {
            messages_.Say(ToQ(views::PackRefusal(check, name, true)));
            return nullptr;
        }
        lines = std::make_shared<const TextArray>(PackLines(check.ayat, Q114));
    } else {
        messages_.Say(QStringLiteral("ترجمهٔ «%1» پیدا نشد.").arg(ToQ(name)));
        return nullptr;
    }
    loaded_[name] = lines;
    return lines;
}

bool TranslationsPart::Choose(const std::u16string& name) {
    if (!Show(name)) return false;
    if (choices_->translation != name) choices_.Change([&](ReaderChoices& c) { c.translation = name; });
    return true;
}

bool TranslationsPart::ChooseSecond(const std::u16string& name) {
    if (!ShowSecond(name)) return false;
    if (choices_->secondTranslation != name) choices_.Change([&](ReaderChoices& c) { c.secondTranslation = name; });
    return true;
}

bool TranslationsPart::Show(const std::u16string& name) {
    if (BuiltIn(name)) {
        Q114.ChooseTranslation(name == kFooladvand ? cQ114::Translation::Fooladvand : cQ114::Translation::Ansarian);
    } else {
        auto lines = Lines(name);
        if (!lines) return false;
        Q114.ChoosePack(std::move(lines));
    }
    shown_ = name;
    reading_.RewriteTranslation();
    return true;
}

bool TranslationsPart::ShowSecond(const std::u16string& name) {
    std::shared_ptr<const TextArray> lines;
    if (!name.empty() && !(lines = Lines(name))) return false;
    Q114.SecondTranslation(std::move(lines));
    shownSecond_ = name;
    reading_.RewriteTranslation();
    return true;
}

void TranslationsPart::ToggleSearchSecond() {
    choices_.Change([](ReaderChoices& c) { c.searchSecond = !c.searchSecond; });
}

views::TranslationLook TranslationsPart::LookOf(const std::u16string& name) const {
    views::TranslationLook look;
    if (BuiltIn(name)) return look;
    look.pack = true;
    if (const PackEntry* pack = shelf_.Find(name)) {
        look.rtl = pack->head.rtl;
        look.language = FromUtf8(pack->head.language);
    }
    return look;
}

views::TranslationsLook TranslationsPart::Look() const {
    return {LookOf(shown_), LookOf(shownSecond_)};
}

std::vector<TranslationsPart::Listed> TranslationsPart::List() const {
    std::vector<Listed> list{{QString::fromUtf16(kAnsarian), QStringLiteral("fa"), QStringLiteral("rtl"), QStringLiteral("built-in")},
                             {QString::fromUtf16(kFooladvand), QStringLiteral("fa"), QStringLiteral("rtl"), QStringLiteral("built-in")}};
    for (const PackEntry& p : shelf_.Entries())
        list.push_back({ToQ(p.head.name), QString::fromStdString(p.head.language), p.head.rtl ? QStringLiteral("rtl") : QStringLiteral("ltr"),
                        p.from == PackEntry::From::Reader ? QStringLiteral("reader") : QStringLiteral("shipped")});
    return list;
}

// ---- adding ------------------------------------------------------------------------

void TranslationsPart::Add(const std::filesystem::path& file) {
    const QString shown = Isolated(QString::fromStdString(file.filename().string()));
    PackShelf::Added added = shelf_.Add(file, AyahCounts());
    AddResult result;
    if (!added.error.empty()) {
        qWarning("translations: %s", added.error.c_str());
        result.problems << QStringLiteral("%1 خوانده یا نگه داشته نشد.").arg(shown);
        messages_.Say(result.problems.first());
        lastAdd_ = result;
        return;
    }
    if (!added.check.Ok()) {
        for (const PackProblem& p : added.check.problems) result.problems << ToQ(views::PackProblemText(p));
        result.moreProblems = static_cast<int>(added.check.moreProblems);
        lastAdd_ = result;
        messages_.Say(ToQ(views::PackRefusal(added.check, FromQ(shown))));
        return;
    }
    const std::u16string name = added.entry->head.name;
    result.name = ToQ(name);
    lastAdd_ = result;
    AddPackCommands(*added.entry);
    // a pack of that name shown already is read again
    loaded_.erase(name);
    if (choices_->translation == name) Choose(name);
    if (choices_->secondTranslation == name) ChooseSecond(name);
    messages_.Say(QStringLiteral("ترجمهٔ «%1» با %2 آیه افزوده شد؛ از منوی ترجمه آن را برگزینید.")
                      .arg(ToQ(name), Persian(kAyatInMushaf)));
}

void TranslationsPart::AskPack() {
    if (!messages_.Interactive()) return;
    const dialogs::Looks looks = messages_.Looks(QStringLiteral("افزودن ترجمه"));
    QFileDialog pick(looks.parent, looks.title);
    pick.setNameFilters({QStringLiteral("متن (*.txt)"), QStringLiteral("همهٔ فایل‌ها (*)")});
    dialogs::DressFileDialog(pick, looks, QStringLiteral("افزودن"), false);
    if (pick.exec() != QDialog::Accepted || pick.selectedFiles().isEmpty()) return;
    Add(QFile::encodeName(pick.selectedFiles().first()).toStdString());
}

}  // namespace mushaf
