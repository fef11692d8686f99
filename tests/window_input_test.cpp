// Keys as the platform sends them: function keys from every box, Tab and
// Delete in the number boxes, the panel switch and the page's scroll
// position, the surah filter's letter forms, the slider's arrows, and text
// that leaves the model for the clipboard.
#include <gtest/gtest.h>

#include "tests/WindowRun.h"

using mushaf::testing::RunWindow;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
}  // namespace

class FunctionKeyFromBox : public ::testing::TestWithParam<const char*> {};

TEST_P(FunctionKeyFromBox, F4ActsOncePerPress) {
    const QString box = GetParam();
    QStringList actions;
    if (box == "txtSearch") actions << "key:F3";
    actions << "focus:" + box << "key:F4";
    RUN_WINDOW(r, actions);
    EXPECT_EQ(r.state["focus"].toString(), box);
    EXPECT_TRUE(r.state["ShowEarab"].toBool());
    EXPECT_TRUE(r.document("wbrQuran").contains(QChar(0x064E)));  // the page with its marks
}

INSTANTIATE_TEST_SUITE_P(EveryBox, FunctionKeyFromBox,
                         ::testing::Values("txtSoreh", "txtAyeh", "txtJoze", "txtPage", "txtQSearch", "txtSearch"));

TEST(Input, TabLeavesANumberBoxAlongTheTabOrder) {
    RUN_WINDOW(r, "type:txtSoreh:5", "key:Tab", "key:3");
    EXPECT_EQ(r.state["focus"].toString(), "txtAyeh");
    EXPECT_EQ(r.model()["Soreh"].toInt(), 5);
    EXPECT_EQ(r.model()["Ayeh"].toInt(), 3);
    EXPECT_EQ(r.text("txtSoreh"), "5");

    RUN_WINDOW(chain, "focus:txtSoreh", "key:Tab", "key:Tab", "key:Tab");
    EXPECT_EQ(chain.state["focus"].toString(), "txtPage");
    RUN_WINDOW(back, "focus:txtPage", "key:Shift+Tab", "key:Shift+Tab");
    EXPECT_EQ(back.state["focus"].toString(), "txtAyeh");
}

TEST(Input, DeleteWithTheCharacterX11Sends) {
    RUN_WINDOW(r, "type:txtPage:45", "key:Home", "key:Delete");
    EXPECT_EQ(r.text("txtPage"), "5");
    EXPECT_EQ(r.state["hsPage"].toInt(), 5);
}

TEST(Input, SwitchingPanelsKeepsEveryScrollPosition) {
    // line 6250 stands low on page 599: the page pane is scrolled to it
    for (const QStringList& switches : {QStringList{"key:F3"}, QStringList{"key:F3", "key:F2"},
                                        QStringList{"button:cmdShowSearch"},
                                        QStringList{"button:cmdShowSearch", "button:cmdShowSoreh"}}) {
        RUN_WINDOW(before, "slider:6250");
        ASSERT_GT(before.scrollTop("wbrQuran"), 0);
        RUN_WINDOW(after, QStringList{"slider:6250"} + switches);
        for (const char* pane : {"wbrQuran", "wbrFarsi", "wbrSoreh"})
            EXPECT_EQ(after.scrollTop(pane), before.scrollTop(pane)) << pane << " after " << switches.join(' ').toStdString();
        EXPECT_EQ(after.marked(), QStringList{"div6250"});
        EXPECT_EQ(after.state["focus"].toString(), switches.last().endsWith("F3") || switches.last().endsWith("Search")
                                                       ? "txtSearch"
                                                       : "txtQSearch");
    }
}

TEST(Input, SurahFilterFoldsKafAndYeh) {
    RUN_WINDOW(yeh, "type:txtQSearch:" + U("یونس"));  // Persian yeh
    EXPECT_TRUE(yeh.document("wbrSoreh").contains("<a id=\"10\" href=\"#\">"));
    RUN_WINDOW(kaf, "type:txtQSearch:" + U("كهف"));  // Arabic kaf
    EXPECT_TRUE(kaf.document("wbrSoreh").contains("<a id=\"18\" href=\"#\">"));
    EXPECT_EQ(kaf.document("wbrSoreh").count("<br>"), 1);
    // the wildcards still work, and a half-typed bracket lists nothing
    RUN_WINDOW(wild, "type:txtQSearch:" + U("ک?ف"));
    EXPECT_TRUE(wild.document("wbrSoreh").contains("<a id=\"18\" href=\"#\">"));
    // a letter in a bracket list is taken as written and matches its other forms
    RUN_WINDOW(list, "type:txtQSearch:" + U("[ی]ونس"));
    EXPECT_TRUE(list.document("wbrSoreh").contains("<a id=\"10\" href=\"#\">"));
    RUN_WINDOW(open, "type:txtQSearch:[");
    EXPECT_EQ(open.document("wbrSoreh").count("<br>"), 0);
}

TEST(Input, NoNulLeavesTheModel) {
    RUN_WINDOW(r, "slider:6347", "key:F9");
    const QString clip = r.state["clipboard"].toString();
    EXPECT_TRUE(clip.startsWith(U("سوره ناس [114] - آيه 6\r\n\r\n")));
    EXPECT_FALSE(clip.contains(QChar(0)));
    EXPECT_FALSE(r.text("lblFarsi").contains(QChar(0)));
    EXPECT_EQ(r.text("lblFarsi"), U("  سوره ناس - آيه 6  "));
}

TEST(Input, SliderArrowsFollowThePicture) {
    // drawn right to left: Left goes on reading, Right goes back
    RUN_WINDOW(r, "slider:10", "focus:hsAllQuran", "key:Left", "key:Left");
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 12);
    RUN_WINDOW(b, "slider:10", "focus:hsAllQuran", "key:Right");
    EXPECT_EQ(b.state["hsAllQuran"].toInt(), 9);
}

TEST(Input, TheModelStandsWhereTheIndexAndTheResultListLeaveIt) {
    // the surah index leaves it on surah 114, the result list on its last line,
    // and a copy on the highlighted line
    RUN_WINDOW(index, "slider:20", "type:txtQSearch:" + U("ن"));
    EXPECT_EQ(index.model()["Soreh"].toInt(), 114);
    EXPECT_EQ(index.model()["Ayeh"].toInt(), 0);
    RUN_WINDOW(list, "slider:20", "key:F3", "type:txtSearch:" + U("بسم الله الرحمن"), "key:Return");
    EXPECT_EQ(list.model()["Soreh"].toInt(), 114);
    EXPECT_EQ(list.marked(), QStringList{"div20"});
    RUN_WINDOW(copy, "slider:20", "type:txtQSearch:" + U("ن"), "key:F9");
    EXPECT_EQ(copy.model()["GlobalAyeh"].toInt(), 20);
}
