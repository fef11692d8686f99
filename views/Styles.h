#pragma once
// The panes' rendering-only style rules that follow the reader's choices:
// the Quran font of the page, night reading, the mark of a note card, the
// number of results above the list. Beside Markup.h, whose class names they
// target; the documents stay as written.
#include <cstdint>
#include <string>
#include <vector>

namespace mushaf::views {

enum class QuranFont { Default, AmiriQuran, NotoNaskh };

// The name a font is kept by ("default", "Amiri Quran", "Noto Naskh Arabic").
std::u16string QuranFontName(QuranFont font);
// The font a kept name stands for; Default for any other text.
QuranFont QuranFontNamed(std::u16string_view name);

// The page lines in the font the page is drawn in, with room for its marks:
// the chosen font, or with nothing chosen, Amiri Quran for the Uthmani text
// with its marks, and for the mushaf view, whose ayah signs it draws as
// ornaments. Empty when the page keeps its own font.
std::u16string PageFontRule(QuranFont chosen, bool uthmani, bool showEarab, bool mushafView = false);

// Dark grounds and light text in every pane, the marked line clearly marked,
// links, bold headings and scroll bars legible.
extern const char16_t kNightRule[];

// A mark at the start of every page line that is on a note card; the cards
// in `noted` (those with a note) are marked apart.
std::u16string NoteCardRule(const std::vector<int16_t>& lines, const std::vector<int16_t>& noted = {});

// The words a search found, marked on the page and in the translation.
extern const char16_t kFoundRule[];

// "N found" (N in Persian digits) above the result list; empty for 0.
std::u16string ResultCountRule(int count);

}  // namespace mushaf::views
