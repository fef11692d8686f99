#pragma once
// Docking and the resize rules of the window's containers, over a table of
// control rectangles in twips. An assignment that would give a negative
// width or height is skipped; the control keeps its previous value.
#include <map>
#include <set>
#include <string>

#include "layout/ControlTree.h"

namespace mushaf::layout {

class Geometry {
public:
    // Every control at its design rectangle, with its design visibility.
    Geometry();

    const Rect& operator[](const std::string& name) const { return rects_.at(name); }
    bool Visible(const std::string& name) const { return !hidden_.count(name); }
    void SetVisible(const std::string& name, bool visible);
    const std::map<std::string, Rect>& All() const { return rects_; }

    // The window's client area changed: dock the edge containers, apply the
    // window rule and the rules of the visible containers.
    void ResizeClient(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }

    // The rules, each run when its container's size changes or it is shown.
    void MainPanelRule();
    void SurahPanelRule();
    void SearchPanelRule();
    void OptionRowRule();
    void SwitchBarRule();
    void ToolsStripRule();
    void HelpPaneRule();

private:
    void SetLeft(const std::string& n, int v) { rects_[n].left = v; }
    void SetTop(const std::string& n, int v) { rects_[n].top = v; }
    void SetWidth(const std::string& n, int v) {
        if (v >= 0) rects_[n].width = v;
    }
    void SetHeight(const std::string& n, int v) {
        if (v >= 0) rects_[n].height = v;
    }
    int Below(const std::string& n) const { return rects_.at(n).top + rects_.at(n).height + 100; }
    void Dock();
    // The top row of a panel: 100 in from its left and top, as wide as the panel less 200.
    void FirstRow(const std::string& row, const Rect& panel);
    // Stacks `rows` (after the first) at left 100 below each other, each as wide as the first.
    void StackBelow(std::initializer_list<const char*> rows);

    std::map<std::string, Rect> rects_;
    std::set<std::string> hidden_;
    int clientWidth_ = kDesignClientWidth, clientHeight_ = kDesignClientHeight;
};

}  // namespace mushaf::layout
