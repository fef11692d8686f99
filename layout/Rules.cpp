#include "layout/Rules.h"

namespace mushaf::layout {

namespace {
constexpr int kGap = 100;
constexpr int kToolsOverhang = 400;
}  // namespace

Geometry::Geometry() {
    for (const ControlSpec& c : Controls()) {
        rects_[c.name] = c.design;
        if (!c.visible) hidden_.insert(c.name);
    }
}

void Geometry::SetVisible(const std::string& name, bool visible) {
    if (visible == Visible(name)) return;
    if (visible) hidden_.erase(name);
    else hidden_.insert(name);
    if (name == "picTools") {
        ResizeClient(clientWidth_, clientHeight_);
    } else if (visible) {
        if (name == "picPanelQuran") SurahPanelRule();
        if (name == "picPanelSearch") SearchPanelRule();
        if (name == "picHelp") HelpPaneRule();
    }
}

void Geometry::Dock() {
    int bottom = clientHeight_;
    if (Visible("picTools")) {
        Rect& t = rects_["picTools"];
        t.left = 0;
        t.width = clientWidth_;
        t.top = clientHeight_ - t.height;
        bottom = t.top;
    }
    int sideHeight = bottom > 0 ? bottom : 0;
    Rect& m = rects_["picMPanel"];
    m.left = 0;
    m.top = 0;
    m.height = sideHeight;
    for (const char* side : {"picPanelQuran", "picPanelSearch"}) {
        Rect& r = rects_[side];
        r.left = clientWidth_ - r.width;
        r.top = 0;
        r.height = sideHeight;
    }
}

void Geometry::ResizeClient(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    Dock();
    // the window rule
    SetWidth("picMPanel", width - rects_["picPanelQuran"].width);
    SetLeft("picHelp", 0);
    SetTop("picHelp", 0);
    SetWidth("picHelp", width);
    SetHeight("picHelp", height);
    // the containers whose size may have changed
    MainPanelRule();
    if (Visible("picPanelQuran")) SurahPanelRule();
    if (Visible("picPanelSearch")) SearchPanelRule();
    if (Visible("picTools")) ToolsStripRule();
    HelpPaneRule();
}

void Geometry::StackBelow(std::initializer_list<const char*> rows) {
    const char* previous = nullptr;
    int width = 0;
    for (const char* row : rows) {
        if (!previous) {
            width = rects_[row].width;
        } else {
            SetLeft(row, kGap);
            SetTop(row, Below(previous));
            SetWidth(row, width);
        }
        previous = row;
    }
}

void Geometry::FirstRow(const std::string& row, const Rect& panel) {
    SetLeft(row, kGap);
    SetTop(row, kGap);
    SetWidth(row, panel.width - 2 * kGap);
}

void Geometry::MainPanelRule() {
    const Rect& p = rects_["picMPanel"];
    FirstRow("lblPage", p);
    SetHeight("wbrQuran", p.height - (rects_["lblPage"].height + rects_["lblFarsi"].height + rects_["wbrFarsi"].height +
                                      rects_["hsAllQuran"].height + 6 * kGap));
    StackBelow({"lblPage", "wbrQuran", "lblFarsi", "wbrFarsi", "hsAllQuran"});
}

void Geometry::SurahPanelRule() {
    const Rect& p = rects_["picPanelQuran"];
    FirstRow("lblSoreh", p);
    SetHeight("wbrSoreh", p.height - (rects_["lblSoreh"].height + rects_["lblQSearch"].height + rects_["txtQSearch"].height +
                                      rects_["llblGoto"].height + rects_["picGotoTools"].height +
                                      rects_["picSwitch"].height + 8 * kGap));
    StackBelow({"lblSoreh", "wbrSoreh", "lblQSearch", "txtQSearch", "llblGoto", "picGotoTools"});
    SetLeft("picSwitch", p.left);
    SetTop("picSwitch", Below("picGotoTools"));
    SetWidth("picSwitch", p.width);
    SwitchBarRule();
}

void Geometry::SearchPanelRule() {
    const Rect& p = rects_["picPanelSearch"];
    FirstRow("lblSearch", p);
    StackBelow({"lblSearch", "txtSearch", "picSearchIn", "cmdSearch", "lblSearchResult"});
    SetHeight("wbrSearchResult", p.height - (rects_["lblSearch"].height + rects_["txtSearch"].height +
                                             rects_["picSearchIn"].height + rects_["cmdSearch"].height +
                                             rects_["lblSearchResult"].height + rects_["picSwitch"].height + 8 * kGap));
    SetLeft("wbrSearchResult", kGap);
    SetTop("wbrSearchResult", Below("lblSearchResult"));
    SetWidth("wbrSearchResult", rects_["lblSearch"].width);
    const Rect& quran = rects_["picPanelQuran"];
    SetLeft("picSwitch", quran.left);
    SetTop("picSwitch", Below("wbrSearchResult"));
    SetWidth("picSwitch", quran.width - kGap);
    OptionRowRule();
    SwitchBarRule();
}

void Geometry::OptionRowRule() {
    const Rect& row = rects_["picSearchIn"];
    // the two of the design at their design widths, unless the notes option shares the row
    for (const char* o : {"optSearchInQ", "optSearchInT"}) SetWidth(o, FindControl(o)->design.width);
    SetLeft("optSearchInQ", row.width - rects_["optSearchInQ"].width - kGap);
    SetTop("optSearchInQ", kGap);
    SetHeight("optSearchInQ", row.height - 2 * kGap);
    const Rect& q = rects_["optSearchInQ"];
    SetLeft("optSearchInT", q.left - rects_["optSearchInT"].width - kGap);
    SetTop("optSearchInT", q.top);
    SetHeight("optSearchInT", q.height);
    if (!Visible("optSearchInN")) return;
    // with the notes option the three share the row, each as wide as its text
    // needs of it (the translation's caption then its first word): 36, 30
    // and 34 in a hundred
    const int room = row.width - 4 * kGap;
    SetWidth("optSearchInQ", room * 36 / 100);
    SetWidth("optSearchInT", room * 30 / 100);
    SetWidth("optSearchInN", room - rects_["optSearchInQ"].width - rects_["optSearchInT"].width);
    SetLeft("optSearchInQ", row.width - rects_["optSearchInQ"].width - kGap);
    SetLeft("optSearchInT", rects_["optSearchInQ"].left - rects_["optSearchInT"].width - kGap);
    SetLeft("optSearchInN", kGap);
    SetTop("optSearchInN", q.top);
    SetHeight("optSearchInN", q.height);
}

void Geometry::SwitchBarRule() {
    const Rect& bar = rects_["picSwitch"];
    SetWidth("cmdShowSoreh", bar.width - (rects_["cmdShowSearch"].width + rects_["cmdHelp"].width + 4 * kGap));
    SetLeft("cmdShowSoreh", bar.width - rects_["cmdShowSoreh"].width - kGap);
    SetTop("cmdShowSoreh", 0);
    SetHeight("cmdShowSoreh", bar.height);
    const Rect& s = rects_["cmdShowSoreh"];
    SetLeft("cmdShowSearch", s.left - rects_["cmdShowSearch"].width - kGap);
    SetTop("cmdShowSearch", s.top);
    SetHeight("cmdShowSearch", s.height);
    SetLeft("cmdHelp", rects_["cmdShowSearch"].left - rects_["cmdHelp"].width - kGap);
    SetTop("cmdHelp", s.top);
    SetHeight("cmdHelp", s.height);
}

void Geometry::ToolsStripRule() {
    const Rect& t = rects_["picTools"];
    SetLeft("wbrTools", -kToolsOverhang);
    SetTop("wbrTools", 0);
    SetWidth("wbrTools", t.width + kToolsOverhang);
    SetHeight("wbrTools", t.height);
}

void Geometry::HelpPaneRule() {
    const Rect& h = rects_["picHelp"];
    SetLeft("wbrHelp", kGap);
    SetTop("wbrHelp", kGap);
    SetWidth("wbrHelp", h.width - 2 * kGap);
    SetHeight("wbrHelp", h.height - 2 * kGap);
}

}  // namespace mushaf::layout
