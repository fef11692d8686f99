// The resize rules over the control tree.
#include <gtest/gtest.h>

#include "layout/Rules.h"

using namespace mushaf::layout;

namespace {
void ExpectRect(const Geometry& g, const char* name, Rect r) {
    EXPECT_EQ(g[name], r) << name << ": " << g[name].left << "," << g[name].top << "," << g[name].width << ","
                          << g[name].height;
}
}  // namespace

TEST(Layout, ControlTree) {
    // the 39 of the window's design and the notes option added to the search row
    EXPECT_EQ(Controls().size(), 40u);
    EXPECT_FALSE(FindControl("optSearchInN")->visible);
    std::set<int> tabs;
    for (const ControlSpec& c : Controls()) {
        tabs.insert(c.tab);
        if (!c.parent.empty()) EXPECT_TRUE(FindControl(c.parent)) << c.name;
    }
    EXPECT_EQ(tabs.size(), Controls().size());  // every tab index once
    EXPECT_EQ(FindControl("txtQSearch")->tab, 0);
    EXPECT_EQ(FindControl("txtJoze")->maxLength, 2);
    EXPECT_EQ(FindControl("cmdShowSoreh")->caption, u"سـورہ ها");
    EXPECT_FALSE(FindControl("cmdShowSoreh")->enabled);
}

TEST(Layout, WorkedExampleAtTheDesignSize) {
    Geometry g;
    g.ResizeClient(10635, 9210);
    ExpectRect(g, "picMPanel", {0, 0, 7380, 9210});
    ExpectRect(g, "lblPage", {100, 100, 7180, 250});
    ExpectRect(g, "wbrQuran", {100, 450, 7180, 6310});
    EXPECT_EQ(g["lblFarsi"].top, 6860);
    EXPECT_EQ(g["wbrFarsi"].top, 7210);
    ExpectRect(g, "hsAllQuran", {100, 8910, 7180, 200});
    ExpectRect(g, "picPanelQuran", {7380, 0, 3255, 9210});
    ExpectRect(g, "wbrSoreh", {100, 450, 3055, 5850});
    EXPECT_EQ(g["lblQSearch"].top, 6400);
    EXPECT_EQ(g["txtQSearch"].top, 6750);
    EXPECT_EQ(g["llblGoto"].top, 7135);
    EXPECT_EQ(g["picGotoTools"].top, 7490);
    ExpectRect(g, "picSwitch", {7380, 8790, 3255, 320});
    ExpectRect(g, "cmdShowSoreh", {2250, 0, 905, 320});
    ExpectRect(g, "cmdShowSearch", {1235, 0, 915, 320});
    ExpectRect(g, "cmdHelp", {100, 0, 1035, 320});
    ExpectRect(g, "picHelp", {0, 0, 10635, 9210});
    ExpectRect(g, "wbrHelp", {100, 100, 10435, 9010});

    g.SetVisible("picPanelQuran", false);
    g.SetVisible("picPanelSearch", true);
    EXPECT_EQ(g["txtSearch"].top, 450);
    EXPECT_EQ(g["picSearchIn"].top, 835);
    EXPECT_EQ(g["cmdSearch"].top, 1430);
    EXPECT_EQ(g["lblSearchResult"].top, 1850);
    ExpectRect(g, "wbrSearchResult", {100, 2205, 3055, 6485});
    ExpectRect(g, "picSwitch", {7380, 8790, 3155, 320});
    ExpectRect(g, "optSearchInQ", {1560, 100, 1395, 295});
    ExpectRect(g, "optSearchInT", {65, 100, 1395, 295});
    // shown, the notes option shares the row with the other two; hidden again, the row is as designed
    g.SetVisible("optSearchInN", true);
    g.OptionRowRule();
    const int row = g["picSearchIn"].width;
    for (const char* o : {"optSearchInQ", "optSearchInT", "optSearchInN"}) {
        EXPECT_GT(g[o].left, 0) << o;
        EXPECT_LE(g[o].left + g[o].width, row) << o;
    }
    EXPECT_LT(g["optSearchInT"].left + g["optSearchInT"].width, g["optSearchInQ"].left);
    EXPECT_LT(g["optSearchInN"].left + g["optSearchInN"].width, g["optSearchInT"].left);
    g.SetVisible("optSearchInN", false);
    g.OptionRowRule();
    ExpectRect(g, "optSearchInQ", {1560, 100, 1395, 295});
    ExpectRect(g, "optSearchInT", {65, 100, 1395, 295});
}

TEST(Layout, TallerAndWider) {
    Geometry a, b;
    a.ResizeClient(10635, 9210);
    b.ResizeClient(10635, 10210);
    for (const auto& [name, r] : a.All()) {
        const Rect& s = b[name];
        if (name == "wbrQuran" || name == "wbrSoreh" || name == "picMPanel" || name == "picPanelQuran" ||
            name == "picPanelSearch" || name == "picHelp" || name == "wbrHelp")
            continue;
        EXPECT_EQ(r.height, s.height) << name;
    }
    EXPECT_EQ(b["wbrQuran"].height, a["wbrQuran"].height + 1000);
    EXPECT_EQ(b["hsAllQuran"].top, a["hsAllQuran"].top + 1000);

    Geometry w;
    w.ResizeClient(12635, 9210);
    EXPECT_EQ(w["picMPanel"].width, 9380);
    EXPECT_EQ(w["lblPage"].width, 9180);
    EXPECT_EQ(w["picPanelQuran"].width, 3255);
    EXPECT_EQ(w["picPanelQuran"].left, 9380);
    EXPECT_EQ(w["picSwitch"].left, 9380);
}

TEST(Layout, TooSmallSkipsNegativeSizes) {
    Geometry g;
    g.ResizeClient(10635, 9210);
    int quran = g["wbrQuran"].height, soreh = g["wbrSoreh"].height;
    g.ResizeClient(3000, 2000);
    EXPECT_EQ(g["wbrQuran"].height, quran);  // would be negative: kept
    EXPECT_EQ(g["wbrSoreh"].height, soreh);
    EXPECT_EQ(g["picMPanel"].width, 7380);   // 3000 - 3255 < 0: kept
    EXPECT_EQ(g["hsAllQuran"].top, g["wbrFarsi"].top + 1600 + 100);
    g.ResizeClient(0, 0);  // minimised
    EXPECT_EQ(g["picHelp"].width, 0);
}

TEST(Layout, ToolsStripDocksAtTheBottom) {
    Geometry g;
    g.ResizeClient(10635, 9210);
    g.SetVisible("picTools", true);
    ExpectRect(g, "picTools", {0, 8810, 10635, 400});
    EXPECT_EQ(g["picMPanel"].height, 8810);
    ExpectRect(g, "wbrTools", {-400, 0, 11035, 400});
}

TEST(Layout, WindowPlacement) {
    Placement p = CenterPlacement(28800, 16200, 10755, 9660);
    EXPECT_DOUBLE_EQ(p.left, 9022.5);
    EXPECT_DOUBLE_EQ(p.top, 2180);
    Placement big = CenterPlacement(9000, 6000, 10755, 9660);  // larger than the screen: not clamped
    EXPECT_LT(big.left, 0);
    EXPECT_LT(big.top, 0);
}
