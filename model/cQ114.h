#pragma once
// The text model: the corpus arrays, the current position and everything
// derived from it, movement by line, page, juz', surah and ayah, the search,
// the fish list and the HTML rendering of line lists.
//
// Members are in the class's interface order. Every operation either changes
// all position fields together or, when it throws, none of them.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "model/Errors.h"
#include "model/Normalise.h"
#include "model/Text.h"

namespace mushaf {

using TextArray = std::vector<Text>;
// The reader's notes on note cards, by line; kept beside the fish list.
using FishNotes = std::map<int16_t, Text>;
// The lines whose note `query` finds, as the translation search finds a
// line: wildcards, the same folding, the query within the note. Nothing for
// a query of less than two characters; InvalidPattern as the search throws it.
std::vector<int16_t> FindInNotes(const FishNotes& notes, TextView query);

// One entry of the fish list: a line index added as a number, or a decimal
// text restored from the FishList text. Both compare by numeric value.
struct FishEntry {
    std::optional<int16_t> number;
    Text text;
    Text Written() const;
    long long Value() const;
};

struct FishExport {
    Text document;
    std::filesystem::path file;
};

class cQ114 {
public:
    // The Persian translations the model carries, and a pack a reader chose.
    enum class Translation { Ansarian, Fooladvand, Pack };

    // One line's place in the mushaf: its surah, its ayah (0 on a Bismillah
    // line), juz', hizb and page, all counted from 1.
    struct Line {
        int16_t soreh, ayeh, joze, hezb, page;
        bool operator==(const Line&) const = default;
    };

    int16_t TotalAyat() const { return totalAyat_; }
    void GoPage(TextView page);
    void GoJoze(TextView joze);
    void GoSoreh(TextView soreh);
    void GoAyehOfSoreh(TextView soreh, TextView ayeh);
    // The number tables: each surah's ayah count, and the first line of each
    // page, juz', hizb and surah. Each is read once, here.
    void TotalAyatArray(TextArray a) { sorehAyat_ = NumberTable(a, "ayah count"); }
    void PageUnicArray(TextArray a) { pageFirst_ = NumberTable(a, "first-line table"); }
    void JozeUnicArray(TextArray a) { jozeFirst_ = NumberTable(a, "first-line table"); }
    void HezbUnicArray(TextArray a) { hezbFirst_ = NumberTable(a, "first-line table"); }
    void SorehUnicArray(TextArray a) { sorehFirst_ = NumberTable(a, "first-line table"); }
    void SorehNameArray(TextArray a) { sorehNameArray_ = std::move(a); }
    const TextArray& SorehNameArray() const { return sorehNameArray_; }
    const Text& SorehName() const { return sorehName_; }
    void StartSearch(int16_t start, int16_t end);
    // Whether StartSearch searches the current SearchText: two characters or
    // more once the spaces at its ends are taken off. Otherwise it returns at
    // once and FoundList keeps what it held.
    bool SearchesText() const { return TrimSpaces(searchText_).size() >= 2; }
    int32_t SearchTo() const { return searchTo_; }
    void SearchTo(int32_t to) { searchTo_ = to; }
    const Text& SearchText() const { return searchText_; }
    void SearchText(Text text) { searchText_ = std::move(text); }
    int16_t FoundNumber() const { return foundNumber_; }
    void FoundNumber(int16_t n) { foundNumber_ = n; }
    void GoFirstFound();
    void GoLastFound();
    void GoPreviousFound() {}
    void GoNextFound() {}
    const std::vector<int16_t>& FoundList() const { return foundList_; }
    void FoundList(std::vector<int16_t> list) { foundList_ = std::move(list); }
    // The position records, one a line: "SSSAAAJJHHHPPP", surah, ayah,
    // juz', hizb and page as decimal fields. Read once, here, into Line
    // records; then the model moves to line 0.
    void BaseDataArray(TextArray a);
    void MeanFaArray(TextArray a);
    void QrArray(TextArray a);
    void UthmaniArray(TextArray a);
    void MeanFa2Array(TextArray a);
    // The translation MeanFarsi gives and the translation search (SearchTo 1)
    // searches; Ansarian until chosen otherwise. Choosing keeps the position
    // and gives MeanFarsi of the new translation at once; it throws, and
    // changes nothing, when that translation has no text for the current line.
    void ChooseTranslation(Translation translation);
    Translation ChosenTranslation() const { return translation_; }
    // A pack's text a line (PackLines) as the translation MeanFarsi gives
    // and SearchTo 1 searches (in PackSearchForm); as ChooseTranslation.
    void ChoosePack(std::shared_ptr<const TextArray> lines);
    // A built-in translation's text a line.
    const TextArray& BuiltInArray(Translation translation) const;
    // The translation shown second, a text a line; none: null. SearchTo 2
    // searches it, in PackSearchForm.
    void SecondTranslation(std::shared_ptr<const TextArray> lines);
    bool HasSecond() const { return second_ != nullptr; }
    // Its text on a line (empty where it has none); SubscriptOutOfRange
    // outside MinBound to MaxBound.
    Text SecondAt(int16_t line) const;
    void GoPosition(int16_t position);
    int16_t MinBound() const { return minBound_; }
    int16_t MaxBound() const { return maxBound_; }
    void NextJoze() {}
    void NextHezb() {}
    void NextPage() {}
    void NextSoreh() {}
    void NextAyeh() {}
    const Text& MeanFarsi() const { return meanFarsi_; }
    const Text& ArabicNoEarab() const { return arabicNoEarab_; }
    const Text& ArabicByEarab() const { return arabicByEarab_; }
    // The current line in the Uthmani script; empty while no Uthmani text is set.
    const Text& ArabicUthmani() const { return arabicUthmani_; }
    int16_t GlobalAyeh() const { return globalAyeh_; }
    int16_t Joze() const { return joze_; }
    int16_t Hezb() const { return hezb_; }
    int16_t Page() const { return page_; }
    int16_t Soreh() const { return soreh_; }
    int16_t Ayeh() const { return ayeh_; }
    // The search document of FoundList, or the empty text when it is empty.
    // The documents of both exports carry no U+0000 (see WithoutNul).
    // Leaves the position on the last listed line; when it fails, where it was.
    Text GetOutputOfSearch(bool withEarab);
    // Renders the fish list, writes it (UTF-8 with a byte-order mark) to a
    // dated file in ExportFolder, creating the folder, and restores the
    // position, also when it fails. Nothing happens, and nothing is returned,
    // for an empty list. The file is YY-MM-DD-HH-MM-SS.htm, or with -2, -3,
    // ... before ".htm" when that name is taken: no file is ever replaced.
    // It is written to a temporary file first and appears under its name
    // only once complete.
    // A card's note, when `notes` has one, follows its translation.
    std::optional<FishExport> GetOutputOfFish(bool withEarab, const FishNotes& notes = {});
    static Text MyTemplate();
    // The fish list holds at most kMaxFish entries, so that every entry's
    // position (FishIsExist) is an int16_t; setting or adding more throws
    // Overflow and leaves the list as it was.
    static constexpr std::size_t kMaxFish = 32767;
    const std::vector<FishEntry>& FishCollection() const { return fish_; }
    void FishCollection(std::vector<FishEntry> c);
    int16_t FishIsExist(int16_t fish) const;
    Text FishList() const;
    void FishList(TextView text);
    void FishAdder(int16_t fish);
    void FishRemove(int16_t fish);
    void FishClean();

    // Writes a document (UTF-8 with a byte-order mark) to a new dated file in
    // ExportFolder, creating the folder; never replaces a file. The path.
    std::filesystem::path WriteExport(const Text& document) const;
    // Where GetOutputOfFish writes, and the clock that names its file.
    std::filesystem::path ExportFolder;
    std::function<std::tm()> LocalTime;

    // ---- the tables as records ---------------------------------------------
    // Nothing here moves the model. A table element that cannot be read (a
    // position record shorter than 14 characters or with a field that is no
    // number, a count or first line that is no number or does not fit an
    // int16_t) is kept as such and throws where it is used, as a move there
    // always did: TypeMismatch or Overflow, with the same message.

    // The number of position records (BaseDataArray's elements).
    int LineCount() const { return static_cast<int>(lines_.size()); }
    // The place of `line`, 0 to LineCount() - 1 (SubscriptOutOfRange
    // "line N" outside). The reference lasts until BaseDataArray is set again.
    const Line& LineAt(int16_t line) const;
    // The number of elements in each first-line table.
    int SorehCount() const { return static_cast<int>(sorehFirst_.size()); }
    int JozeCount() const { return static_cast<int>(jozeFirst_.size()); }
    int HezbCount() const { return static_cast<int>(hezbFirst_.size()); }
    int PageCount() const { return static_cast<int>(pageFirst_.size()); }
    // The first line of surah, juz', hizb or page n, counted from 1: what
    // GoSoreh, GoJoze and GoPage move to. Outside 1 to its count:
    // SubscriptOutOfRange "surah N", "juz N", "hizb N", "page N". The line
    // is the table's number; it need not be a line of the model.
    int16_t SorehFirstLine(int16_t soreh) const;
    int16_t JozeFirstLine(int16_t joze) const;
    int16_t HezbFirstLine(int16_t hezb) const;
    int16_t PageFirstLine(int16_t page) const;
    // What TotalAyat and SorehName hold while the model stands in surah n,
    // counted from 1 (SubscriptOutOfRange "surah N" outside the ayah-count
    // table or the name table).
    int16_t TotalAyatOf(int16_t soreh) const;
    Text SorehNameOf(int16_t soreh) const;
    // What ArabicByEarab, ArabicNoEarab, ArabicUthmani and MeanFarsi (of the
    // chosen translation) hold after GoPosition(line). They throw what that
    // move throws, and SubscriptOutOfRange "line N" for a line it ignores
    // (outside MinBound to MaxBound).
    Text ArabicByEarabAt(int16_t line) const;
    Text ArabicNoEarabAt(int16_t line) const;
    Text ArabicUthmaniAt(int16_t line) const;
    Text MeanFarsiAt(int16_t line) const;

    cQ114();

private:
    // A table of numbers read once: each element rounded half-even to an
    // int16_t. The elements that are no whole number in that range (none in
    // the shipped tables) are kept apart with the number they read as, so
    // that using one rounds, truncates or fails as reading its text did.
    class NumberTable {
    public:
        NumberTable() = default;
        NumberTable(const TextArray& texts, const char* what);
        std::size_t size() const { return whole_.size(); }
        // Element i rounded half-even; TypeMismatch "WHAT TEXT" when it is no
        // number, Overflow "WHAT" when it does not fit.
        int16_t At(std::size_t i) const;
        // Element i as it reads, unrounded; TypeMismatch when it is no number.
        double Exact(std::size_t i) const;

    private:
        struct Odd {
            double number;  // NaN: no number
            Text text;
        };
        const Odd* FindOdd(std::size_t i) const;
        std::vector<int16_t> whole_;
        std::map<std::size_t, Odd> odd_;
        const char* what_ = "";
    };
    // Why a position record cannot be read: the error reading it raises.
    struct RecordFault {
        bool overflow;  // else a type mismatch
        std::string detail;
        [[noreturn]] void Raise() const;
    };
    // The record of a line the model can stand on and its surah's ayah
    // count, checked in the order a move checks them.
    struct Place {
        const Line& line;
        int16_t totalAyat;
    };
    Place CheckedPlace(int16_t line) const;
    // CheckedPlace, for a line inside the bounds.
    Place PlaceInBounds(int16_t line) const;
    Text ArabicByEarabOf(int16_t line) const;
    Text ArabicUthmaniOf(int16_t line) const;
    Text MeanFarsiOf(int16_t line) const;
    void ApplyPosition(int16_t line);
    // Renders the (non-empty) fish list and writes its file.
    FishExport WriteFish(bool withEarab, const FishNotes& notes) const;
    void GoFirstLineOf(const NumberTable& table, TextView number, const char* unit);
    static int16_t FirstLine(const NumberTable& table, int16_t n, const char* unit);
    Text Render(const std::vector<int16_t>& lines, bool withEarab, const Text& caption, bool fillIds,
                const FishNotes* notes = nullptr) const;
    const TextArray& ChosenMeanArray() const;

    TextArray qrArray_, meanFaArray_, sorehNameArray_, uthmaniArray_, meanFa2Array_;
    // The position records and the number tables, read once when set.
    std::vector<Line> lines_;
    std::map<std::size_t, RecordFault> badLines_;
    NumberTable sorehAyat_, sorehFirst_, jozeFirst_, hezbFirst_, pageFirst_;
    Translation translation_ = Translation::Ansarian;
    // Each line in the form it is searched in, computed once when the arrays are set.
    // The same forms joined by LF into one text, with each line's start, so
    // that a plain-text search is one pass over the whole corpus.
    // The search form of every line of a text, one after the other with a
    // line feed after each, made at the first search that needs it.
    struct SearchForms {
        Text joined;
        std::vector<std::size_t> starts;  // where each line begins; then the end
        Text (*form)(TextView) = nullptr;
        bool built = false;
        // forgets the forms made of the text before
        void From(Text (*searchForm)(TextView));
        const SearchForms& Ready(const TextArray& source);
        std::size_t Count() const { return starts.empty() ? 0 : starts.size() - 1; }
        TextView Line(std::size_t i) const { return TextView(joined).substr(starts[i], starts[i + 1] - starts[i] - 1); }
    };
    // The lines start..end whose form in `forms`, or in `alsoForms` where
    // it has the line, matches the pattern. Every line of the range must be
    // one of `forms` (SubscriptOutOfRange otherwise).
    static std::vector<int16_t> Search(const SearchForms& forms, const SearchForms* alsoForms, const Text& pattern,
                                       std::span<const LetterFold> folds, int start, int end);
    // The lines start..end of `forms` that `pattern` matches.
    static std::vector<int16_t> Matching(const SearchForms& forms, const class Pattern& pattern, int start, int end);
    // The Arabic search searches each line in both scripts: a word copied
    // from the Uthmani page is found as it stands there.
    SearchForms qrSearch_, uthmaniSearch_, meanFaSearch_, meanFa2Search_;
    std::shared_ptr<const TextArray> pack_, second_;
    SearchForms packSearch_, secondSearch_;

    int16_t globalAyeh_ = 0, soreh_ = 0, ayeh_ = 0, joze_ = 0, hezb_ = 0, page_ = 0, totalAyat_ = 0;
    int16_t minBound_ = 0, maxBound_ = 0;
    Text sorehName_, arabicByEarab_, arabicNoEarab_, arabicUthmani_, meanFarsi_;

    Text searchText_;
    int32_t searchTo_ = 0;
    std::vector<int16_t> foundList_;
    int16_t foundNumber_ = 0;

    std::vector<FishEntry> fish_;
};

// ~/Documents/Zendar (C:\Zendar on Windows).
std::filesystem::path DefaultExportFolder();

}  // namespace mushaf
