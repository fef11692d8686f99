#include "views/Mushaf.h"

#include "views/Documents.h"
#include "views/Markup.h"

namespace mushaf::views {

namespace {

const Text kCrLf = u"\r\n";
constexpr char16_t kNoBreak[] = u"\u00A0";
// Drawn in the document's own rules: the ayat run on inline, the headings
// are blocks of their own.
constexpr TextView kMushafRules[] = {
    u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG; line-height: 150%; text-align: justify;}",
    u"*{font-family: Tahoma;font-size: 13px;}",
    u".Mushaf{text-align: justify; text-align-last: center; margin: 4px 6px;}",
    u".NoEarab, .NoEarabSelect{display: inline; color: #004000;}",
    u".NoEarabSelect{color: #000fff; background-color: #e6ecff; border-radius: 4px;}",
    u".NoEarabBesm, .NoEarabBesmSelect{display: block; text-align: center; text-align-last: center; color: #004000; "
    u"margin: 2px 0px 4px 0px;}",
    u".NoEarabBesmSelect{color: #000fff;}",
    u".SurahHead{display: flex; justify-content: space-between; align-items: center; border: 3px double #8a6d1e; "
    u"border-radius: 6px; padding: 2px 10px; margin: 10px 0px 4px 0px; color: #5c4610; background-color: "
    u"rgba(200, 160, 60, 0.12); text-align-last: auto;}",
    u".SurahHead b{font-size: 17px; color: #5c4610;}",
    u".PageHead{display: flex; justify-content: space-between; color: #6b6b6b; border-bottom: 1px solid #c8b27a; "
    u"padding: 0px 4px 2px 4px; margin-bottom: 4px; text-align-last: auto;}",
    u".PageFoot{text-align: center; color: #6b6b6b; border-top: 1px solid #c8b27a; margin-top: 6px; padding-top: 2px;}",
    u".Mushaf div a, .Mushaf div span{font-family: inherit; font-size: inherit;}",
    // the number inside the end-of-ayah ornament, whatever font the text is in
    u".Mushaf div a{font-family: 'Amiri Quran', serif;}",
    u".Quarter{color: #8a6d1e;}",
    u".Sajda{color: #8a6d1e;}",
    u".Sajda.Wajib{color: #b3261e; font-weight: bold;}",
    u".Mushaf a{text-decoration: none; color: #8a6d1e; white-space: nowrap;}",
    u"a{text-decoration: none;}",
};

Text SurahHeading(const cQ114& model, const MushafMarks& marks, int soreh) {
    const bool medinan = marks.RevelationOf(soreh) == MushafMarks::Revelation::Medinan;
    return u"<div class='" + Text(kSurahHeadClass) + u"'><span>" + PersianDecimal(soreh) + u"</span><b>سوره " +
           model.SorehNameOf(static_cast<int16_t>(soreh)) + u"</b><span>" +
           PersianDecimal(model.TotalAyatOf(static_cast<int16_t>(soreh))) + u" آیه - " + (medinan ? u"مدنی" : u"مکی") +
           u"</span></div>";
}

// The quarter sign goes before the first ayah of a quarter, also when the
// quarter's first line is the Bismillah line before it; the first quarter,
// the start of the Quran, divides nothing and has none.
bool BeginsQuarter(const cQ114& model, const MushafMarks& marks, int16_t line) {
    if (marks.QuarterStartingAt(line) > 1) return true;
    return line > 0 && model.LineAt(static_cast<int16_t>(line - 1)).ayeh == 0 &&
           marks.QuarterStartingAt(static_cast<int16_t>(line - 1)) > 1;
}

Text AyahLine(const cQ114& model, const MushafMarks& marks, int16_t n, bool showEarab, bool uthmani) {
    const cQ114::Line& at = model.LineAt(n);
    // the Bismillah lines, and 1:1, which is the Bismillah, stand centred
    const bool besm = at.ayeh == 0 || (at.soreh == 1 && at.ayeh == 1);
    const Text id = Decimal(n);
    Text out = u"<div id='" + LineId(n) + u"' class='" + Text(besm ? kBesmClass : kLineClass) + u"'>";
    // the marks are held to the ayah's words by no-break spaces: a sign
    // never begins a line, the quarter sign never ends one
    if (at.ayeh != 0 && BeginsQuarter(model, marks, n))
        out += u"<span class='Quarter'>" + Text(1, kQuarterSign) + u"</span>" + kNoBreak;
    Text words = ShownArabicAt(model, n, showEarab, uthmani);
    while (!words.empty() && (words.back() == u' ' || words.back() == u'\0')) words.pop_back();
    out += words;
    if (at.ayeh != 0) {
        out += Text(kNoBreak) + u"<a id='" + id + u"' href='#'>" + Text(1, kEndOfAyah) + PersianDecimal(at.ayeh) + u"</a>";
        const MushafMarks::Sajda sajda = marks.SajdaAt(n);
        if (sajda != MushafMarks::Sajda::None)
            out += sajda == MushafMarks::Sajda::Obligatory
                       ? u"<span class='Sajda Wajib' title='سجده واجب'>" + Text(1, kSajdaSign) + u"</span>"
                       : u"<span class='Sajda' title='سجده مستحب'>" + Text(1, kSajdaSign) + u"</span>";
    }
    return out + u"</div>";
}

}  // namespace

Text MushafPageDocument(const cQ114& model, const MushafMarks& marks, int16_t first, int16_t last, bool showEarab,
                        TextView backColorHex, bool uthmani) {
    const cQ114::Line& top = model.LineAt(first);
    Text body = u"<div class='" + Text(kPageHeadClass) + u"'><span>جزء " + PersianDecimal(top.joze) + u"</span><span>حزب " +
                PersianDecimal(top.hezb) + u"</span></div>" + kCrLf + u"<div class='Mushaf'>";
    for (int16_t n = first; n <= last; n = static_cast<int16_t>(n + 1)) {
        const cQ114::Line& at = model.LineAt(n);
        // a surah begins on its Bismillah line, or (surahs 1 and 9) on ayah 1
        const bool begins = at.ayeh == 0 || (at.ayeh == 1 && (n == 0 || model.LineAt(static_cast<int16_t>(n - 1)).ayeh != 0));
        if (begins) body += kCrLf + SurahHeading(model, marks, at.soreh);
        body += kCrLf + AyahLine(model, marks, n, showEarab, uthmani);
    }
    body += u"</div>" + kCrLf + u"<div class='" + Text(kPageFootClass) + u"'>" + PersianDecimal(top.page) + u"</div>";
    return Frame(kMushafRules, backColorHex, body);
}

Text TranslationLineId(int line) { return u"t" + Decimal(line); }

Text PageTranslationDocument(const cQ114& model, int16_t first, int16_t last, int16_t current, TextView backColorHex) {
    Text body;
    for (int16_t n = first; n <= last; n = static_cast<int16_t>(n + 1)) {
        const cQ114::Line& at = model.LineAt(n);
        body += u"<div id='" + TranslationLineId(n) + u"' class='" +
                Text(n == current ? kTranslationMarkedClass : kTranslationLineClass) + u"'>";
        if (at.ayeh != 0) body += u"<b>" + PersianDecimal(at.ayeh) + u"</b> ";
        body += model.MeanFarsiAt(n) + u"</div>" + kCrLf;
    }
    return Frame({u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG; line-height: 150%; text-align: justify;}",
                  u"*{font-family: Tahoma;font-size: 13px;}", u".Farsi{margin: 0px 0px 6px 0px;}",
                  u".FarsiSelect{margin: 0px 0px 6px 0px; color: #000fff; background-color: #e6ecff; border-radius: 4px;}",
                  u"b{color: #8a6d1e;}", u"a{text-decoration: none;}"},
                 backColorHex, body);
}

}  // namespace mushaf::views
