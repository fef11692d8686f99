#pragma once
// The control tree of the main window: names, kinds, containers, design
// geometry (twips), tab order, captions and initial state. Plain data; the
// window builds its widgets from it.
#include <string>
#include <vector>

namespace mushaf::layout {

enum class Kind { Container, Label, TextBox, PushButton, OptionButton, ScrollBar, BrowserPane };
enum class Align { Left, Right, Center };
enum class Dock { None, Left, Right, Bottom };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

struct ControlSpec {
    std::string name;
    Kind kind;
    std::string parent;  // empty: the window
    Rect design;
    int tab;
    std::u16string caption;  // caption or initial text
    bool visible = true;
    bool enabled = true;
    Align align = Align::Left;
    Dock dock = Dock::None;
    int maxLength = 0;       // text boxes: 0 = no limit
    bool rightToLeft = false;
    bool selected = false;   // option buttons
    int minimum = 0, maximum = 0, value = 0;  // scroll bars
};

inline constexpr int kTwipsPerPixel = 15;
// Twips to whole pixels (nearest, halves away from zero) and back.
inline int ToPixels(double twips) {
    double px = twips / kTwipsPerPixel;
    return static_cast<int>(px < 0 ? px - 0.5 : px + 0.5);
}
inline int ToTwips(int pixels) { return pixels * kTwipsPerPixel; }
inline constexpr int kDesignClientWidth = 10635;
inline constexpr int kDesignClientHeight = 9210;
// The smallest client area a kept window place may have: room for the side
// panel and as much again for the page, and half the design's height.
inline constexpr int kMinClientWidth = 6510;
inline constexpr int kMinClientHeight = 4605;
inline constexpr char16_t kWindowCaption[] = u"قرآن الکريم";

// Where the window goes on the screen (all in twips): centred across, one
// third of the free height from the top; no clamping.
struct Placement {
    double left, top;
};
Placement CenterPlacement(long screenWidth, long screenHeight, long windowWidth, long windowHeight);

// Every control, children after their container, siblings front to back.
const std::vector<ControlSpec>& Controls();
const ControlSpec* FindControl(const std::string& name);

}  // namespace mushaf::layout
