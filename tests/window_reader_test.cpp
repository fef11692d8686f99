// The reader's additions end to end: the context menu, text size, the Quran
// font, night reading, full screen, the remembered place, note cards and
// their export, the script and the translation, each kept across runs.
#include <QDir>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/WindowRun.h"
#include "window/frmMain.h"

using mushaf::testing::RunProcess;
using mushaf::testing::RunWindow;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
double Number(const mushaf::testing::WindowRun& r, int k) { return r.state["evaluated"].toArray()[k].toDouble(); }
QString Evaluated(const mushaf::testing::WindowRun& r, int k) { return r.state["evaluated"].toArray()[k].toString(); }

// A settings file for runs that follow each other.
struct Kept {
    QTemporaryDir dir;
    QString file = dir.filePath("settings.ini");
    QStringList options() const { return {"--settings", file}; }
};
}  // namespace

TEST(Reader, NothingChosenIsTheDesign) {
    RUN_WINDOW(r);
    EXPECT_EQ(r.state["zoom"].toObject()["wbrQuran"].toDouble(), 1.0);
    EXPECT_EQ(r.state["quranFont"].toString(), "default");
    EXPECT_FALSE(r.state["night"].toBool());
    EXPECT_FALSE(r.state["fullScreen"].toBool());
    EXPECT_FALSE(r.state["rememberPlace"].toBool());
    EXPECT_EQ(r.state["script"].toString(), "simple");
    EXPECT_EQ(r.state["translation"].toString(), "ansarian");
    EXPECT_EQ(r.state["FishList"].toString(), "");
    // only the pane's own rendering rules
    EXPECT_FALSE(r.state["renderingStyle"].toObject()["wbrQuran"].toString().contains("font-family"));
}

TEST(Reader, ContextMenuOverThePageAndTheTranslationRunsTheKeysCode) {
    RUN_WINDOW(page, "rightclick:wbrQuran");
    EXPECT_GE(page.state["menuEntries"].toInt(), 15);
    RUN_WINDOW(farsi, "rightclick:wbrFarsi");
    EXPECT_GE(farsi.state["menuEntries"].toInt(), 15);

    RUN_WINDOW(r, "slider:3", "menu:mnuEarab", "menu:mnuCopy");
    EXPECT_TRUE(r.state["ShowEarab"].toBool());
    EXPECT_TRUE(r.document("wbrQuran").contains(QChar(0x064E)));
    EXPECT_TRUE(r.state["clipboard"].toString().startsWith(U("سوره فاتحه [1] - آيه 4\r\n")));
    RUN_WINDOW(h, "menu:mnuHelp");
    EXPECT_TRUE(h.visible("picHelp"));
    RUN_WINDOW(x, "menu:mnuRandom");
    EXPECT_NE(x.state["hsAllQuran"].toInt(), 0);
    auto bad = RunWindow({"menu:mnuNoSuchThing"});
    EXPECT_TRUE(bad.error.contains("no menu entry"));
}

TEST(Reader, TextSizePerPaneSurvivesWritesAndRuns) {
    Kept kept;
    const QString ratio = "eval:wbrQuran:window.devicePixelRatio";
    // from the keyboard: the page pane; Ctrl+wheel: the pane under the pointer
    RUN_WINDOW_WITH(r, QStringList{"key:Ctrl+=", "key:Ctrl+Plus", "key:Ctrl+=", "key:Ctrl+-", "wheel:wbrFarsi:-1", "slider:3000", ratio}, kept.options());
    EXPECT_DOUBLE_EQ(r.state["zoom"].toObject()["wbrQuran"].toDouble(), 1.25);
    EXPECT_DOUBLE_EQ(r.state["zoom"].toObject()["wbrFarsi"].toDouble(), 0.9);
    EXPECT_NEAR(Number(r, 0), 1.25, 0.01);  // drawn larger, after a new page was written
    RUN_WINDOW_WITH(again, QStringList{ratio}, kept.options());
    EXPECT_DOUBLE_EQ(again.state["zoom"].toObject()["wbrQuran"].toDouble(), 1.25);
    EXPECT_NEAR(Number(again, 0), 1.25, 0.01);
    // bounded, and Ctrl+0 goes back
    QStringList many(20, "key:Ctrl+=");
    RUN_WINDOW_WITH(big, many);
    EXPECT_DOUBLE_EQ(big.state["zoom"].toObject()["wbrQuran"].toDouble(), 3.0);
    RUN_WINDOW_WITH(reset, QStringList{"key:Ctrl+-", "key:Ctrl+-", "key:Ctrl+0"});
    // with the focus in the translation pane, the keys size the translation
    RUN_WINDOW(farsi, "focus:wbrFarsi", "key:Ctrl+=");
    EXPECT_DOUBLE_EQ(farsi.state["zoom"].toObject()["wbrFarsi"].toDouble(), 1.1);
    EXPECT_DOUBLE_EQ(farsi.state["zoom"].toObject()["wbrQuran"].toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(reset.state["zoom"].toObject()["wbrQuran"].toDouble(), 1.0);
}

TEST(Reader, QuranFontIsARenderingRuleThatStays) {
    Kept kept;
    const QString family = "eval:wbrQuran:getComputedStyle(document.getElementById('div3')).fontFamily";
    RUN_WINDOW_WITH(plain, QStringList{"slider:3"});
    RUN_WINDOW_WITH(r, QStringList{"menu:mnuFontAmiriQuran", "slider:3", family}, kept.options());
    EXPECT_EQ(r.state["quranFont"].toString(), "Amiri Quran");
    EXPECT_TRUE(Evaluated(r, 0).contains("Amiri Quran"));
    EXPECT_EQ(r.document("wbrQuran"), plain.document("wbrQuran"));  // the document as written
    RUN_WINDOW_WITH(again, QStringList{"slider:3000", family}, kept.options());
    EXPECT_EQ(again.state["quranFont"].toString(), "Amiri Quran");
    RUN_WINDOW_WITH(naskh, QStringList{"menu:mnuFontNotoNaskh", family}, kept.options());
    EXPECT_TRUE(Evaluated(naskh, 0).isEmpty() || Evaluated(naskh, 0).contains("Noto Naskh Arabic"));
    EXPECT_EQ(naskh.state["quranFont"].toString(), "Noto Naskh Arabic");
    RUN_WINDOW_WITH(back, QStringList{"menu:mnuFontDefault"}, kept.options());
    EXPECT_EQ(back.state["quranFont"].toString(), "default");
}

TEST(Reader, NightReadingDarkensEveryPaneAndStays) {
    Kept kept;
    const QString background = "eval:wbrFarsi:getComputedStyle(document.body).backgroundColor";
    RUN_WINDOW_WITH(r, QStringList{"key:Ctrl+Shift+N", background}, kept.options());
    EXPECT_TRUE(r.state["night"].toBool());
    EXPECT_EQ(Evaluated(r, 0), "rgb(28, 31, 34)");
    RUN_WINDOW_WITH(again, QStringList{background}, kept.options());
    EXPECT_TRUE(again.state["night"].toBool());
    EXPECT_EQ(Evaluated(again, 0), "rgb(28, 31, 34)");
    RUN_WINDOW_WITH(off, QStringList{"menu:mnuNight", background}, kept.options());
    EXPECT_FALSE(off.state["night"].toBool());
    EXPECT_NE(Evaluated(off, 0), "rgb(28, 31, 34)");
}

TEST(Reader, NightReadingReachesTheHelpTheScrollBarsTheMenuAndDisabledButtons) {
    // the help page's headings are light; the panes draw dark scroll bars
    RUN_WINDOW(r, "menu:mnuNight", "key:F1", "eval:wbrHelp:getComputedStyle(document.querySelector('b')).color",
               "eval:wbrSoreh:getComputedStyle(document.documentElement).colorScheme");
    EXPECT_EQ(Evaluated(r, 0), "rgb(168, 216, 160)");
    EXPECT_EQ(Evaluated(r, 1), "dark");
    // the menu and its sub-menus are dark; a disabled button's text is dimmed
    auto lightness = [](const QWidget* w, QPalette::ColorGroup g, QPalette::ColorRole role) {
        return w->palette().color(g, role).lightness();
    };
    mushaf::testing::WindowRun checked = RunWindow({}, {}, [&](mushaf::frmMain& w) {
        w.MenuAction("mnuNight")->trigger();
        for (const QMenu* m : QList<QMenu*>{w.ContextMenu()} + w.ContextMenu()->findChildren<QMenu*>()) {
            EXPECT_LT(lightness(m, QPalette::Active, QPalette::Window), 60);
            EXPECT_GT(lightness(m, QPalette::Active, QPalette::WindowText), 180);
        }
        const QWidget* off = w.Control("cmdShowSoreh");
        ASSERT_FALSE(off->isEnabled());
        EXPECT_LT(lightness(off, QPalette::Disabled, QPalette::ButtonText),
                  lightness(off, QPalette::Active, QPalette::ButtonText) - 60);
        // and back by day
        w.MenuAction("mnuNight")->trigger();
        EXPECT_GT(lightness(w.ContextMenu(), QPalette::Active, QPalette::Window), 150);
    });
    EXPECT_EQ(checked.status, 0) << checked.error.toStdString();
}

TEST(Reader, FullScreenAndBack) {
    RUN_WINDOW(full, "key:F11", "wait:300");
    EXPECT_TRUE(full.state["fullScreen"].toBool());
    EXPECT_EQ(full.state["window"].toObject()["width"].toInt(), 1280);
    RUN_WINDOW(back, "key:F11", "wait:300", "key:Escape", "wait:300");
    EXPECT_FALSE(back.state["fullScreen"].toBool());
    EXPECT_LT(back.state["window"].toObject()["width"].toInt(), 1280);
}

TEST(Reader, RememberedPlaceOnAndOff) {
    Kept kept;
    RUN_PROCESS(first, {"menu:mnuRememberPlace", "slider:3000", "key:F4", "key:F3", "resize:12000,9000"}, kept.options());
    EXPECT_TRUE(first.state["rememberPlace"].toBool());
    RUN_PROCESS(next, {}, kept.options());
    EXPECT_EQ(next.state["hsAllQuran"].toInt(), 3000);
    EXPECT_EQ(next.marked(), QStringList{"div3000"});
    EXPECT_TRUE(next.state["ShowEarab"].toBool());
    EXPECT_TRUE(next.visible("picPanelSearch"));
    EXPECT_EQ(next.state["window"].toObject()["width"].toInt(), first.state["window"].toObject()["width"].toInt());
    // a reference wins over the remembered place
    RUN_PROCESS(ref, {}, kept.options() + QStringList{"1:3"});
    EXPECT_EQ(ref.state["hsAllQuran"].toInt(), 2);
    // off: start-up as designed
    RUN_PROCESS(off, {"menu:mnuRememberPlace", "slider:500"}, kept.options());
    RUN_PROCESS(plain, {}, kept.options());
    EXPECT_EQ(plain.state["hsAllQuran"].toInt(), 0);
    EXPECT_FALSE(plain.visible("picPanelSearch"));
}

TEST(Reader, OpeningAtAReference) {
    RUN_PROCESS(kursi, {}, {"2:255"});
    EXPECT_EQ(kursi.model()["Soreh"].toInt(), 2);
    EXPECT_EQ(kursi.model()["Ayeh"].toInt(), 255);
    EXPECT_EQ(kursi.marked(), QStringList{QStringLiteral("div%1").arg(kursi.state["hsAllQuran"].toInt())});
    RUN_PROCESS(persian, {}, {U("۲:۲۵۵")});
    EXPECT_EQ(persian.state["hsAllQuran"].toInt(), kursi.state["hsAllQuran"].toInt());
    RUN_PROCESS(arabic, {}, {U("٢:٢٥٥")});
    EXPECT_EQ(arabic.state["hsAllQuran"].toInt(), kursi.state["hsAllQuran"].toInt());
    RUN_PROCESS(page, {}, {"--page", "50"});
    EXPECT_EQ(page.state["hsPage"].toInt(), 50);
    EXPECT_EQ(page.text("txtPage"), "50");
    RUN_PROCESS(juz, {}, {"--juz", "30"});
    EXPECT_EQ(juz.text("txtJoze"), "30");
    EXPECT_EQ(juz.model()["Soreh"].toInt(), 78);

    const std::pair<QStringList, QString> bad[] = {
        {{"115:1"}, "surah 115: surahs are 1 to 114"},
        {{"2:287"}, "ayah 287 of surah 2: surah 2 has ayat 1 to 286"},
        {{"9:0"}, "ayah 0 of surah 9: surah 9 has ayat 1 to 129"},
        {{"--page", "605"}, "page 605: pages are 1 to 604"},
        {{"--juz", "0"}, "juz' 0: juz' are 1 to 30"},
        {{"surah"}, "not a reference: surah"},
        {{"2:x"}, "not a reference: 2:x"},
        {{"--page"}, "--page needs a value"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"2:255", "--juz", "3"}, "one place to open at, not two: 3"},
    };
    for (const auto& [options, message] : bad) {
        auto r = RunProcess({}, options);
        EXPECT_EQ(r.status, 2) << options.join(' ').toStdString();
        EXPECT_TRUE(r.standardError.contains(message)) << r.standardError.toStdString();
        EXPECT_TRUE(r.state.isEmpty());  // no window
    }
    auto help = RunProcess({}, {"--help"});
    EXPECT_EQ(help.status, 0);
    // the toolkit's own options are left to it
    RUN_PROCESS(session, {}, {"-session", "10ab", "--style=fusion", "2:255"});
    EXPECT_EQ(session.state["hsAllQuran"].toInt(), kursi.state["hsAllQuran"].toInt());
}

TEST(Reader, NoteCardsAddListClickAndRemove) {
    Kept kept;
    RUN_WINDOW_WITH(r, QStringList{"slider:300", "key:Ctrl+D", "slider:10", "menu:mnuFish", "key:F6",
                   "eval:wbrQuran:getComputedStyle(document.getElementById('div10')).borderRightWidth"}, kept.options());
    EXPECT_EQ(r.state["FishList"].toString(), "300 10");
    EXPECT_EQ(Evaluated(r, 0), "4px");  // the card's line is marked on the page
    EXPECT_TRUE(r.visible("picPanelSearch"));
    EXPECT_EQ(r.state["lblSearchResult"].toString(), U("یادداشت‌ها: ۲"));
    const QString list = r.document("wbrSearchResult");
    EXPECT_EQ(list.count("<br>"), 2);
    EXPECT_LT(list.indexOf("<a id=\"300\""), list.indexOf("<a id=\"10\""));  // in the order added

    // kept across runs; a card's row moves there; Ctrl+D takes it off
    RUN_WINDOW_WITH(next, QStringList{"key:F6", "click:wbrSearchResult:300", "key:Ctrl+D"}, kept.options());
    EXPECT_EQ(next.state["hsAllQuran"].toInt(), 300);
    EXPECT_EQ(next.state["FishList"].toString(), "10");
    EXPECT_EQ(next.document("wbrSearchResult").count("<br>"), 1);
    // a new search replaces the list and its caption
    RUN_WINDOW_WITH(search, QStringList{"key:F6", "type:txtSearch:" + U("الله"), "key:Return"}, kept.options());
    EXPECT_EQ(search.state["lblSearchResult"].toString(), U("نـتايـج جـسـتـجـو"));
    RUN_WINDOW(none, "key:F6");
    EXPECT_TRUE(none.document("wbrSearchResult").contains(U("هیچ آیه‌ای در یادداشت‌ها نیست")));
}

TEST(Reader, DamagedKeptCardsAreReadAsFarAsTheyAreSound) {
    Kept kept;
    {
        QSettings s(kept.file, QSettings::IniFormat);
        s.setValue("Mushaf/Reader/FishList", "5 x 7000 -3 5 12 3.5 99999999999");
    }
    RUN_WINDOW_WITH(r, QStringList{}, kept.options());
    EXPECT_EQ(r.state["FishList"].toString(), "5 12");
}

TEST(Reader, ExportsAreTheDocumentsTheCommandLineWrites) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    RUN_WINDOW_WITH(r, QStringList{"slider:300", "key:Ctrl+D", "slider:10", "key:Ctrl+D", "menu:mnuExportFish", "key:F3",
                   "button:optSearchInT", "type:txtSearch:" + U("بهشت"), "key:Return", "menu:mnuExportSearch"}, {"--export-dir", out});
    const QJsonArray written = r.state["exported"].toArray();
    ASSERT_EQ(written.size(), 2);
    QFile fish(written[0].toString()), search(written[1].toString());
    ASSERT_TRUE(fish.open(QIODevice::ReadOnly));
    ASSERT_TRUE(search.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written[0].toString().startsWith(out + "/"));

    // the same lists through mushaf-cli
    QProcess cli;
    const QString cliOut = dir.filePath("cli");
    cli.start(QStringLiteral(MUSHAF_CLI), {"--export-dir", cliOut, "fish-set", "300 10", "export-fish", "nomarks",
                                            "search-translation", U("بهشت"), "export-search", "nomarks"});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QList<QByteArray> lines = cli.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4);
    const QString cliFile = QJsonDocument::fromJson(lines[1]).object()["file"].toString();
    QFile expected(cliFile);
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    EXPECT_EQ(fish.readAll(), expected.readAll());
    const QString document = QJsonDocument::fromJson(lines[3]).object()["document"].toString();
    EXPECT_EQ(search.readAll(), "\xEF\xBB\xBF" + document.toUtf8());
}

TEST(Reader, AFailedOrEmptyExportSaysWhyAndChangesNothing) {
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath("file");
    QFile f(notAFolder);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    RUN_WINDOW_WITH(r, QStringList{"slider:300", "key:Ctrl+D", "slider:40", "menu:mnuExportFish"}, {"--export-dir", notAFolder});
    EXPECT_TRUE(r.state["exported"].toArray().isEmpty());
    EXPECT_TRUE(r.state["message"].toString().contains(notAFolder));
    EXPECT_TRUE(r.state["message"].toString().contains(U("به جای پوشه")));
    EXPECT_EQ(r.state["FishList"].toString(), "300");
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 40);
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 40);

    RUN_WINDOW_WITH(empty, QStringList{"menu:mnuExportFish"}, {"--export-dir", dir.filePath("x")});
    EXPECT_EQ(empty.state["message"].toString(), U("یادداشتی برای صدور نیست."));
    EXPECT_FALSE(QDir(dir.filePath("x")).exists());
}

TEST(Reader, UthmaniScriptAndFooladvandTranslation) {
    Kept kept;
    // choosing the Uthmani script shows the text with its marks
    RUN_WINDOW_WITH(r, QStringList{"slider:8", "menu:mnuScriptUthmani", "menu:mnuTransFooladvand", "key:F9"}, kept.options());
    EXPECT_TRUE(r.state["ShowEarab"].toBool());
    EXPECT_EQ(r.state["script"].toString(), "uthmani");
    EXPECT_EQ(r.state["translation"].toString(), "fooladvand");
    const QString uthmani = r.model()["ArabicUthmani"].toString().trimmed();
    ASSERT_FALSE(uthmani.isEmpty());
    EXPECT_TRUE(r.document("wbrQuran").contains(uthmani));
    EXPECT_TRUE(r.document("wbrFarsi").contains(r.model()["MeanFarsi"].toString().trimmed()));
    EXPECT_TRUE(r.state["clipboard"].toString().contains(uthmani));
    EXPECT_TRUE(r.state["clipboard"].toString().endsWith(r.model()["MeanFarsi"].toString()));
    // drawn in a Quranic font while no other is chosen
    EXPECT_TRUE(r.state["renderingStyle"].toObject()["wbrQuran"].toString().contains("Amiri Quran"));

    // the next run starts in the Uthmani script, with its marks
    RUN_WINDOW_WITH(again, QStringList{"slider:8", "key:F3", "button:optSearchInT", "type:txtSearch:" + U("رحمتگر"),
                       "key:Return"}, kept.options());
    EXPECT_EQ(again.state["script"].toString(), "uthmani");
    EXPECT_TRUE(again.state["ShowEarab"].toBool());
    EXPECT_TRUE(again.document("wbrQuran").contains(uthmani));
    EXPECT_EQ(again.state["translation"].toString(), "fooladvand");
    EXPECT_TRUE(again.document("wbrSearchResult").contains("<a id=\"0\""));  // a word of this translation only
    // without marks the page shows the simple text
    RUN_WINDOW_WITH(plain, QStringList{"slider:8", "key:F4"}, kept.options());
    EXPECT_FALSE(plain.document("wbrQuran").contains(uthmani));
    RUN_WINDOW_WITH(back, QStringList{"menu:mnuScriptSimple", "menu:mnuTransAnsarian"}, kept.options());
    EXPECT_EQ(back.state["script"].toString(), "simple");
    EXPECT_EQ(back.state["translation"].toString(), "ansarian");
}

// The help page names every command with keys, its keys read left to right
// ("Ctrl++", not "++Ctrl"), and says what the newer parts of the reader do.
TEST(Reader, TheHelpPageNamesTheKeysLeftToRightAndTheReadersParts) {
    // for each key name: whether its characters stand left to right on the screen
    const QString order = "eval:wbrHelp:(function(){var out={};document.querySelectorAll('bdi').forEach(function(b){"
                          "var t=b.firstChild,last=-1,ok=true;for(var i=0;i<t.nodeValue.length;i++){var r=document.createRange();"
                          "r.setStart(t,i);r.setEnd(t,i+1);var x=r.getBoundingClientRect().left;ok=ok&&x>last;last=x;}"
                          "out[t.nodeValue]=ok;});return out;})()";
    RUN_WINDOW(r, "key:F1", order);
    const QJsonObject keys = r.state["evaluated"].toArray()[0].toObject();
    for (const char* key : {"Ctrl++", "Ctrl+-", "Ctrl+Shift+D", "Shift+F5", "Ctrl+M", "Esc"}) {
        ASSERT_TRUE(keys.contains(key)) << key;
        EXPECT_TRUE(keys[key].toBool()) << key;
    }
    // every command with keys is named
    for (const QJsonValue& c : r.state["commands"].toArray())
        for (const QJsonValue& k : c.toObject()["keys"].toArray())
            if (!k.toString().startsWith('F') || k.toString().size() > 3)
                EXPECT_TRUE(keys.contains(k.toString()) || c.toObject()["name"].toString() == "mnuZoomIn")
                    << k.toString().toStdString();
    // and what the mushaf view, the notes, memorisation, the history, the plan and recitation do
    const QString page = QString(r.document("wbrHelp")).remove(QChar(0x0640));
    for (const char* part : {"نمای مصحف", "ترجمهٔ همهٔ صفحه", "یادداشت‌ها", "حفظ", "تاریخچه", "برنامهٔ ختم", "تلاوت",
                             "~/.local/share/mushaf/recitations", "001001.mp3", "سجدهٔ واجب"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(part))) << part;
}
