// Translation packs in the window: added from a file, chosen from the menu,
// shown first or second in either direction, kept, searched and copied.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>

#include "tests/WindowDialogs.h"
#include "tests/WindowRun.h"
#include "window/frmMain.h"

using mushaf::testing::RunWindow;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }

// The ayah counts of the surahs, as the tables hold them.
const int kCounts[] = {7,   286, 200, 176, 120, 165, 206, 75,  129, 109, 123, 111, 43, 52, 99, 128, 111, 110, 98, 135,
                       112, 78,  118, 64,  77,  227, 93,  88,  69,  60,  34,  30,  73, 54, 45, 83,  182, 88,  75, 85,
                       54,  53,  89,  59,  37,  35,  38,  29,  18,  45,  60,  49,  62, 55, 78, 96,  29,  22,  24, 13,
                       14,  11,  11,  18,  12,  12,  30,  52,  52,  44,  28,  28,  20, 56, 40, 31,  50,  40,  46, 42,
                       29,  19,  36,  25,  22,  17,  19,  26,  30,  20,  15,  21,  11, 8,  8,  19,  5,   8,   8,  11,
                       11,  8,   3,   9,   5,   4,   7,   3,   6,   3,   5,   4,   5,  6};

// A pack file in the numbered form: `head` and then every ayah as `text` makes it.
QString WritePack(const QTemporaryDir& dir, const QString& file, const QString& head,
                  const std::function<QString(int, int)>& text) {
    QFile out(dir.filePath(file));
    out.open(QIODevice::WriteOnly);
    QString all = head;
    for (int s = 1; s <= 114; ++s)
        for (int a = 1; a <= kCounts[s - 1]; ++a) all += QStringLiteral("%1|%2|%3\n").arg(s).arg(a).arg(text(s, a));
    out.write(all.toUtf8());
    return out.fileName();
}

struct Kept {
    QTemporaryDir dir;
    QStringList options() const {
        return {"--settings", dir.filePath("settings.ini"), "--translations", dir.filePath("translations")};
    }
};

QStringList Found(const mushaf::testing::WindowRun& r) {
    QStringList words;
    for (const auto& v : r.state["found"].toObject()["wbrFarsi"].toArray()) words << v.toString();
    return words;
}
}  // namespace

TEST(Translations, APackIsAddedChosenShownUnderAnotherAndKept) {
    Kept kept;
    const QString pack = WritePack(kept.dir, "mine.txt", "# name: ترجمهٔ من\n# language: fa\n",
                                   [](int s, int a) { return QStringLiteral("ترجمهٔ آزمایشی %1:%2").arg(s).arg(a); });
    RUN_WINDOW_WITH(fresh, {"slider:12", "check"});
    const QString asDesigned = fresh.document("wbrFarsi");

    // added, and in the menu at once; 2:5 (line 12) in it
    RUN_WINDOW_WITH(added, {"add-translation:" + pack, "menu:mnuTranslation:" + U("ترجمهٔ من"), "slider:12", "check"}, kept.options());
    EXPECT_EQ(added.state["addedTranslation"].toObject()["name"].toString(), U("ترجمهٔ من"));
    EXPECT_TRUE(added.state["message"].toString().contains(U("افزوده شد")));
    bool listed = false;
    for (const auto& t : added.state["translations"].toArray())
        listed |= t.toObject()["name"].toString() == U("ترجمهٔ من") && t.toObject()["from"].toString() == "reader" &&
                  t.toObject()["direction"].toString() == "rtl" && t.toObject()["language"].toString() == "fa";
    EXPECT_TRUE(listed);
    EXPECT_TRUE(QFile::exists(kept.dir.filePath("translations/" + U("ترجمهٔ من") + ".txt")));
    EXPECT_EQ(added.state["translation"].toString(), U("ترجمهٔ من"));
    EXPECT_TRUE(added.document("wbrFarsi").contains(U("<div id=\"_id\" class=\"Farsi\">ترجمهٔ آزمایشی 2:5</div>")));
    EXPECT_EQ(added.state["lblFarsi"].toString(), fresh.state["lblFarsi"].toString());

    // a second under it, left to right in its own font; the Bismillah line takes 1:1
    RUN_WINDOW_WITH(two, {"menu:mnuSecondTranslation:English - Ahmed Ali", "slider:12", "check", "slider:7", "check"}, kept.options());
    EXPECT_EQ(two.state["translation"].toString(), U("ترجمهٔ من"));  // kept
    EXPECT_EQ(two.state["secondTranslation"].toString(), "English - Ahmed Ali");
    const QString doc = two.document("wbrFarsi");
    EXPECT_TRUE(doc.contains(U("<div id=\"_id\" class=\"Farsi\">ترجمهٔ آزمایشی 1:1</div>")));
    EXPECT_TRUE(doc.contains("<div id=\"second\" class=\"Second\" dir=\"ltr\" lang=\"en\">In the name of Allah, most benevolent, ever-merciful.</div>"));
    EXPECT_TRUE(doc.contains("[dir=ltr], [dir=ltr] *{font-family: 'Noto Serif'"));

    // the whole page's translation: each line's second under it
    RUN_WINDOW_WITH(page, {"menu:mnuPageTranslation", "slider:12", "check"}, kept.options());
    const QString pageDoc = page.document("wbrFarsi");
    EXPECT_TRUE(pageDoc.contains(U("ترجمهٔ آزمایشی 2:5<div id=\"s12\" class=\"Second\" dir=\"ltr\" lang=\"en\">")));
    EXPECT_TRUE(pageDoc.contains("id=\"s7\""));

    // none second, the built-in first: the pane exactly as designed
    RUN_WINDOW_WITH(back, {"menu:mnuPageTranslation", "menu:mnuSecondTranslation:none", "menu:mnuTransAnsarian", "slider:12", "check"},
                    kept.options());
    EXPECT_EQ(back.state["secondTranslation"], QJsonValue(QJsonValue::Null));
    EXPECT_EQ(back.document("wbrFarsi"), asDesigned);
}

TEST(Translations, ARefusedFileKeepsNothingAndSaysWhyInPersian) {
    Kept kept;
    const QString doubled = WritePack(kept.dir, "doubled.txt", "", [](int, int) { return QStringLiteral("x"); });
    {
        QFile more(doubled);
        more.open(QIODevice::Append);
        more.write("2|5|again\n7|300|out of range\n");
    }
    RUN_WINDOW_WITH(r, {"add-translation:" + doubled, "add-translation:" + kept.dir.filePath("nosuch.txt"), "check"},
                    kept.options());
    EXPECT_EQ(r.state["addedTranslation"].toObject()["name"], QJsonValue(QJsonValue::Null));
    RUN_WINDOW_WITH(d, {"add-translation:" + doubled, "check"}, kept.options());
    const QJsonArray problems = d.state["addedTranslation"].toObject()["problems"].toArray();
    ASSERT_EQ(problems.size(), 2);
    EXPECT_EQ(problems[0].toString(), U("سطر ۶۲۳۷: آیهٔ ۵ سورهٔ ۲ دوباره آمده است (نخست در سطر ۱۲)."));
    EXPECT_EQ(problems[1].toString(), U("سطر ۶۲۳۸: سورهٔ ۷ آیهٔ ۳۰۰ ندارد."));
    EXPECT_TRUE(d.state["message"].toString().startsWith(U("«\u2066doubled.txt\u2069» افزوده نشد:")));
    EXPECT_TRUE(QDir(kept.dir.filePath("translations")).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(d.state["translations"].toArray().size(), 6);  // the built-ins and the shipped
}

TEST(Translations, AFirstPackLeftToRightWithItsMarkupShownAsText) {
    Kept kept;
    const QString pack = WritePack(kept.dir, "markup.txt", "", [](int s, int a) {
        return s == 2 && a == 5 ? QStringLiteral("<b>Bold</b> & <script>x</script>") : QStringLiteral("plain");
    });
    RUN_WINDOW_WITH(r, {"add-translation:" + pack, "menu:mnuTranslation:markup", "slider:12", "key:F9", "check"}, kept.options());
    EXPECT_TRUE(r.document("wbrFarsi").contains(
        "<div id=\"_id\" class=\"Farsi\" dir=\"ltr\">&lt;b&gt;Bold&lt;/b&gt; &amp; &lt;script&gt;x&lt;/script&gt;</div>"));
    // the copy takes what is shown
    EXPECT_TRUE(r.state["clipboard"].toString().endsWith("<b>Bold</b> & <script>x</script>"));
    RUN_WINDOW_WITH(two, {"menu:mnuSecondTranslation:fooladvand", "slider:12", "key:F9", "check"}, kept.options());
    // right to left under a left-to-right first, in the Persian font
    EXPECT_TRUE(two.document("wbrFarsi").contains("<div id=\"second\" class=\"Second\" dir=\"rtl\">"));
    EXPECT_TRUE(two.document("wbrFarsi").contains("[dir=rtl], [dir=rtl] *{font-family: Tahoma; font-size: 13px;}"));
    EXPECT_TRUE(two.state["clipboard"].toString().contains("<b>Bold</b> & <script>x</script>\r\n\r\n"));
    EXPECT_TRUE(two.state["clipboard"].toString().endsWith(two.document("wbrFarsi").section("class=\"Second\">", 1).section("</div>", 0, 0)));
}

TEST(Translations, TheSearchSearchesThePackShownAndTheSecondWhenAsked) {
    Kept kept;
    const QStringList search{"key:F3", "button:optSearchInT", "type:txtSearch:misericordieux", "button:cmdSearch", "slider:2", "check"};
    RUN_WINDOW_WITH(fr, QStringList{"menu:mnuTranslation:" + U("Français - Hamidullah")} + search, kept.options());
    // 1:1 and 1:3, not 1:2
    EXPECT_TRUE(fr.document("wbrSearchResult").contains("<a id=\"0\""));
    EXPECT_TRUE(fr.document("wbrSearchResult").contains("<a id=\"2\""));
    EXPECT_FALSE(fr.document("wbrSearchResult").contains("<a id=\"1\""));
    EXPECT_EQ(Found(fr), (QStringList{U("Miséricordieux,"), U("Miséricordieux,")}));

    // the second searched when the reader asks: its words marked in it
    const QStringList second{"menu:mnuTransAnsarian", "menu:mnuSecondTranslation:English - Ahmed Ali", "menu:mnuSearchSecond",
                             "key:F3", "button:optSearchInT", "type:txtSearch:BENEVOLENT", "button:cmdSearch", "slider:0", "check"};
    RUN_WINDOW_WITH(en, second, kept.options());
    EXPECT_TRUE(en.state["searchSecond"].toBool());
    EXPECT_TRUE(en.document("wbrSearchResult").contains("<a id=\"0\""));
    EXPECT_EQ(Found(en), QStringList{"benevolent,"});
    EXPECT_TRUE(en.document("wbrFarsi").contains("class=\"Found\""));
}

// ... and the choice stays: the pack shows again once it is back.
TEST(Translations, AKeptPackThatIsGoneGivesWayToTheBuiltInTranslation) {
    Kept kept;
    QFile ini(kept.dir.filePath("settings.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[Mushaf]\nReader\\Translation=%1\nReader\\SecondTranslation=%1\n").arg(U("ترجمهٔ رفته")).toUtf8());
    ini.close();
    RUN_WINDOW_WITH(r, {"slider:12", "check"}, kept.options());
    EXPECT_EQ(r.state["translation"].toString(), "ansarian");
    EXPECT_EQ(r.state["secondTranslation"], QJsonValue(QJsonValue::Null));
    EXPECT_TRUE(r.state["message"].toString().contains(U("ترجمهٔ «ترجمهٔ رفته» پیدا نشد.")));
    RUN_WINDOW_WITH(fresh, {"slider:12", "check"});
    EXPECT_EQ(r.document("wbrFarsi"), fresh.document("wbrFarsi"));

    // still chosen in the file after a run that showed another
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(ini.readAll()).contains(U("ترجمهٔ رفته")));
    ini.close();
    const QString pack = WritePack(kept.dir, "back.txt", "# name: ترجمهٔ رفته\n",
                                   [](int s, int a) { return QStringLiteral("بازگشته %1:%2").arg(s).arg(a); });
    RUN_WINDOW_WITH(back, {"add-translation:" + pack, "slider:12", "check"}, kept.options());
    EXPECT_EQ(back.state["translation"].toString(), U("ترجمهٔ رفته"));
    EXPECT_EQ(back.state["secondTranslation"].toString(), U("ترجمهٔ رفته"));
    EXPECT_TRUE(back.document("wbrFarsi").contains(U("بازگشته 2:5"))) << back.document("wbrFarsi").toStdString();
}

// The toolkit's own words speak Persian too: the file dialog that adds a
// pack (its places, its buttons' tips, its labels) and the search box's
// menu. (A place named after a folder keeps the folder's name.)
TEST(Translations, TheToolkitsOwnWordsArePersian) {
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    auto words = std::make_shared<QStringList>(), keys = std::make_shared<QStringList>();
    // a folder with a pack and a folder in it, for the list's kinds
    auto files = std::make_shared<QTemporaryDir>();
    QDir(files->path()).mkdir("packs");
    QFile pack(files->filePath("mine.txt"));
    ASSERT_TRUE(pack.open(QIODevice::WriteOnly));
    pack.close();
    RUN_WINDOW_WITH(r, {"check"}, {}, [words, keys, files](mushaf::frmMain& w) {
        w.SetInteractive(true);
        mushaf::testing::WhenADialogOpens([words, files](QDialog& dialog) {
            static_cast<QFileDialog&>(dialog).setDirectory(files->path());
            if (const QString shots = qEnvironmentVariable("MUSHAF_SHOTS"); !shots.isEmpty())
                dialog.grab().save(shots + "/add-translation-dialog.png");
            for (auto* b : dialog.findChildren<QAbstractButton*>())
                *words << (b->toolTip().isEmpty() ? b->text() : b->toolTip());
            for (auto* l : dialog.findChildren<QLabel*>()) *words << l->text();
            // the kinds of a folder and a pack file in the list, once it has come
            auto* list = dialog.findChild<QTreeView*>();
            QElapsedTimer waited;
            waited.start();
            while (list && list->model()->rowCount(list->rootIndex()) < 2 && waited.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QStringList kinds;
            for (int row = 0; list && row < list->model()->rowCount(list->rootIndex()); ++row)
                kinds << list->model()->index(row, 2, list->rootIndex()).data().toString();
            // (a suffix is the file's own: only a wrong list adds words, in Latin)
            *words << (kinds.contains(QStringLiteral("پوشه")) && kinds.contains(QStringLiteral("پروندهٔ txt"))
                           ? QString() : QStringLiteral("kinds: ") + kinds.join(", "));
            if (auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar")))
                for (int i = 0; i < places->model()->rowCount(); ++i) {
                    const QModelIndex at = places->model()->index(i, 0);
                    // (the place's address, in the side bar's model)
                    if (at.data(Qt::UserRole + 1).toUrl() == QUrl(QStringLiteral("file:")))
                        *words << at.data().toString();
                }
            dialog.reject();
        });
        w.MenuAction("mnuAddTranslation")->trigger();
        std::unique_ptr<QMenu> menu(static_cast<QLineEdit*>(w.Control("txtSearch"))->createStandardContextMenu());
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            *words << a->text().section('\t', 0, 0);
            *keys << a->text().section('\t', 1);
        }
        *keys << w.MenuAction("mnuMushafView")->shortcut().toString(QKeySequence::NativeText);
        w.SetInteractive(false);
    });
    words->removeAll(QString());
    ASSERT_GT(words->size(), 12) << words->join(" | ").toStdString();
    for (const QString& word : *words) EXPECT_FALSE(word.contains(latin)) << word.toStdString();
    // the application keeps its direction (the window sets its own)
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    // the keys keep the names the menus have always shown
    EXPECT_TRUE(keys->contains("Ctrl+Z")) << keys->join(" | ").toStdString();
    EXPECT_TRUE(keys->contains("Ctrl+M")) << keys->join(" | ").toStdString();
}
