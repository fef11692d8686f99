#include "layout/ControlTree.h"

namespace mushaf::layout {

namespace {

ControlSpec C(std::string name, Kind kind, std::string parent, Rect r, int tab, std::u16string caption = {}) {
    ControlSpec c;
    c.name = std::move(name);
    c.kind = kind;
    c.parent = std::move(parent);
    c.design = r;
    c.tab = tab;
    c.caption = std::move(caption);
    return c;
}

template <typename F>
ControlSpec With(ControlSpec c, F&& f) {
    f(c);
    return c;
}

std::vector<ControlSpec> Build() {
    using K = Kind;
    std::vector<ControlSpec> v;
    v.push_back(With(C("picHelp", K::Container, "", {1560, 1560, 7695, 4575}, 39), [](auto& c) { c.visible = false; }));
    v.push_back(C("wbrHelp", K::BrowserPane, "picHelp", {480, 480, 6735, 3495}, 40));
    v.push_back(C("picSwitch", K::Container, "", {7560, 8160, 2955, 320}, 38));
    v.push_back(C("cmdHelp", K::PushButton, "picSwitch", {0, 0, 1035, 300}, 8, u"راهـنـما"));
    v.push_back(With(C("cmdShowSoreh", K::PushButton, "picSwitch", {1800, 0, 1035, 300}, 6, u"سـورہ ها"),
                     [](auto& c) { c.enabled = false; }));
    v.push_back(C("cmdShowSearch", K::PushButton, "picSwitch", {840, 0, 915, 300}, 7, u"جـسـتـجـو"));
    v.push_back(With(C("picPanelSearch", K::Container, "", {4125, 0, 3255, 8805}, 30), [](auto& c) {
        c.visible = false;
        c.dock = Dock::Right;
    }));
    v.push_back(C("picSearchIn", K::Container, "picPanelSearch", {100, 1080, 2955, 495}, 35));
    v.push_back(With(C("optSearchInQ", K::OptionButton, "picSearchIn", {1440, 50, 1395, 195}, 24, u"متن قرآن"),
                     [](auto& c) { c.selected = true; }));
    v.push_back(C("optSearchInT", K::OptionButton, "picSearchIn", {120, 50, 1395, 195}, 25, u" ترجمه قرآن"));
    // an addition: searching the notes of the cards, shown while a card has one
    v.push_back(With(C("optSearchInN", K::OptionButton, "picSearchIn", {120, 50, 900, 195}, 41, u"یادداشت"),
                     [](auto& c) { c.visible = false; }));
    v.push_back(C("cmdSearch", K::PushButton, "picPanelSearch", {100, 1680, 2955, 320}, 34, u"شـروع"));
    v.push_back(With(C("txtSearch", K::TextBox, "picPanelSearch", {100, 360, 2955, 285}, 23), [](auto& c) {
        c.align = Align::Right;
        c.rightToLeft = true;
    }));
    v.push_back(C("wbrSearchResult", K::BrowserPane, "picPanelSearch", {105, 2640, 2955, 4920}, 32));
    v.push_back(With(C("lblSearchResult", K::Label, "picPanelSearch", {100, 2280, 2955, 255}, 33, u"نـتايـج جـسـتـجـو"),
                     [](auto& c) { c.align = Align::Center; }));
    v.push_back(With(C("lblSearch", K::Label, "picPanelSearch", {100, 0, 2955, 250}, 31, u"جـسـتـجـو"),
                     [](auto& c) { c.align = Align::Center; }));
    v.push_back(With(C("picTools", K::Container, "", {0, 8805, 10635, 400}, 26), [](auto& c) {
        c.visible = false;
        c.dock = Dock::Bottom;
    }));
    v.push_back(C("wbrTools", K::BrowserPane, "picTools", {600, 0, 615, 255}, 27));
    v.push_back(With(C("picMPanel", K::Container, "", {0, 0, 6735, 8805}, 9), [](auto& c) { c.dock = Dock::Left; }));
    v.push_back(With(C("hsAllQuran", K::ScrollBar, "picMPanel", {120, 5400, 6315, 200}, 22), [](auto& c) {
        c.minimum = 0;
        c.maximum = 604;
        c.value = 1;
    }));
    v.push_back(With(C("hsPage", K::ScrollBar, "picMPanel", {120, 370, 6315, 200}, 11), [](auto& c) {
        c.visible = false;
        c.minimum = 1;
        c.maximum = 604;
        c.value = 1;
    }));
    v.push_back(C("wbrQuran", K::BrowserPane, "picMPanel", {120, 600, 6315, 4680}, 10));
    v.push_back(C("wbrFarsi", K::BrowserPane, "picMPanel", {120, 5880, 6315, 1600}, 12));
    v.push_back(With(C("lblPage", K::Label, "picMPanel", {120, 105, 6315, 250}, 14, u"ترجمه"),
                     [](auto& c) { c.align = Align::Center; }));
    v.push_back(With(C("lblFarsi", K::Label, "picMPanel", {120, 5600, 6315, 250}, 13, u"ترجمه"),
                     [](auto& c) { c.align = Align::Center; }));
    v.push_back(With(C("picPanelQuran", K::Container, "", {7380, 0, 3255, 8805}, 1), [](auto& c) { c.dock = Dock::Right; }));
    v.push_back(With(C("txtQSearch", K::TextBox, "picPanelQuran", {120, 3720, 2955, 285}, 0), [](auto& c) {
        c.align = Align::Center;
        c.rightToLeft = true;
    }));
    v.push_back(C("picGotoTools", K::Container, "picPanelQuran", {120, 4440, 3075, 1200}, 16));
    auto box = [](const char* name, Rect r, int tab, int max) {
        return With(C(name, K::TextBox, "picGotoTools", r, tab, u"0"), [max](auto& c) {
            c.align = Align::Center;
            c.maxLength = max;
        });
    };
    v.push_back(box("txtJoze", {120, 600, 2235, 240}, 4, 2));
    v.push_back(box("txtPage", {120, 900, 2235, 240}, 5, 3));
    v.push_back(box("txtSoreh", {120, 0, 2235, 240}, 2, 3));
    v.push_back(box("txtAyeh", {120, 300, 2235, 240}, 3, 3));
    auto caption = [](const char* name, Rect r, int tab, std::u16string text) {
        return With(C(name, K::Label, "picGotoTools", r, tab, std::move(text)), [](auto& c) { c.align = Align::Right; });
    };
    v.push_back(caption("Label1(6)", {2580, 300, 360, 195}, 20, u"آيــــه"));
    v.push_back(caption("Label1(4)", {2520, 0, 420, 195}, 19, u"سـوره"));
    v.push_back(caption("Label1(2)", {2475, 900, 465, 195}, 18, u"صـفحه"));
    v.push_back(caption("Label1(0)", {2520, 600, 420, 195}, 17, u"جـــز ء"));
    v.push_back(C("wbrSoreh", K::BrowserPane, "picPanelQuran", {120, 480, 2955, 2700}, 15));
    auto centred = [](const char* name, Rect r, int tab, std::u16string text) {
        return With(C(name, K::Label, "picPanelQuran", r, tab, std::move(text)), [](auto& c) { c.align = Align::Center; });
    };
    v.push_back(centred("lblQSearch", {120, 3360, 2955, 250}, 29, u"جـسـتـجـوي سـريـع سـوره "));
    v.push_back(centred("lblSoreh", {120, 120, 2955, 250}, 28, u"لـيـسـت سـورہ ها"));
    v.push_back(centred("llblGoto", {120, 4080, 2955, 255}, 21, u"بـرو بـه"));
    return v;
}

}  // namespace

Placement CenterPlacement(long screenWidth, long screenHeight, long windowWidth, long windowHeight) {
    return {static_cast<double>(screenWidth - windowWidth) / 2, static_cast<double>(screenHeight - windowHeight) / 3};
}

const std::vector<ControlSpec>& Controls() {
    static const std::vector<ControlSpec> controls = Build();
    return controls;
}

const ControlSpec* FindControl(const std::string& name) {
    for (const ControlSpec& c : Controls())
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace mushaf::layout
