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
#include <optional>
#include <vector>

#include "Errors.h"
#include "Normalise.h"
#include "Text.h"

namespace mushaf {

using TextArray = std::vector<Text>;

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
    // The Persian translations the model carries.
    enum class Translation { Ansarian, Fooladvand };

    int16_t TotalAyat() const { return totalAyat_; }
    void GoPage(TextView page);
    void GoJoze(TextView joze);
    void GoSoreh(TextView soreh);
    void GoAyehOfSoreh(TextView soreh, TextView ayeh);
    void TotalAyatArray(TextArray a) { totalAyatArray_ = std::move(a); }
    void PageUnicArray(TextArray a) { pageUnicArray_ = std::move(a); }
    void JozeUnicArray(TextArray a) { jozeUnicArray_ = std::move(a); }
    void HezbUnicArray(TextArray a) { hezbUnicArray_ = std::move(a); }
    void SorehUnicArray(TextArray a) { sorehUnicArray_ = std::move(a); }
    void SorehNameArray(TextArray a) { sorehNameArray_ = std::move(a); }
    const TextArray& SorehNameArray() const { return sorehNameArray_; }
    const Text& SorehName() const { return sorehName_; }
    void StartSearch(int16_t start, int16_t end);
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
    // Leaves the position on the last listed line; when it fails, where it was.
    Text GetOutputOfSearch(bool withEarab);
    // Renders the fish list, writes it (UTF-8 with a byte-order mark) to a
    // dated file in ExportFolder, creating the folder, and restores the
    // position, also when it fails. Nothing happens, and nothing is returned,
    // for an empty list. The file is YY-MM-DD-HH-MM-SS.htm, or with -2, -3,
    // ... before ".htm" when that name is taken: no file is ever replaced.
    // It is written to a temporary file first and appears under its name
    // only once complete.
    std::optional<FishExport> GetOutputOfFish(bool withEarab);
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

    cQ114();

private:
    void ApplyPosition(int16_t line);
    // The position fields, kept while a rendering moves the model over other
    // lines and put back after it (or when it fails).
    struct SavedPosition {
        int16_t globalAyeh, soreh, ayeh, joze, hezb, page, totalAyat;
        Text sorehName, arabicByEarab, arabicNoEarab, arabicUthmani, meanFarsi;
    };
    SavedPosition SavePosition() const;
    void RestorePosition(SavedPosition&& saved) noexcept;
    // Renders the (non-empty) fish list and writes its file; moves the model.
    FishExport WriteFish(bool withEarab);
    void GoFirstLineOf(const TextArray& table, TextView number, const char* unit);
    Text Render(const std::vector<int16_t>& lines, bool withEarab, const Text& caption, bool fillIds);
    const TextArray& ChosenMeanArray() const;

    TextArray qrArray_, meanFaArray_, baseDataArray_, sorehNameArray_, sorehUnicArray_, jozeUnicArray_,
        hezbUnicArray_, pageUnicArray_, totalAyatArray_, uthmaniArray_, meanFa2Array_;
    Translation translation_ = Translation::Ansarian;
    // Each line in the form it is searched in, computed once when the arrays are set.
    // The same forms joined by LF into one text, with each line's start, so
    // that a plain-text search is one pass over the whole corpus.
    struct SearchForms {
        TextArray lines;
        Text joined;
        std::vector<std::size_t> starts;
        void Build(const TextArray& source, Text (*form)(TextView));
    };
    // The lines start..end whose form matches the pattern.
    static std::vector<int16_t> Search(const SearchForms& forms, const Text& pattern, std::span<const LetterFold> folds,
                                       int start, int end);
    SearchForms qrSearch_, meanFaSearch_, meanFa2Search_;

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
