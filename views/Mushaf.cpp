#include "views/Mushaf.h"

#include "views/Documents.h"
#include "views/Markup.h"

namespace mushaf::views {

namespace {

const Text kCrLf = u"\r\n";
constexpr char16_t kNoBreak[] = u"\u00A0";
// Drawn in the document's own rules: the ayat run on inline, the headings
// are blocks of their own. The head and the foot stay in view while the page
// scrolls (a text made larger than the pane); the page's text takes the size
// --fit gives it (the pane fits the page to itself).
constexpr TextView kMushafRules[] = {
    u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG; line-height: 150%; text-align: justify;}",
    u"*{font-family: Tahoma;font-size: 13px;}",
    u".Spread{display: flex; gap: 28px; align-items: flex-start;}",
    u".MushafPage{flex: 1 1 0; min-width: 0;}",
    // (a line height as a factor: one in px from outside would not scale with the page)
    u".Mushaf{text-align: justify; text-align-last: center; margin: 4px 6px; zoom: var(--fit, 1); line-height: 1.5;}",
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
    u"padding: 2px 4px 2px 4px; margin-bottom: 4px; text-align-last: auto; position: sticky; top: 0; z-index: 1; "
    u"background-color: #_BG;}",
    u".PageFoot{text-align: center; text-align-last: center; color: #6b6b6b; border-top: 1px solid #c8b27a; "
    u"margin-top: 6px; padding: 2px 0px; position: sticky; bottom: 0; z-index: 1; background-color: #_BG;}",
    // a pane hardly taller than its head and foot keeps them small
    u"@media (max-height: 240px){.PageHead, .PageFoot{font-size: 9px; padding: 0px 4px; margin: 0px;} "
    u".PageHead span, .PageFoot span{font-size: 9px;}}",
    u".Mushaf div a, .Mushaf div span{font-family: inherit; font-size: inherit;}",
    // the number inside the end-of-ayah ornament, whatever font the text is in
    u".Mushaf div a{font-family: 'Amiri Quran', serif;}",
    // the quarter's star and the sajda's sign as large as the ayah's sign,
    // apart by colour: the quarter green, a recommended sajda violet, an
    // obligatory one red; the sajda's sign held off the next ayah
    u".Mushaf div span.Quarter, .Mushaf div span.Sajda{font-family: 'Amiri Quran', serif; font-size: 1.9em; "
    u"line-height: 1;}",
    u".Quarter{color: #0f7a5a;}",
    u".Sajda{color: #6a3fb5; margin-left: 0.4em;}",
    u".Sajda.Wajib{color: #b3261e; font-weight: bold;}",
    u".Mushaf a{text-decoration: none; color: #8a6d1e; white-space: nowrap;}",
    u"a{text-decoration: none;}",
};

// What the head says: the page's surahs on the right, its juz', hizb and
// quarter of the hizb on the left.
Text SurahsOfPage(const cQ114& model, int16_t first, int16_t last) {
    std::vector<int16_t> surahs;
    for (int16_t n = first; n <= last; n = static_cast<int16_t>(n + 1))
        if (surahs.empty() || surahs.back() != model.LineAt(n).soreh) surahs.push_back(model.LineAt(n).soreh);
    Text names;
    for (int16_t s : surahs) names += (names.empty() ? u"" : u"، ") + WithoutNul(model.SorehNameOf(s));
    return (surahs.size() == 1 ? u"سورهٔ " : u"سوره‌های ") + names;
}

Text PlaceOfPage(const cQ114& model, const MushafMarks& marks, int16_t first) {
    const cQ114::Line& top = model.LineAt(first);
    Text place = u"جزء " + PersianDecimal(top.joze) + u" \u00B7 حزب " + PersianDecimal(top.hezb);
    // the quarter of the hizb the page begins in
    const int q = marks.QuarterOf(first);
    constexpr const char16_t* kQuarters[] = {u"", u"\u00BC", u"\u00BD", u"\u00BE"};
    if (q > 0 && (q - 1) % 4 > 0) place += u" \u2068" + Text(kQuarters[(q - 1) % 4]) + u"\u2069";
    return place;
}

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

Text SajdaSign(MushafMarks::Sajda sajda) {
    if (sajda == MushafMarks::Sajda::None) return {};
    const bool obligatory = sajda == MushafMarks::Sajda::Obligatory;
    return Text(obligatory ? u"<span class='Sajda Wajib' title='سجدهٔ واجب'>" : u"<span class='Sajda' title='سجدهٔ مستحب'>") +
           Text(1, kSajdaSign) + u"</span>";
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
        out += u"<span class='Quarter' title='آغاز ربع حزب'>" + Text(1, kQuarterSign) + u"</span>" + kNoBreak;
    Text words = ShownArabicAt(model, n, showEarab, uthmani);
    while (!words.empty() && (words.back() == u' ' || words.back() == u'\0')) words.pop_back();
    out += words;
    if (at.ayeh != 0) {
        const Text number = PersianDecimal(at.ayeh);
        // a screen reader reads the sign as its number
        out += Text(kNoBreak) + u"<a id='" + id + u"' href='#' title='پایان آیهٔ " + number + u"' aria-label='آیهٔ " + number +
               u"'>" + Text(1, kEndOfAyah) + number + u"</a>" + SajdaSign(marks.SajdaAt(n));
    }
    return out + u"</div>";
}

// One page of the mushaf: its head, its ayat with their headings, its foot.
Text MushafPage(const cQ114& model, const MushafMarks& marks, int16_t first, int16_t last, bool showEarab, bool uthmani) {
    const cQ114::Line& top = model.LineAt(first);
    Text body = u"<div class='MushafPage'><div class='" + Text(kPageHeadClass) + u"'><span>" +
                SurahsOfPage(model, first, last) + u"</span><span>" + PlaceOfPage(model, marks, first) + u"</span></div>" +
                kCrLf + u"<div class='Mushaf'>";
    for (int16_t n = first; n <= last; n = static_cast<int16_t>(n + 1)) {
        const cQ114::Line& at = model.LineAt(n);
        // a surah begins on its Bismillah line, or (surahs 1 and 9) on ayah 1
        const bool begins = at.ayeh == 0 || (at.ayeh == 1 && (n == 0 || model.LineAt(static_cast<int16_t>(n - 1)).ayeh != 0));
        if (begins) body += kCrLf + SurahHeading(model, marks, at.soreh);
        body += kCrLf + AyahLine(model, marks, n, showEarab, uthmani);
    }
    return body + u"</div>" + kCrLf + u"<div class='" + Text(kPageFootClass) + u"'>" + PersianDecimal(top.page) +
           u"</div></div>";
}

}  // namespace

Text MushafPageDocument(const cQ114& model, const MushafMarks& marks, int16_t first, int16_t last, bool showEarab,
                        TextView backColorHex, bool uthmani) {
    return Frame(kMushafRules, backColorHex,
                 u"<div class='Spread'>" + MushafPage(model, marks, first, last, showEarab, uthmani) + u"</div>");
}

Text MushafSpreadDocument(const cQ114& model, const MushafMarks& marks, std::pair<int16_t, int16_t> right,
                          std::pair<int16_t, int16_t> left, bool showEarab, TextView backColorHex, bool uthmani) {
    // the document runs right to left: the first page stands on the right
    return Frame(kMushafRules, backColorHex,
                 u"<div class='Spread'>" + MushafPage(model, marks, right.first, right.second, showEarab, uthmani) + kCrLf +
                     MushafPage(model, marks, left.first, left.second, showEarab, uthmani) + u"</div>");
}

Text TranslationLineId(int line) { return u"t" + Decimal(line); }

Text SecondLineId(int line) { return u"s" + Decimal(line); }

Text PageTranslationDocument(const cQ114& model, int16_t first, int16_t last, int16_t current, TextView backColorHex,
                             const TranslationsLook& look) {
    Text body;
    for (int16_t n = first; n <= last; n = static_cast<int16_t>(n + 1)) {
        const cQ114::Line& at = model.LineAt(n);
        body += u"<div id='" + TranslationLineId(n) + u"' class='" +
                Text(n == current ? kTranslationMarkedClass : kTranslationLineClass) + u"'" +
                TranslationAttributes(look.first) + u">";
        if (at.ayeh != 0) body += u"<b>" + PersianDecimal(at.ayeh) + u"</b> ";
        body += ShownTranslation(model.MeanFarsiAt(n), look.first);
        if (model.HasSecond()) body += SecondDiv(model, n, look.second, SecondLineId(n));
        body += u"</div>" + Text(kCrLf);
    }
    std::vector<TextView> rules{
        u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG; line-height: 150%; text-align: justify;}",
        u"*{font-family: Tahoma;font-size: 13px;}", u".Farsi{margin: 0px 0px 6px 0px;}",
        u".FarsiSelect{margin: 0px 0px 6px 0px; color: #000fff; background-color: #e6ecff; border-radius: 4px;}",
        u"b{color: #8a6d1e;}", u"a{text-decoration: none;}"};
    for (TextView rule : PackRules(model, look)) rules.push_back(rule);
    return Frame(rules, backColorHex, body);
}

}  // namespace mushaf::views
