// The help page's generated key list.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "views/Help.h"

using namespace mushaf;
using namespace mushaf::views;

namespace {

Text StoredPage() {
    std::ifstream in(std::string(MUSHAF_SOURCE_DIR) + "/help.html", std::ios::binary);
    return FromUtf8(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

}  // namespace

TEST(Help, GeneratedLinesAreDrawnApartAsTheStoredLinesAre) {
    // every stored key line, its tatweel taken out and drawn again, comes back as stored
    int lines = 0;
    for (const Text& line : Split(StoredPage(), u"\n")) {
        if (line.size() < 5 || line[0] != u'F' || line.find(u" : ") == Text::npos) continue;
        ++lines;
        EXPECT_EQ(ToUtf8(DrawnApart(Replaced(line, u"\u0640", u""))), ToUtf8(line));
    }
    EXPECT_EQ(lines, 6);
    // marks stay on their letter, and the tatweel comes after them
    EXPECT_EQ(DrawnApart(u"\u0628\u064E\u0631"), u"\u0628\u064E\u0640\u0631");
    // a letter that joins only before it, a space and a zero-width non-joiner part the drawing
    EXPECT_EQ(DrawnApart(u"\u062F\u0628 \u0628\u200C\u0628"), u"\u062F\u0628 \u0628\u200C\u0628");
    EXPECT_EQ(DrawnApart(u"Ctrl+D"), u"Ctrl+D");
    // lam and alef keep their ligature
    EXPECT_EQ(DrawnApart(u"\u0628\u0627\u0644\u0627\u064A"), u"\u0628\u0640\u0627\u0644\u0627\u064A");
}

TEST(Help, KeyLinesTakeThePlaceOfTheMark) {
    Text stored = StoredPage();
    ASSERT_NE(stored.find(kHelpKeysMark), Text::npos);
    Text crlf = Replaced(stored, u"\n", u"\r\n");
    Text page = HelpPage(crlf, {{u"Ctrl+Shift+N", u"\u0634\u0628"}, {u"F6", u"<b>&"}});
    EXPECT_EQ(page.find(kHelpKeysMark), Text::npos);
    // after the stored F12 line, one line each, keys left to right and the text escaped
    const Text lines = u"<bdi dir='ltr'>Ctrl+Shift+N</bdi> : \u0634\u0640\u0628<br>\r\n<bdi dir='ltr'>F6</bdi> : &lt;b&gt;&amp;<br>\r\n";
    std::size_t at = page.find(lines);
    ASSERT_NE(at, Text::npos);
    EXPECT_LT(page.find(u"F12 : "), at);
    EXPECT_EQ(page.size(), crlf.size() - kHelpKeysMark.size() - 2 + lines.size());
    // no mark: the page as stored; no keys: the mark's line goes
    EXPECT_EQ(HelpPage(u"<body>x</body>", {{u"F6", u"y"}}), u"<body>x</body>");
    EXPECT_EQ(HelpPage(u"a\r\n<!--keys-->\r\nb", {}), u"a\r\nb");
}
