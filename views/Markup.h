#pragma once
// The markup the documents share with the window: the class names the
// highlight switches between, the ids of the page's lines, and the style
// rules the panes add for rendering only (the documents stay as written).
#include <string>

namespace mushaf::views {

// A page line and its marked form; the Bismillah lines have their own pair.
inline constexpr char16_t kLineClass[] = u"NoEarab";
inline constexpr char16_t kLineMarkedClass[] = u"NoEarabSelect";
inline constexpr char16_t kBesmClass[] = u"NoEarabBesm";
inline constexpr char16_t kBesmMarkedClass[] = u"NoEarabBesmSelect";

// A line of the page's translation and its marked form.
inline constexpr char16_t kTranslationLineClass[] = u"Farsi";
inline constexpr char16_t kTranslationMarkedClass[] = u"FarsiSelect";

// The id of the page line of corpus line `line`.
inline std::u16string LineId(int line) {
    std::string n = std::to_string(line);
    return u"div" + std::u16string(n.begin(), n.end());
}

// Every pane: the spans of the lists take the widths their rules give them,
// and a focused link draws a frame only when the keys put the focus there.
inline constexpr char16_t kPaneStyle[] =
    u"span.Radif, span.SorehName, span.Ayat, span.Ayeh, span.AyehCaption, span.Dash { display: inline-block; } "
    u"a:focus { outline: none; } a:focus-visible { outline: 2px solid #3a7bd5; outline-offset: 1px; }";
// The page pane: the mushaf page is read, not skimmed, so its lines are drawn
// larger, with room between wrapped lines for the vowel marks.
inline constexpr char16_t kPageStyle[] =
    u"div.NoEarab, div.NoEarabSelect { font-size: 19px; line-height: 1.9; } "
    u"div.NoEarabBesm, div.NoEarabBesmSelect { font-size: 17px; line-height: 1.9; }";

}  // namespace mushaf::views
