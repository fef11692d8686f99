#pragma once
// The HTML documents of the window's panes, built from fixed templates by
// case-sensitive replace-all of placeholders. Values are inserted as the text
// model returns them. The builders read the model's lines; they never move it.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

#include "model/Found.h"
#include "model/cQ114.h"

namespace mushaf::views {

// Text of the model as it may leave the program (a document, a caption, the
// clipboard): without the U+0000 that ends the tables' last lines.
Text Shown(TextView text);

// A system colour 0x00BBGGRR (red in the lowest byte) as six upper-case
// hexadecimal digits in the order red, green, blue.
Text BackColorHex(uint32_t colorref);
// The document every pane receives at start-up, with "_BG" filled in.
Text ShellDocument(TextView backColorHex);
// A document frame with its own style rules around `body`.
Text Frame(std::span<const TextView> styleRules, TextView backColorHex, TextView body);
inline Text Frame(std::initializer_list<TextView> styleRules, TextView backColorHex, TextView body) {
    return Frame(std::span<const TextView>(styleRules.begin(), styleRules.size()), backColorHex, body);
}

// ---- the page and the translation ----
// Entry p-1 is the first line of page p (1..604); the last entry is the line count.
std::vector<int16_t> PageStartList(const TextArray& pageUnic, int16_t lineCount);
// The Arabic text of a line as the page shows it: without marks, with marks,
// or with marks in the Uthmani script.
Text ShownArabicAt(const cQ114& model, int16_t line, bool showEarab, bool uthmani);
// The page of lines first..last.
Text PageDocument(const cQ114& model, int16_t first, int16_t last, bool showEarab, TextView backColorHex,
                  bool uthmani = false);
Text PageCaption(int16_t page);

struct Translation {
    Text document;
    Text caption;  // for the label above the translation, with its spaces
};
// How a translation is shown. A pack's text is shown as text (markup and
// all), in its direction; a left-to-right text in a font for the Latin script.
struct TranslationLook {
    bool pack = false;
    bool rtl = true;
    Text language;
};
// The translations the pane shows: the model's (MeanFarsiAt) and, when the
// model has a second (SecondAt), that one under it. As designed for a
// built-in translation alone.
struct TranslationsLook {
    TranslationLook first, second;
};
// A translation's text as a pane shows it.
Text ShownTranslation(TextView text, const TranslationLook& look);
// The attributes of the element a translation stands in: its direction
// and language when it is a left-to-right pack.
Text TranslationAttributes(const TranslationLook& look);
// The second translation of a line, in an element of class "Second" with
// the given id, as the panes show it under the first.
Text SecondDiv(const cQ114& model, int16_t line, const TranslationLook& look, TextView id);
// The style rules a pane adds for packs and a second translation; none for
// a built-in translation alone.
std::vector<TextView> PackRules(const cQ114& model, const TranslationsLook& look);
// The id of the line view's second translation.
inline constexpr char16_t kSecondId[] = u"second";
// The translation of a line and its caption.
Translation TranslationDocument(const cQ114& model, int16_t line, TextView backColorHex, const TranslationsLook& look = {});

// ---- the surah index ----
// The surahs (numbers from 1, ascending) whose name matches "*" filter "*",
// kaf and yeh forms folded on both sides; when none does, those that match
// with the article "ال" dropped from the front of the words of the filter
// and of the names (the index writes كهف, a reader types الكهف). A
// malformed filter shows none.
std::vector<int> SurahsShown(const cQ114& model, TextView filter);
// The first of them, the one Return opens; none when the index shows none.
std::optional<int> FirstSurahShown(const cQ114& model, TextView filter);
// The index of SurahsShown; kNoSurahFound when it shows none.
Text SorehIndexDocument(const cQ114& model, TextView filter, TextView backColorHex);

// ---- search ----
inline constexpr char16_t kWaitMessage[] = u"لطفا کمي صبر کنيد...";
inline constexpr char16_t kNothingFound[] = u"موردي يافت نشد";
inline constexpr char16_t kInvalidPattern[] = u"الگوی جستجو نادرست است";
// What the surah index says when its filter shows no surah.
inline constexpr char16_t kNoSurahFound[] = u"سوره‌ای با این نام نیست";
// A typed query made ready for the model: QueryForm (Persian kaf as Arabic
// kaf, alef maksura and Persian yeh as Arabic yeh, the right-to-left mark as a
// space, bracket lists left as written).
Text PrepareSearchQuery(TextView query);
// The list of FoundList.
Text ResultListDocument(const cQ114& model, TextView backColorHex);
// The same list with an extract of each found line under its row (what
// `extract` gives for the line: the words around the first match, the
// matched ones marked); `arabic`: the extracts are of the Arabic text.
Text ResultListDocument(const cQ114& model, TextView backColorHex, const std::function<Extract(int16_t line)>& extract,
                        bool arabic);
// The note cards in the order they were added, as rows like the results'
// (cards outside the corpus are left out).
inline constexpr char16_t kNoFish[] = u"هیچ آیه‌ای در یادداشت‌ها نیست. با Ctrl+D آیهٔ جاری به یادداشت‌ها افزوده می‌شود.";
std::vector<int16_t> FishLines(const cQ114& model);
// Each card's note, where it has one, under its row.
Text FishListDocument(const cQ114& model, TextView backColorHex, const FishNotes& notes = {});
// The reader's history, newest first, as the card list is drawn.
inline constexpr char16_t kNoHistory[] = u"هنوز آیه‌ای خوانده نشده است. هر آیه‌ای که ۱۰ ثانیه یا بیشتر بر آن بمانید اینجا می‌آید.";
Text HistoryDocument(const cQ114& model, const std::vector<int16_t>& lines, TextView backColorHex);
// Lines found outside the model's search (the notes), as the result list; `none` when there are none.
Text LineListDocument(const cQ114& model, const std::vector<int16_t>& lines, TextView backColorHex, TextView none);
// A result-pane document that says only `message`.
Text ResultMessageDocument(TextView message, TextView backColorHex);

// ---- clipboard ----
// The current line, its place, its Arabic text in the shown variant and its
// translation, as plain text with CR LF lines.
Text CopyText(const cQ114& model, int16_t line, bool showEarab, bool uthmani = false);

}  // namespace mushaf::views
