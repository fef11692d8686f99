#pragma once
// The reader's kept choices, typed: each read from the settings service and
// checked in one place (a value out of range, or of another kind, is its
// default), and written back each time it changes. The keys and the stored
// texts are those every release has kept, in the settings group "Reader".
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "views/Styles.h"
#include "window/Khatmah.h"

namespace mushaf {

struct ReaderChoices {
    // text size of the page and of the translation, 1 = as designed
    double zoomPage = 1.0, zoomTranslation = 1.0;
    views::QuranFont quranFont = views::QuranFont::Default;
    bool night = false;
    bool uthmani = false;      // the Uthmani script
    // the translation shown: "ansarian", "fooladvand" or a pack's name;
    // another shown under it (empty: none), and whether the translation
    // search searches that one
    std::u16string translation = u"ansarian", secondTranslation;
    bool searchSecond = false;
    bool rememberPlace = false;
    // the page drawn as a printed mushaf draws it, rather than line by line
    bool mushafView = false;
    // the translation pane shows the whole page's translation
    bool pageTranslation = false;
    // the mushaf view shows two pages side by side where the pane is wide enough
    bool spread = true;
    // an extract of each found ayah under its row in the search's list
    bool foundText = false;
    // memorisation: the page's text hidden from the current ayah on, and
    // with it the translation
    bool hifz = false, hifzTranslation = false;
    // the note cards, as the model's fish list: line numbers in the order added
    std::vector<int16_t> noteCards;
    // the ayat the reader stayed on, newest first
    std::vector<int16_t> history;
    static constexpr std::size_t kHistoryLength = 200;
    // the khatmah plan, if the reader keeps one
    std::optional<KhatmahPlan> khatmah;
    // recitation: the reciter's folder name (empty: none chosen), how many
    // times each ayah plays (0: without end), where playing stops, and the
    // speed in percent
    std::u16string reciter;
    int repeat = 1;
    enum class PlayTo { Page, Surah, Juz, Quran } playTo = PlayTo::Quran;
    int speed = 100;
    static constexpr int kRepeats[] = {1, 2, 3, 5, 10, 0};
    static constexpr int kSpeeds[] = {75, 100, 125, 150};
    // a range said over and over, for memorising: lines `from` to `to`, the
    // whole `times` times (0: without end), each ayah `each` times within it,
    // `pause` seconds of silence before each repeat
    struct Range {
        int16_t from = 0, to = 0;
        int times = 1, each = 1, pause = 0;
        static constexpr int kMostTimes = 10, kMostEach = 10, kLongestPause = 10;
        bool operator==(const Range&) const = default;
    };
    std::optional<Range> range;
    // the reader's note on a card, by its line (only cards with a note)
    std::map<int16_t, std::u16string> notes;
    // The place kept when the window closed (with rememberPlace).
    struct Place {
        std::optional<int16_t> line;
        bool earab = false;
        bool searchPanel = false;
        std::string window;  // QWidget::saveGeometry, base64
        bool operator==(const Place&) const = default;
    } place;
    bool operator==(const ReaderChoices&) const = default;

    static constexpr double kSmallestZoom = 0.5, kLargestZoom = 3.0;
};

class ChoiceStore {
public:
    // Lines lie in firstLine..lastLine; at most maxCards note cards.
    ChoiceStore(Settings& settings, int16_t firstLine, int16_t lastLine, std::size_t maxCards);
    // What is kept, every value checked.
    ReaderChoices Load();
    // Writes each value that differs from what was last read or written, all
    // of them as one write (one Commit of the settings).
    void Save(const ReaderChoices& now);

    // The note cards as the model's fish list writes them ("12 300 7").
    static std::u16string CardText(const std::vector<int16_t>& cards);
    // A kept card text read as far as it is sound: numbers of lines in range,
    // each once, at most maxCards; anything else is passed over.
    std::vector<int16_t> SoundCards(std::u16string_view text) const;
    // The notes as kept: "LINE<tab>NOTE" a line each, the note's backslashes,
    // tabs and line ends written \\, \t, \n, \r.
    static std::u16string NotesText(const std::map<int16_t, std::u16string>& notes);
    // Kept notes read as far as they are sound: an entry of a line on one of
    // `cards`, once, with a note that is not empty; anything else is passed over.
    std::map<int16_t, std::u16string> SoundNotes(std::u16string_view text, const std::vector<int16_t>& cards) const;
    // The kept khatmah plan, when its days, start page and first day are sound.
    std::optional<KhatmahPlan> SoundKhatmah() const;
    // The range kept as "FROM:TO:TIMES:EACH:PAUSE" (lines, and numbers in
    // their bounds); empty, or anything unsound, for none.
    static std::u16string RangeText(const std::optional<ReaderChoices::Range>& range);
    std::optional<ReaderChoices::Range> SoundRange(std::u16string_view text) const;

private:
    std::optional<std::u16string> Get(const char* key) const;
    void Set(const char* key, const std::u16string& value);

    Settings& settings_;
    int16_t firstLine_, lastLine_;
    std::size_t maxCards_;
    ReaderChoices kept_;  // as last read or written
};

}  // namespace mushaf
