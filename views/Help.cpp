#include "views/Help.h"

#include "views/Documents.h"

namespace mushaf::views {

namespace {

constexpr char16_t kTatweel = u'\u0640';

// Letters that join on both sides; the next letter then joins to them.
bool JoinsBothSides(char16_t c) {
    static constexpr TextView kDual =
        u"\u0628\u067E\u062A\u062B\u062C\u0686\u062D\u062E\u0633\u0634\u0635\u0636\u0637\u0638\u0639\u063A"
        u"\u0641\u0642\u06A9\u0643\u06AF\u0644\u0645\u0646\u0647\u064A\u06CC\u0626\u06C1\u0649";
    return kDual.find(c) != TextView::npos;
}

// Letters that join to the one before them.
bool JoinsBefore(char16_t c) {
    static constexpr TextView kRight = u"\u0627\u0622\u0623\u0625\u062F\u0630\u0631\u0632\u0698\u0648\u0624\u0629\u06C0\u06D2\u06D3";
    return JoinsBothSides(c) || kRight.find(c) != TextView::npos;
}

bool IsMark(char16_t c) {
    return (c >= 0x064B && c <= 0x065F) || c == 0x0670 || (c >= 0x06D6 && c <= 0x06ED);
}

}  // namespace

Text DrawnApart(TextView text) {
    Text out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (!JoinsBothSides(text[i])) continue;
        std::size_t next = i + 1;
        while (next < text.size() && IsMark(text[next])) out += text[next++];
        // lam and alef keep their ligature
        bool lamAlef = text[i] == u'\u0644' && next < text.size() && TextView(u"\u0627\u0622\u0623\u0625").find(text[next]) != TextView::npos;
        if (next < text.size() && JoinsBefore(text[next]) && !lamAlef) out += kTatweel;
        i = next - 1;
    }
    return out;
}

Text HelpKeyLines(const std::vector<HelpKey>& keys) {
    Text out;
    for (const HelpKey& key : keys)
        out += u"<bdi dir='ltr'>" + HtmlText(key.keys) + u"</bdi> : " + DrawnApart(HtmlText(key.meaning)) + u"<br>\r\n";
    return out;
}

Text HelpPage(TextView stored, const std::vector<HelpKey>& keys) {
    Text page(stored);
    std::size_t at = page.find(kHelpKeysMark);
    if (at == Text::npos) return page;
    std::size_t end = at + kHelpKeysMark.size();
    // the mark stands on a line of its own; the lines take its place
    if (page.compare(end, 2, u"\r\n") == 0) end += 2;
    return page.replace(at, end - at, HelpKeyLines(keys));
}

}  // namespace mushaf::views
