// A khatmah plan in the window: set, shown with today's portion, read pages
// counted, kept, ended; the day and the clock set from outside.
#include <QAction>
#include <QDialogButtonBox>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/WindowDialogs.h"
#include "tests/WindowRun.h"
#include "window/frmMain.h"

using mushaf::testing::RunWindow;
using mushaf::testing::WhenADialogOpens;

TEST(Khatmah, APlanShowsTodaysPortionCountsWhatIsReadAndIsKept) {
    QTemporaryDir dir;
    const QStringList day1{"--settings", dir.filePath("settings.ini"), "--today", "2026-03-01"};
    // no plan: the caption as designed
    RUN_WINDOW_WITH(none, {"check"}, day1);
    EXPECT_TRUE(none.state["khatmah"].isNull());
    EXPECT_EQ(none.text("lblPage"), QString::fromUtf8("صفحه 1"));
    // 30 days from page 1: today pages 1 to 20; page 1 read for 30 s, page 2 for 29 s
    RUN_WINDOW_WITH(r, {"khatmah:30:1", "clock:+30", "slider:7", "clock:+29", "slider:13", "clock:+40", "check"}, day1);
    QJsonObject k = r.state["khatmah"].toObject();
    EXPECT_EQ(k["days"].toInt(), 30);
    EXPECT_EQ(k["startPage"].toInt(), 1);
    EXPECT_EQ(k["first"].toInt(), 1);
    EXPECT_EQ(k["last"].toInt(), 20);
    EXPECT_EQ(k["seen"].toInt(), 2);  // pages 1 and 3, not page 2
    EXPECT_TRUE(r.text("lblPage").contains(QString::fromUtf8("ختم امروز: صفحه‌های \u2068۱ تا ۲۰\u2069، \u2068۲\u2069 از \u2068۲۰\u2069 خوانده شد")))
        << r.text("lblPage").toStdString();
    // the next day: the next portion, kept with what was read
    const QStringList day2{"--settings", dir.filePath("settings.ini"), "--today", "2026-03-02"};
    RUN_WINDOW_WITH(next, {"check"}, day2);
    k = next.state["khatmah"].toObject();
    EXPECT_EQ(k["first"].toInt(), 21);
    EXPECT_EQ(k["last"].toInt(), 40);
    EXPECT_EQ(k["seen"].toInt(), 0);
    // after its days, the plan says it is over; ended, it is gone
    const QStringList late{"--settings", dir.filePath("settings.ini"), "--today", "2026-06-01"};
    RUN_WINDOW_WITH(over, {"check"}, late);
    EXPECT_FALSE(over.state["khatmah"].toObject().contains("first"));
    EXPECT_TRUE(over.text("lblPage").contains(QString::fromUtf8("به پایان رسید")));
    RUN_WINDOW_WITH(ended, {"answer:yes", "menu:mnuKhatmah", "check"}, day2);
    EXPECT_TRUE(ended.state["khatmah"].isNull());
    EXPECT_EQ(ended.text("lblPage"), QString::fromUtf8("صفحه 1"));
    // a plan out of range is refused and says so
    RUN_WINDOW_WITH(bad, {"khatmah:366:1", "check"}, day1);
    EXPECT_TRUE(bad.state["khatmah"].isNull());
    EXPECT_FALSE(bad.state["message"].toString().isEmpty());
}

// The plan's dialog: right to left, Persian buttons and digits, digits of any
// script typed, nothing out of range taken; the start page is the one on
// screen when it opened.
TEST(Khatmah, TheDialogIsPersianAndTakesDigitsOfEveryScript) {
    QString okText, days, page;
    bool rtl = false, refused = false;
    RUN_WINDOW_WITH(r, {"check"}, {"--today", "2026-03-01"}, [&](mushaf::frmMain& w) {
        static_cast<QScrollBar*>(w.Control("hsAllQuran"))->setValue(28);  // page 4
        w.SetInteractive(true);
        WhenADialogOpens([&](QDialog& dialog) {
            rtl = dialog.layoutDirection() == Qt::RightToLeft;
            if (const QString shots = qEnvironmentVariable("MUSHAF_SHOTS"); !shots.isEmpty())
                dialog.grab().save(shots + "/khatmah-dialog.png");
            auto* daysBox = dialog.findChild<QLineEdit*>("txtDialogNumber1");
            auto* pageBox = dialog.findChild<QLineEdit*>("txtDialogNumber2");
            auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            okText = ok->text();
            days = daysBox->text();
            page = pageBox->text();
            static_cast<QScrollBar*>(w.Control("hsAllQuran"))->setValue(100);  // the reader moves on
            daysBox->selectAll();
            QTest::keyClicks(daysBox, "999");
            refused = !ok->isEnabled();
            daysBox->selectAll();
            QTest::keyClicks(daysBox, "7");
            pageBox->selectAll();
            for (QChar c : QString::fromUtf8("٣٠٠")) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(pageBox, &key);
            }
            ok->click();
        });
        w.MenuAction("mnuKhatmah")->trigger();
        w.SetInteractive(false);
    });
    EXPECT_TRUE(rtl);
    EXPECT_EQ(okText, QString::fromUtf8("تأیید"));
    EXPECT_EQ(days, QString::fromUtf8("۳۰"));
    EXPECT_EQ(page, QString::fromUtf8("۴"));
    EXPECT_TRUE(refused);
    const QJsonObject k = r.state["khatmah"].toObject();
    EXPECT_EQ(k["days"].toInt(), 7);
    EXPECT_EQ(k["startPage"].toInt(), 300);
}

// The day follows the reader's clock: past midnight the caption says the
// next day's pages, and a plan made then begins on that day.
TEST(Khatmah, PastMidnightTheCaptionSaysTheNextDaysPages) {
    QTemporaryDir dir;
    const QStringList day1{"--settings", dir.filePath("settings.ini"), "--today", "2026-03-01"};
    RUN_WINDOW_WITH(r, {"khatmah:30:1", "clock:+86400", "check"}, day1);
    EXPECT_EQ(r.state["khatmah"].toObject()["first"].toInt(), 21);
    EXPECT_TRUE(r.text("lblPage").contains(QString::fromUtf8("۲۱ تا ۴۰"))) << r.text("lblPage").toStdString();
    RUN_WINDOW_WITH(later, {"khatmah:end", "clock:+86400", "khatmah:7:300", "check"}, day1);
    EXPECT_EQ(later.state["khatmah"].toObject()["began"].toString(), "2026-03-02");
    EXPECT_EQ(later.state["khatmah"].toObject()["first"].toInt(), 300);
}
