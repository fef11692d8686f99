#include "views/Styles.h"

#include "model/Text.h"
#include "views/Markup.h"

namespace mushaf::views {

namespace {
std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string FontRule(std::u16string_view family, std::u16string_view lineHeight) {
    std::u16string rule = u"div.";
    for (const char16_t* cls : {kLineClass, kLineMarkedClass, kBesmClass, kBesmMarkedClass}) {
        if (rule.size() > 4) rule += u", div.";
        rule += cls;
    }
    return rule + u" { font-family: '" + std::u16string(family) + u"' !important; line-height: " +
           std::u16string(lineHeight) + u"; }";
}
}  // namespace

std::u16string QuranFontName(QuranFont font) {
    switch (font) {
    case QuranFont::AmiriQuran: return u"Amiri Quran";
    case QuranFont::NotoNaskh: return u"Noto Naskh Arabic";
    case QuranFont::Default: break;
    }
    return u"default";
}

QuranFont QuranFontNamed(std::u16string_view name) {
    for (QuranFont f : {QuranFont::AmiriQuran, QuranFont::NotoNaskh})
        if (name == QuranFontName(f)) return f;
    return QuranFont::Default;
}

std::u16string PageFontRule(QuranFont chosen, bool uthmani, bool showEarab, bool mushafView) {
    if (chosen == QuranFont::Default && ((uthmani && showEarab) || mushafView)) chosen = QuranFont::AmiriQuran;
    if (chosen == QuranFont::AmiriQuran) return FontRule(u"Amiri Quran", u"2.3");
    if (chosen == QuranFont::NotoNaskh) return FontRule(u"Noto Naskh Arabic", u"2");
    return {};
}

const char16_t kNightRule[] =
    u"html, body { background-color: #1c1f22 !important; color: #dcdcd2 !important; } "
    u".NoEarab, .NoEarabBesm, .Farsi { color: #b9dcb2 !important; } "
    u".NoEarabSelect, .NoEarabBesmSelect { color: #ffd479 !important; background-color: #2c3440 !important; } "
    u"a, a:visited { color: #8ec5ff !important; } span { color: inherit; } "
    u"b { color: #a8d8a0 !important; } "
    u".SurahHead, .SurahHead b, .SurahHead span { color: #e3c77e !important; } "
    u".Quarter { color: #5fd3a8 !important; } .Sajda { color: #c7a8ff !important; } "
    u".SurahHead { border-color: #b8954a !important; background-color: #2a2a24 !important; } "
    u".PageHead, .PageFoot { color: #9aa0a6 !important; border-color: #5a5040 !important; background-color: #1c1f22 !important; } "
    u".Note { color: #e3c77e !important; } .Extract { color: #cfd6c6 !important; } "
    u".Found, .Match { background-color: #6b5500 !important; color: #fff4c2 !important; } "
    u".Sajda.Wajib { color: #ff8a80 !important; } .FarsiSelect { color: #ffd479 !important; background-color: #2c3440 !important; } "
    u":root { color-scheme: dark; } "
    u"::-webkit-scrollbar { width: 14px; height: 14px; background-color: #23272b; } "
    u"::-webkit-scrollbar-thumb { background-color: #50565e; border: 3px solid #23272b; border-radius: 7px; } "
    u"::-webkit-scrollbar-thumb:hover { background-color: #6a717a; } "
    u"::-webkit-scrollbar-corner { background-color: #23272b; }";

std::u16string NoteCardRule(const std::vector<int16_t>& lines, const std::vector<int16_t>& noted) {
    if (lines.empty()) return {};
    auto selector = [](const std::vector<int16_t>& of) {
        std::u16string ids;
        for (int16_t line : of) {
            if (!ids.empty()) ids += u",";
            ids += u"#" + LineId(line);
        }
        return ids;
    };
    std::u16string rule = selector(lines) + u" { border-right: 4px solid #c89b00; padding-right: 6px; }";
    if (!noted.empty()) rule += u" " + selector(noted) + u" { border-right: 6px double #2e7d32; }";
    return rule;
}

const char16_t kFoundRule[] = u".Found { background-color: #ffe27a; border-radius: 3px; }";

std::u16string ResultCountRule(int count) {
    if (count <= 0) return {};
    return u"body::before { content: '" + PersianDecimal(count) +
           u" مورد یافت شد'; display: block; font-weight: bold; margin-bottom: 4px; }";
}

}  // namespace mushaf::views
