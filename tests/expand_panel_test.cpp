// The collapsible panel in a small host window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "controls/Expand_Panel.h"
#include "platform/Key_Language.h"
#include "platform/qt/QtServices.h"

using mushaf::Expand_Panel;

namespace {

class ExpandPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        settings = std::make_unique<mushaf::QtSettings>(dir.filePath("settings.ini"));
        host = std::make_unique<QWidget>();
        host->resize(400, 400);
    }
    Expand_Panel* NewPanel(const char* name, int myHeight = 2640) {
        auto* p = new Expand_Panel(host.get(), *settings, "MushafTest");
        p->setObjectName(name);
        p->ReadProperties({{"MyHeight", myHeight}, {"MyTitle", QStringLiteral("سوره ها")}});
        return p;
    }
    std::u16string Stored(const char* name) {
        return settings->Get(u"MushafTest", u"Set", QString(name).toStdU16String()).value_or(u"<none>");
    }

    QTemporaryDir dir;
    std::unique_ptr<mushaf::QtSettings> settings;
    std::unique_ptr<QWidget> host;
};

}  // namespace

TEST_F(ExpandPanelTest, FirstShowStartsCollapsed) {
    Expand_Panel* p = NewPanel("panel1");
    EXPECT_EQ(p->MyTitle(), QStringLiteral("سوره ها"));
    QSignalSpy expanded(p, &Expand_Panel::Expanded);
    host->show();
    EXPECT_EQ(p->height(), Expand_Panel::Px(300 + 20));
    EXPECT_EQ(p->Glyph()->text(), "6");
    EXPECT_FALSE(p->BeExpand());
    EXPECT_EQ(Stored("panel1"), u"True");
    EXPECT_EQ(expanded.count(), 1);
}

TEST_F(ExpandPanelTest, TwoClicksComeBack) {
    Expand_Panel* p = NewPanel("panel2");
    host->show();
    const int collapsed = p->height();
    QSignalSpy expanded(p, &Expand_Panel::Expanded);
    QTest::mouseClick(p->Title(), Qt::LeftButton);
    EXPECT_EQ(p->height(), Expand_Panel::Px(2640));
    EXPECT_EQ(p->Glyph()->text(), "5");
    EXPECT_EQ(Stored("panel2"), u"False");
    QTest::mouseClick(p->Glyph(), Qt::LeftButton);
    EXPECT_EQ(p->height(), collapsed);
    EXPECT_EQ(p->Glyph()->text(), "6");
    EXPECT_EQ(Stored("panel2"), u"True");
    EXPECT_EQ(expanded.count(), 2);
}

TEST_F(ExpandPanelTest, NextRunStartsAsThisOneLeftIt) {
    Expand_Panel* p = NewPanel("panel3");
    host->show();
    QTest::mouseClick(p->Title(), Qt::LeftButton);  // expanded, stored "False"
    host = std::make_unique<QWidget>();
    Expand_Panel* again = NewPanel("panel3");
    host->show();
    EXPECT_EQ(again->Glyph()->text(), "5");
    EXPECT_EQ(again->height(), Expand_Panel::Px(2640));
}

TEST_F(ExpandPanelTest, EveryLaterShowFlips) {
    Expand_Panel* p = NewPanel("panel4");
    host->show();
    EXPECT_EQ(p->Glyph()->text(), "6");
    p->hide();
    p->show();
    EXPECT_EQ(p->Glyph()->text(), "5");
    p->hide();
    p->show();
    EXPECT_EQ(p->Glyph()->text(), "6");
}

TEST_F(ExpandPanelTest, ChildrenFollowTheWidthOnly) {
    Expand_Panel* p = NewPanel("panel5");
    auto* a = new QLineEdit(p);
    auto* b = new QLineEdit(p);
    a->setGeometry(10, 100, 50, 20);
    b->setGeometry(10, 40, 50, 20);
    host->show();
    QTest::mouseClick(p->Title(), Qt::LeftButton);  // expand
    p->resize(300, p->height());
    EXPECT_EQ(a->y(), 100);
    EXPECT_EQ(b->y(), 40);
    EXPECT_EQ(a->x(), Expand_Panel::Px(30));
    EXPECT_EQ(a->width(), Expand_Panel::Px(300 * 15 - 60));
    EXPECT_EQ(b->width(), a->width());
    // the title sits at the right end of the bar, the glyph to its left
    EXPECT_EQ(p->TitleBar()->width(), 300);
    EXPECT_GT(p->Title()->x(), p->Glyph()->x());
    EXPECT_LE(p->Title()->geometry().right(), 300 - Expand_Panel::Px(50) + 1);
}

TEST_F(ExpandPanelTest, PropertiesByMode) {
    Expand_Panel* p = NewPanel("panel6");
    p->MyHeight(100);  // run mode: ignored
    EXPECT_EQ(p->MyHeight(), 2640);
    Expand_Panel design(nullptr, *settings, "MushafTest", true);
    design.BeExpand(true);  // design mode: ignored
    EXPECT_FALSE(design.BeExpand());
    design.MyHeight(1200);
    EXPECT_EQ(design.MyHeight(), 1200);
    Expand_Panel::PropertyMap saved;
    design.MyTitle("Title");
    design.WriteProperties(saved);
    EXPECT_EQ(saved["MyHeight"].toInt(), 1200);
    EXPECT_EQ(saved["MyTitle"].toString(), "Title");
    EXPECT_FALSE(saved["BeExpand"].toBool());
    // defaults for what was never saved
    Expand_Panel fresh(nullptr, *settings, "MushafTest", true);
    fresh.ReadProperties({});
    EXPECT_EQ(fresh.MyHeight(), 0);
    EXPECT_EQ(fresh.MyTitle(), "My Title");
    // a panel without children orders nothing and does not fail
    fresh.Order_Object();
}

TEST_F(ExpandPanelTest, DesignModeStacksTheChildren) {
    Expand_Panel design(nullptr, *settings, "MushafTest", true);
    design.resize(200, 300);
    auto* a = new QLineEdit(&design);
    auto* b = new QLineEdit(&design);
    a->setGeometry(0, 150, 50, 20);
    b->setGeometry(0, 60, 50, 30);
    design.Order_Object();
    EXPECT_EQ(b->y(), Expand_Panel::Px(300 + 60));
    EXPECT_EQ(a->y(), Expand_Panel::Px(300 + 60 + 30 * 15 + 60));
}

TEST(KeyLanguage, PersianAndEnglishLayouts) {
    mushaf::OsKeyboardLayout layouts;
    int32_t which = 2;
    mushaf::Set_Language(which, layouts);
    EXPECT_EQ(layouts.last, "00000409");
    which = 1;
    mushaf::Set_Language(which, layouts);
    EXPECT_EQ(layouts.last, "00000429");
    which = 3;  // anything else does nothing
    mushaf::Set_Language(which, layouts);
    EXPECT_EQ(layouts.last, "00000429");
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
