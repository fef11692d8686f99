#pragma once
// The main window. One class, its jobs in files of their own:
//   frmMain.cpp     the control tree, the geometry, the panels
//   Reading.cpp     start-up and shutdown, the refresh sequence, the number
//                   boxes, search, and the clicks inside the documents
//   Commands.cpp    the command table: the menu, the keys, the wheel, the
//                   tab order, the buttons and the clipboard
//   Appearance.cpp  text size, the Quran font, night reading, full screen,
//                   the script and the translation
//   NoteCards.cpp   note cards and their notes, exports, the window's messages
//   History.cpp     the reader's clock, history and khatmah plan, the notes option
//   Hifz.cpp        memorisation
//   Recitation.cpp  recitation: the page following a reciter's recordings
//   Kept.cpp        the kept choices and the remembered place
#include <QDate>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "layout/Rules.h"
#include "model/MushafMarks.h"
#include "model/cQ114.h"
#include "platform/Audio.h"
#include "platform/Services.h"
#include "platform/TableSource.h"
#include "views/Styles.h"
#include "window/Command.h"
#include "window/Dialogs.h"
#include "window/ReaderChoices.h"
#include "window/Recital.h"
#include "window/ReadingState.h"

class QAction;
class QElapsedTimer;
class QTimer;
class QKeyEvent;
class QLabel;
class QMenu;
class QWheelEvent;
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
    // the reader's choices, kept across runs
    Settings& settings;
    // where exports are written
    std::filesystem::path exportFolder = DefaultExportFolder();
    // where reciters' folders are looked for, and what plays them (none: no sound)
    std::vector<std::filesystem::path> recitationFolders = {};
    AudioPlayerMaker audio = {};
    // The text model read ahead from `tables` (see ReadModelAhead), taken by
    // Form_Load; without it Form_Load reads the model itself.
    std::function<std::unique_ptr<cQ114>()> model = {};
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
    // The current line, as its one owner holds it.
    int16_t Line() const { return state_.Line(); }
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

    // ---- the reader's additions ----
    using QuranFont = views::QuranFont;
    // After Form_Load: the line to open at (a reference given at start-up),
    // or else the remembered place when the reader keeps one.
    void StartAt(std::optional<int16_t> line);
    // Dialogs and opening exported files; off while the window is driven.
    void SetInteractive(bool on) { interactive_ = on; }
    QMenu* ContextMenu() const { return menu_; }
    QAction* MenuAction(const QString& name) const;
    // Every command, as the menu, the keys and the automation know it.
    const std::vector<Command>& Commands() const { return commands_; }
    // The current ayah's note, as the note dialog sets it (a card made if
    // there is none; an empty note leaves the card without one).
    void SetNote(const QString& note);
    void SetNoteOn(int16_t line, const QString& note);
    const std::map<int16_t, std::u16string>& Notes() const { return choices_.notes; }
    // The reader's answer to the next question the window asks, given ahead
    // (while the window is driven it asks no one).
    void AnswerNext(bool yes) { pendingAnswer_ = yes; }
    // The reader's clock, in ms; the automation moves it on.
    qint64 Now() const;
    void AdvanceClock(int seconds);
    // The ayat the reader stayed on, newest first.
    const std::vector<int16_t>& History() const { return choices_.history; }
    // The day the khatmah plan sees as today (the system's, unless set).
    void SetToday(const QDate& day) { today_ = day; }
    // A khatmah plan as its dialog sets it (from today), and its end.
    void SetKhatmah(int days, int startPage);
    void EndKhatmah();
    const std::optional<KhatmahPlan>& Khatmah() const { return choices_.khatmah; }
    // Today's portion of the plan: none without a plan or once its days are over.
    std::optional<KhatmahPlan::Portion> KhatmahToday() const;
    bool Hifz() const { return choices_.hifz; }
    // The first line whose words are hidden (some may be shown), or -1.
    int16_t HiddenFrom() const { return hiddenFrom_; }
    double Zoom(const std::string& pane) const;
    QuranFont ChosenQuranFont() const { return choices_.quranFont; }
    static QString QuranFontName(QuranFont font);
    bool Night() const { return choices_.night; }
    bool RememberPlace() const { return choices_.rememberPlace; }
    bool Uthmani() const { return choices_.uthmani; }
    bool MushafView() const { return choices_.mushafView; }
    bool PageTranslation() const { return choices_.pageTranslation; }
    const ReaderChoices& Choices() const { return choices_; }
    const QStringList& Exported() const { return exported_; }
    const QString& Message() const { return message_; }
    // The recitation as it stands: the reciter that plays (the chosen one, or
    // the first found), what plays and how often it has played.
    struct RecitalState {
        QString reciter;  // empty: none found
        bool playing = false, paused = false;
        int16_t line = -1, stopLine = -1;
        QString file;
        int played = 0;
    };
    RecitalState Recital() const;
    const std::vector<Reciter>& Reciters() const { return reciters_; }
    // where the reader's own reciters' folders go
    static std::filesystem::path UserRecitationFolder();
    // Zooms a pane by `steps` (0: back to as designed).
    void ZoomPane(WebPane* pane, int steps);

signals:
    void PanesBecameIdle();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- the control tree (frmMain.cpp) ----
    void BuildControls();
    WebPane* MakePane(const layout::ControlSpec& c, QWidget* parent);
    void OrderControls();
    void StartPanes();
    void FindControls();
    void ConnectControls();
    // The rendering-only style rules of a pane.
    QString PaneStyle(const std::string& pane) const;
    void ApplyGeometry();
    void SetPanelVisible(const std::string& name, bool visible);
    void MoveFormCenter();
    // Before the panes go: their views stop drawing, and what the compositor
    // had on its way arrives.
    void SettleCompositor();
    static constexpr int kCompositorSettleMs = 60;

    // ---- reading (Reading.cpp): the refresh sequence and its parts; `place`
    // moves the model, the rest draws where it stands ----
    void Form_Unload();
    void Refresh(const std::function<void()>& place);
    // The reader moved: everything drawn again at the owner's line.
    void Moved(ReadingState::From from);
    // the refresh at the current line (`scroll`: the page to the marked line)
    void hsAllQuran_Change(bool scroll = true);
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
    // PageUp/PageDown and the slider's track: a page at a time
    void TurnPage(int action);
    // clicks in documents
    void DocQuran_onclick(const QString& tagName, const QString& id);
    void DocSoreh_onclick(const QString& tagName, const QString& id);
    void DocSearchResult_onclick(const QString& tagName, const QString& id);
    void DocTools_onclick(const QString& tagName, const QString& id);

    // ---- commands (Commands.cpp) ----
    void BuildCommands();
    std::vector<Command> LookCommands();
    void BuildReaderMenu();
    // Runs the command a key stands for, if one does.
    bool ReaderKey(QKeyEvent* key);
    bool ReaderWheel(QObject* watched, QWheelEvent* wheel);
    WebPane* PaneUnder(QObject* watched) const;
    // the pane a size command is for: the one the menu was opened over, or
    // from the keys the translation when it has the focus, else the page
    WebPane* SizedPane() const;
    // Tab and Shift+Tab: the focus to the next (previous) stop of the tab order.
    bool TabStep(bool forward);
    // the check marks of the menu, from the state they show
    void UpdateChecks();

    // ---- appearance (Appearance.cpp) ----
    void ApplyRenderingStyles();
    void ApplyRenderingStyle(WebPane* pane);
    void ApplyNightPalette();
    void SetQuranFont(QuranFont font);
    void ToggleNight();
    void ToggleFullScreen();
    void SetScript(bool uthmani);
    void SetTranslation(cQ114::Translation translation);
    void RedrawPage();
    // the page as a printed mushaf draws it, or line by line
    void ToggleMushafView();
    // the translation of the whole page, or of the current ayah
    void TogglePageTranslation();
    // The number of found lines above the result list (0: none shown).
    void ShowResultCount(int count);

    // ---- note cards, exports, messages (NoteCards.cpp) ----
    void ToggleFish();
    // After a card or a note changed: kept, marked on the page, the list shown again.
    void CardsChanged();
    // The note dialog of the current ayah's card.
    void EditNote();
    // How the window's dialogs look (titled with the window's caption unless given).
    dialogs::Looks DialogLooks(const QString& title = {});
    // Asks the reader a yes-or-no question; no when no one answers.
    bool Ask(const QString& question);
    // The cards with a note, for the page's marks.
    std::vector<int16_t> NotedLines() const;
    // `keepPlace`: the list shown is refreshed where the reader is in it.
    void ShowFish(bool keepPlace = false);
    void LeaveFishList();  // the result caption back when a search replaces the cards or the history
    void ExportList(bool fish);
    // In a message box (while the reader is at the window) and in Message().
    void ShowMessage(const QString& text, bool warning = true);
    // Tells the reader, once, that the settings file could not be read or written.
    void ReportSettingsTrouble();
    // A pane rests after losing its renderer again and again: the message says so.
    void RendererTrouble();

    // ---- the reader's history (History.cpp) ----
    // The line the reader is on now: the one before is in the history if it
    // was read long enough.
    void StartDwell();
    // The current line into the history once the reader has stayed on it.
    void NoteDwell();
    void ShowHistory();
    // ---- memorisation (Hifz.cpp) ----
    void ToggleHifz();
    void ToggleHifzTranslation();
    // The next word of the first hidden ayah shown (`all`: the rest of it);
    // a completed ayah makes the next one current.
    void RevealWord(bool all);
    // The page pane hides what it should; after a page is written, from its
    // first line when it is another page.
    void ApplyHifz(bool newPage = false);
    // The plan's dialog, or (with a plan) its end.
    void KhatmahDialog();
    // The page's caption, with today's portion of a khatmah plan (and what
    // the recitation says while it plays); ShowPageCaption writes the current
    // page's into its label.
    QString PageCaption(int16_t page) const;
    void ShowPageCaption();
    // The notes option of the search row, shown while a card has a note.
    void UpdateNotesOption();
    void SearchNotes();

    // ---- recitation (Recitation.cpp) ----
    std::vector<Command> RecitationCommands();
    const Reciter* ActiveReciter() const;
    // F5: plays from the current ayah, or pauses, or goes on
    void PlayOrPause();
    void StopRecitation();
    // Plays from `line`, or from the first line after it with a recording,
    // up to where the reader's choice stops it.
    void ReciteFrom(int16_t line);
    void PlayLine(int16_t line);
    // The recording that follows made ready.
    void PrepareNext();
    void RecordingEnded();
    void RecordingFailed(const std::string& why);
    void NextLine();
    void RecitationFollowsReader(ReadingState::From from);
    void RecitationNotice(const QString& text);
    void ChooseReciter(const std::u16string& name);
    // the list of every reciter, where the sub-menu shows only the first
    void ChooseReciterFromList();
    static constexpr std::size_t kRecitersInMenu = 12;
    void SetRepeat(int times);
    void SetPlayTo(ReaderChoices::PlayTo to);
    void SetSpeed(int percent);
    std::pair<int, int> SurahAyahOf(int16_t line) const;
    const std::vector<int16_t>& UnitFirsts(ReaderChoices::PlayTo unit) const;
    std::optional<std::filesystem::path> RecordingOf(int16_t line) const;
    // The first line from `line` up to where playing stops that has a
    // recording; past that line when none has.
    int16_t RecordedFrom(int line) const;

    // ---- kept choices and the remembered place (Kept.cpp) ----
    void LoadChoices();
    void SaveChoices();
    void ToggleRememberPlace();
    void KeepPlace();
    bool RestorePlace();

    ReadingState state_;
    std::vector<Command> commands_;
    QMenu* menu_ = nullptr;
    std::map<QString, QAction*> actions_;  // the menu's entries by name
    std::vector<std::pair<const Command*, QAction*>> checkable_;  // the choices' entries
    WebPane* menuPane_ = nullptr;  // the pane the menu was opened over
    std::optional<ChoiceStore> store_;
    ReaderChoices choices_;
    bool interactive_ = true;
    // what the result pane lists of the reader's own, rather than a search
    enum class Listing { Search, Cards, History } listing_ = Listing::Search;
    // the result pane lists the model's found list (not a message of a search it did not run)
    bool searchListed_ = false;
    bool settingsReported_ = false;
    std::optional<bool> pendingAnswer_;
    // the line being read, since when, and whether it is in the history yet
    int16_t dwellLine_ = -1;
    qint64 dwellSince_ = 0, clockOffset_ = 0;
    bool dwellNoted_ = false;
    // the page on screen, since when, and whether it counts as read yet
    int16_t pageDwell_ = -1;
    qint64 pageSince_ = 0;
    bool pageNoted_ = false;
    QDate today_ = QDate::currentDate();
    int16_t hiddenFrom_ = -1;
    int revealed_ = 0;  // words of the line hiddenFrom_ shown
    int16_t translatedPage_ = -1;  // the page whose translation the translation pane shows
    QTimer* dwellTimer_ = nullptr;
    // recitation
    std::vector<Reciter> reciters_;
    std::map<std::u16string, std::size_t> reciterAt_;  // by name
    // the reciter that plays, for the name it was last found for
    mutable std::pair<std::u16string, const Reciter*> active_{u"\uFFFF", nullptr};
    Recordings recordings_;  // the reciter's, as found at the last start
    std::unique_ptr<AudioPlayer> player_;
    enum class Sound { Stopped, Playing, Paused } sound_ = Sound::Stopped;
    int16_t playingLine_ = -1, stopLine_ = -1;
    std::filesystem::path playingFile_;
    int timesPlayed_ = 0, failures_ = 0;
    bool retried_ = false;  // the recording playing failed once and is tried again
    std::function<void()> onResume_;  // an end or a failure that came as the reader paused
    QString recitationNotice_;  // said beside the page's caption while it plays
    mutable std::vector<int16_t> unitFirsts_[4];  // first lines of every page, surah, juz'
    std::unique_ptr<QElapsedTimer> clock_;
    int resultCount_ = 0;
    std::map<QWidget*, QPalette> dayPalettes_;
    QRect normalPlace_;  // the window's place before full screen
    Qt::WindowStates stateBeforeFullScreen_;
    std::map<QWidget*, bool> dayFilled_;
    int wheelDelta_ = 0;  // Ctrl+wheel not yet taken as a step
    QStringList exported_;
    QString message_;

    WindowServices services_;
    std::unique_ptr<cQ114> Q114;
    MushafMarks marks_;
    std::vector<int16_t> PageStartList;
    Text ShellDocument, BackColorHex;
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
    QRadioButton *optSearchInQ = nullptr, *optSearchInT = nullptr, *optSearchInN = nullptr;
    WebPane *wbrQuran = nullptr, *wbrFarsi = nullptr, *wbrSoreh = nullptr, *wbrSearchResult = nullptr,
            *wbrTools = nullptr, *wbrHelp = nullptr;
    std::vector<WebPane*> panes_;
    // the controls that take the focus, in the window's tab order
    std::vector<QWidget*> tabOrder_;
    bool loaded_ = false;
    bool closed_ = false;
};

}  // namespace mushaf
