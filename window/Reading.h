#pragma once
// Reading: the page, its marked ayah and its translation drawn at the
// reader's line, and the inputs that move the reader there (the number
// boxes, the page slider's steps, a click in the page, the surah index, a
// result row, a random ayah) and the copy of an ayah. Every move goes
// through the reading state; its Moved runs the refresh sequence once.
#include <QObject>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "model/MushafMarks.h"
#include "model/cQ114.h"
#include "platform/Services.h"
#include "platform/TableSource.h"
#include "views/Documents.h"
#include "views/Help.h"
#include "window/ReadingState.h"

class QLabel;
class QLineEdit;
class QScrollBar;

namespace mushaf {

class KeptChoices;
class NumberBox;
class Panes;

class ReadingPart : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QScrollBar *line, *page;
        NumberBox *surah, *ayah, *juz, *pageBox;
        QLabel *pageCaption, *translationCaption;
    };
    struct Services {
        const TableSource& tables;
        Clipboard& clipboard;
        KeyboardLayout& keyboard;
    };
    ReadingPart(ReadingState& state, cQ114& model, Panes& panes, const KeptChoices& choices, Services services,
                Controls controls, QObject* parent = nullptr);

    // The load's part: the documents every pane starts with (the shell, the
    // help page with `keys`, the surah index), the marks of the mushaf and
    // the pages' first lines.
    void Load(uint32_t buttonFace, const std::vector<views::HelpKey>& keys);
    const std::vector<int16_t>& PageStartList() const { return pageStarts_; }
    const MushafMarks& Marks() const { return marks_; }
    const Text& BackColorHex() const { return backColorHex_; }
    const Text& ShellDocument() const { return shellDocument_; }

    // The text with its vowel marks, or without; the Uthmani script always
    // has them.
    bool ShowEarab() const { return showEarab_; }
    void SetShowEarab(bool on);
    bool ScrollOnSelect() const { return scrollOnSelect_; }
    // The page the page pane holds (its cache key: a spread's first page).
    const QString& PageTag() const { return pageTag_; }
    // The pages the page pane shows: one, or two side by side.
    const std::vector<int16_t>& ShownPages() const { return shown_; }

    // The page written again at the reader's line (another script, view or
    // marks), and the translation (another translation, or the page's).
    void Redraw();
    void RewriteTranslation();
    // How the translations are shown (a pack's direction, a second one); as
    // designed until set.
    void SetTranslationLook(std::function<views::TranslationsLook()> look) { translationLook_ = std::move(look); }
    // What the parts say beside the page's number, each a part of the caption.
    void AddCaption(std::function<QString()> note);
    void ShowPageCaption();

    void NumberBox_Entered(NumberBox* box);
    // PageUp/PageDown and the line slider's track: a page at a time.
    void TurnPage(int action);
    // A key in the page pane (no modifiers): Left the next page and Right the
    // previous (a spread at a time), Down and Up the next and previous ayah,
    // PageDown and PageUp the next and previous page once the pane cannot
    // scroll further that way, Home and End the page's first and last ayah.
    // True when taken.
    bool PageKey(int key);
    void hsPage_Change();
    void DocQuran_onclick(const QString& tagName, const QString& id);
    void DocSoreh_onclick(const QString& tagName, const QString& id);
    void DocSearchResult_onclick(const QString& tagName, const QString& id);
    // The index of the surahs `filter` shows; Return opens its first.
    void Show_Soreh(const Text& filter);
    void OpenFirstSurah(const Text& filter);
    void Copy_Ayeh();
    void GoRandomAyeh();

signals:
    // A page was written into the page pane (memorisation hides what it should).
    void PageWritten();
    // The translation of lines first..last was written into the translation pane.
    void TranslationWritten(int16_t first, int16_t last);

private:
    void Moved(ReadingState::From from);
    void hsAllQuran_Change(bool scroll = true);
    void Refresh();
    void Set_Objects();
    void Set_Quran(int16_t page);
    void Set_Ayeh(int16_t line);
    void Set_Farsi(int16_t line);
    void Set_Help(const std::vector<views::HelpKey>& keys);
    // Whether the page pane shows a spread: in the mushaf view, chosen, and
    // wide enough for two readable pages.
    bool SpreadFits() const;
    // The first line of page `page` moved to, `pages` pages on (a spread counts two).
    void TurnBy(int pages, ReadingState::From from);
    std::pair<int16_t, int16_t> LinesOf(int page) const;

    ReadingState& state_;
    cQ114& Q114;
    Panes& panes_;
    const KeptChoices& choices_;
    Services services_;
    Controls c_;
    MushafMarks marks_;
    std::vector<int16_t> pageStarts_;
    Text shellDocument_, backColorHex_;
    bool showEarab_ = false;
    bool scrollOnSelect_ = false;
    QString pageTag_;
    bool spread_ = false;  // the page pane shows a spread
    std::vector<int16_t> shown_;
    int16_t translatedPage_ = -1;  // the page whose translation the translation pane shows
    std::vector<std::function<QString()>> captions_;
    std::function<views::TranslationsLook()> translationLook_;
};

}  // namespace mushaf
