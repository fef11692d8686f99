#pragma once
// The main window: the control tree, start-up and shutdown, the refresh
// sequence, the number boxes and sliders, the commands and keys, and the
// dispatch of clicks inside the documents.
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "Rules.h"
#include "Services.h"
#include "TableSource.h"
#include "cQ114.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace mushaf {

class NumberBox;
class WebPane;

struct WindowServices {
    const TableSource& tables;
    const SystemColours& colours;
    Clipboard& clipboard;
    KeyboardLayout& keyboard;
};

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(WindowServices services);
    ~frmMain() override;

    // The load sequence; run once before the window is shown.
    void Form_Load();

    // ---- what the automation and the tests read and drive ----
    QWidget* Control(const std::string& name) const;
    WebPane* Pane(const std::string& name) const;
    const std::map<std::string, QWidget*>& Controls() const { return controls_; }
    const layout::Geometry& Layout() const { return geometry_; }
    QString Tag(const std::string& name) const;
    const cQ114& Model() const { return *Q114; }
    bool ShowEarab() const { return ShowEarab_; }
    bool ScrollOnSelect() const { return ScrollOnSelect_; }
    bool PanesIdle() const;
    // The six document panes, the page pane first.
    const std::vector<WebPane*>& Panes() const { return panes_; }
    void ResizeClient(int widthTwips, int heightTwips);

    // The key-down handler; the window sees every key before the focused control.
    void Form_KeyDown(int keyCode, int shift);
    void cmdHelp_Click();
    void cmdShowSoreh_Click();
    void cmdShowSearch_Click();
    void cmdSearch_Click();
    void Copy_Ayeh();
    void lblFarsi_DblClick();
    void lblSearch_DblClick();
    void GoRandomAyeh();

signals:
    void PanesBecameIdle();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    // The rendering-only style rules of a pane.
    QString PaneStyle(const std::string& pane) const;
    void ApplyGeometry();
    void SetPanelVisible(const std::string& name, bool visible);
    void MoveFormCenter();
    void Form_Unload();

    // the refresh sequence and its parts: `place` moves the model, the rest
    // draws where it stands
    void Refresh(const std::function<void()>& place);
    void hsAllQuran_Change();
    void hsPage_Change();
    void Set_Objects();
    void Set_Quran(int16_t page);
    void Set_Ayeh(WebPane* pane, int16_t line);
    void Set_Farsi(WebPane* pane, int16_t line);
    void Set_Help();
    void Show_Soreh(const Text& filter);
    void Write_Search_Result();

    // a number box moves the model to what it holds
    void NumberBox_Entered(NumberBox* box);

    // clicks in documents
    void DocQuran_onclick(const QString& tagName, const QString& id);
    void DocSoreh_onclick(const QString& tagName, const QString& id);
    void DocSearchResult_onclick(const QString& tagName, const QString& id);
    void DocTools_onclick(const QString& tagName, const QString& id);

    WindowServices services_;
    std::unique_ptr<cQ114> Q114;
    std::vector<int16_t> PageStartList;
    Text ShellDocument, BackColorHex;
    bool InChange = false;
    bool ScrollOnSelect_ = false;
    bool ShowEarab_ = false;

    layout::Geometry geometry_;
    std::map<std::string, QWidget*> controls_;
    std::map<std::string, QString> tags_;
    QScrollBar *hsAllQuran = nullptr, *hsPage = nullptr;
    NumberBox *txtSoreh = nullptr, *txtAyeh = nullptr, *txtJoze = nullptr, *txtPage = nullptr;
    QLineEdit *txtQSearch = nullptr, *txtSearch = nullptr;
    QLabel *lblPage = nullptr, *lblFarsi = nullptr, *lblSearch = nullptr;
    QPushButton *cmdHelp = nullptr, *cmdShowSoreh = nullptr, *cmdShowSearch = nullptr, *cmdSearch = nullptr;
    QRadioButton *optSearchInQ = nullptr, *optSearchInT = nullptr;
    WebPane *wbrQuran = nullptr, *wbrFarsi = nullptr, *wbrSoreh = nullptr, *wbrSearchResult = nullptr,
            *wbrTools = nullptr, *wbrHelp = nullptr;
    std::vector<WebPane*> panes_;
    bool loaded_ = false;
};

}  // namespace mushaf
