#pragma once
// The main window: a frame. It builds the controls from the control tree,
// makes the parts (each a feature of its own: Parts.h), wires them to the
// controls and to each other, and holds no feature's state. Its own are the
// layout, the side panels, the window's own keys and buttons, the key
// preview and the tab order, and the close.
#include <QWidget>
#include <map>
#include <memory>
#include <optional>

#include "layout/Rules.h"
#include "model/cQ114.h"
#include "window/Parts.h"
#include "window/ReadingState.h"
#include "window/WindowServices.h"

class QAction;
class QMenu;

namespace mushaf {

class WebPane;

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(WindowServices services);
    ~frmMain() override;

    // The load sequence; run once before the window is shown.
    void Form_Load();
    // After Form_Load: the line to open at (a reference given at start-up),
    // or else the remembered place when the reader keeps one.
    void StartAt(std::optional<int16_t> line);

    // ---- what the automation and the tests read and drive ----
    QWidget* Control(const std::string& name) const;
    WebPane* Pane(const std::string& name) const;
    const std::map<std::string, QWidget*>& Controls() const { return controls_; }
    const layout::Geometry& Layout() const { return geometry_; }
    // The upper bound a number box holds, or a pane's tag.
    QString Tag(const std::string& name) const;
    const cQ114& Model() const { return *Q114; }
    // The current line, as its one owner holds it.
    int16_t Line() const { return state_.Line(); }
    bool PanesIdle() const;
    // The six document panes, the page pane first.
    const std::vector<WebPane*>& Panes() const { return panes_; }
    void ResizeClient(int widthTwips, int heightTwips);
    const WindowParts& Parts() const { return parts_; }
    // Dialogs and opening exported files; off while the window is driven.
    void SetInteractive(bool on) { messages_->SetInteractive(on); }
    QAction* MenuAction(const QString& name) const;
    QMenu* ContextMenu() const;

    // The window's own keys (F1 to F4, F9, F12) and buttons.
    void Form_KeyDown(int keyCode, int shift);
    void cmdHelp_Click();
    void cmdShowSoreh_Click();
    void cmdShowSearch_Click();

signals:
    void PanesBecameIdle();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The key preview: the window sees every key before the focused control.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectControls();
    // The parts, in the order they hear a move: the page is drawn first.
    void MakeParts();
    void WireParts();
    void Form_Unload();
    void ApplyGeometry();
    void SetPanelVisible(const std::string& name, bool visible);
    void MoveFormCenter();
    // Before the panes go (their views stopped drawing at the close): the
    // event loop runs while what the compositor had on its way arrives.
    void SettleCompositor();
    // Tab and Shift+Tab: the focus to the next (previous) stop of the tab order.
    bool TabStep(bool forward);
    void DocTools_onclick(const QString& tagName, const QString& id);
    bool TakeKey(QKeyEvent* key);

    static constexpr int kCompositorSettleMs = 60;

    WindowServices services_;
    ReadingState state_;
    std::unique_ptr<cQ114> Q114;
    layout::Geometry geometry_;
    std::map<std::string, QWidget*> controls_;
    std::vector<WebPane*> panes_;
    // the controls that take the focus, in the window's tab order
    std::vector<QWidget*> tabOrder_;
    // the services the parts share, then the parts (gone before them)
    std::unique_ptr<KeptChoices> choices_;
    std::unique_ptr<Clock> clock_;
    std::unique_ptr<MessageLine> messages_;
    std::unique_ptr<CommandTable> commands_;
    std::unique_ptr<PaneTable> paneTable_;
    std::unique_ptr<ReadingPart> reading_;
    std::unique_ptr<SearchPart> search_;
    std::unique_ptr<AppearancePart> appearance_;
    std::unique_ptr<TranslationsPart> translations_;
    std::unique_ptr<ScreenReaderPart> screenReader_;
    std::unique_ptr<NoteCardsPart> cards_;
    std::unique_ptr<HistoryPart> history_;
    std::unique_ptr<KhatmahPart> khatmah_;
    std::unique_ptr<HifzPart> hifz_;
    std::unique_ptr<RecitationPart> recitation_;
    std::unique_ptr<PlacePart> place_;
    WindowParts parts_;
    bool loaded_ = false;
    bool closed_ = false;
};

}  // namespace mushaf
