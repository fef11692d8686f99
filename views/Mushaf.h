#pragma once
// The page as a printed mushaf draws it, and the translation of a whole page.
#include "model/MushafMarks.h"
#include "views/Documents.h"
#include "model/cQ114.h"

#include <utility>

namespace mushaf::views {

// Signs of the mushaf.
inline constexpr char16_t kEndOfAyah = u'\u06DD';
inline constexpr char16_t kQuarterSign = u'\u06DE';
inline constexpr char16_t kSajdaSign = u'\u06E9';

// Classes of the mushaf page: the surah heading, the page's head and foot,
// the obligatory sajda's sign.
inline constexpr char16_t kSurahHeadClass[] = u"SurahHead";
inline constexpr char16_t kPageHeadClass[] = u"PageHead";
inline constexpr char16_t kPageFootClass[] = u"PageFoot";

// The lines first..last run on as one justified text. Every ayah keeps the
// id and the class the line view gives its line, ends with its number in
// Persian digits after the end-of-ayah sign (the link a click on the ayah
// reaches), the sajda sign after the number where the ayah is one; the
// first ayah of a hizb quarter has the quarter sign before it; each mark
// says what it is in its title. Where a surah begins, a framed heading with
// its name, number, count of ayat and place of revelation, then its
// Bismillah line. The head names the page's surahs on the right and its
// juz', hizb and quarter of the hizb on the left; the foot its number.
Text MushafPageDocument(const cQ114& model, const MushafMarks& marks, int16_t first, int16_t last, bool showEarab,
                        TextView backColorHex, bool uthmani);
// Two pages side by side as a printed mushaf opens: `right` (lines
// first..last, the odd page) on the right, `left` on the left.
Text MushafSpreadDocument(const cQ114& model, const MushafMarks& marks, std::pair<int16_t, int16_t> right,
                          std::pair<int16_t, int16_t> left, bool showEarab, TextView backColorHex, bool uthmani);

// The id of a line in the page's translation, and of its second translation.
Text TranslationLineId(int line);
Text SecondLineId(int line);
// The translation of lines first..last, each with its ayah number in Persian
// digits (and its second translation under it); `current` is marked.
Text PageTranslationDocument(const cQ114& model, int16_t first, int16_t last, int16_t current, TextView backColorHex,
                             const TranslationsLook& look = {});

}  // namespace mushaf::views
