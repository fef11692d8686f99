// What a reader (or the automation) can throw at the program without it
// crashing, growing without bound, or reporting a mixed state.
#include <gtest/gtest.h>

#include "model/Errors.h"
#include "model/cQ114.h"
#include "platform/qt/QtTableSource.h"
#include "tests/WindowRun.h"
#include "window/Start.h"

using mushaf::testing::RunWindow;

TEST(Robustness, TheDumpIsOneMoment) {
    // Return on the clicked link clicks it again: that click comes back from
    // the renderer after the key, and is handled before the state is read
    for (int run = 0; run < 3; ++run) {
        RUN_WINDOW(r, "click:wbrQuran:3", "key:F12", "key:Return");
        const int line = r.state["hsAllQuran"].toInt();
        EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), line);
        EXPECT_EQ(r.text("txtPage").toInt(), r.state["hsPage"].toInt());
        if (r.tag("wbrQuran") == r.text("txtPage")) {
            EXPECT_EQ(r.marked(), QStringList{QStringLiteral("div%1").arg(line)});
        }
    }
}

TEST(Robustness, AClickComingBackFromThePageIsInTheDump) {
    // a click whose report from the renderer is still on its way when the
    // action ends: the dump must show its line in the boxes and as marked
    RUN_WINDOW(at, "eval:wbrQuran:(function(){var r=document.getElementById('3').getBoundingClientRect();"
                   "return [(r.left+r.width/2)/window.innerWidth,(r.top+r.height/2)/window.innerHeight];})()");
    const QJsonArray xy = at.state["evaluated"].toArray()[0].toArray();
    for (int run = 0; run < 3; ++run) {
        RUN_WINDOW(r, QStringLiteral("clickat:wbrQuran:%1,%2").arg(xy[0].toDouble()).arg(xy[1].toDouble()));
        EXPECT_EQ(r.state["hsAllQuran"].toInt(), 3);
        EXPECT_EQ(r.text("txtAyeh"), "4");
        EXPECT_EQ(r.marked(), QStringList{"div3"});
    }
}

TEST(Robustness, ResizeIsBoundedByTheScreen) {
    RUN_WINDOW(r, "resize:2147483647,2147483647");
    const QJsonObject w = r.state["window"].toObject();
    EXPECT_LE(w["width"].toInt(), 1280 + 64);  // the Xvfb screen, with room for a frame
    EXPECT_LE(w["height"].toInt(), 1024 + 64);
    RUN_WINDOW(tiny, "resize:1,1", "resize:-50,-50", "check");
    EXPECT_GE(tiny.state["window"].toObject()["width"].toInt(), 1);
}

TEST(Robustness, AClickFindsItsElementAtAnyTextSize) {
    // at 250 % ayah 4 of the first page is drawn far from where its CSS box says
    RUN_WINDOW(r, "key:Ctrl+=", "key:Ctrl+=", "key:Ctrl+=", "key:Ctrl+=", "key:Ctrl+=", "key:Ctrl+=",
               "click:wbrQuran:4");
    EXPECT_EQ(r.state["zoom"].toObject()["wbrQuran"].toDouble(), 2.5);
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 4);
    EXPECT_EQ(r.marked(), QStringList{"div4"});
    // a click that reaches nothing that reports it fails as other actions do
    mushaf::testing::WindowRun none = mushaf::testing::RunWindow({"click:wbrQuran:nothing-has-this-id"});
    EXPECT_EQ(none.status, 1);
}

TEST(Robustness, TheModelReadAheadIsHandedOverOnceAndFailsAsReadingItWould) {
    // read on a thread of its own while the window starts
    const mushaf::QtTableSource tables;
    auto read = mushaf::ReadModelAhead(tables);
    std::unique_ptr<mushaf::cQ114> model = read();
    ASSERT_TRUE(model);
    EXPECT_EQ(model->LineCount(), 6348);
    EXPECT_EQ(read(), nullptr);

    // a table that is not there is thrown where the model is taken
    struct WithoutTranslation : mushaf::TableSource {
        const mushaf::TableSource& all;
        explicit WithoutTranslation(const mushaf::TableSource& all) : all(all) {}
        std::optional<std::string> Lookup(std::string_view name, int id) const override {
            if (mushaf::UpperAscii(name) == "FA") return std::nullopt;
            return all.Lookup(name, id);
        }
    } broken(tables);
    auto failing = mushaf::ReadModelAhead(broken);
    EXPECT_THROW(failing(), mushaf::ModelError);
}

// Windows closed while every shown pane draws frame after frame: no frame
// reaches a view whose page is going. tests/teardown-race.sh runs this with
// the engine's window for that fault held open, and TEARDOWNS=N runs more.
TEST(Teardown, AWindowClosesWhileItsPanesDraw) {
    const int n = qEnvironmentVariableIsSet("TEARDOWNS") ? qEnvironmentVariableIntValue("TEARDOWNS") : 8;
    const QString animate = "(function f(){document.body.style.opacity=0.5+Math.random()/2;requestAnimationFrame(f)})()";
    for (int i = 0; i < n; ++i) {
        RUN_WINDOW(r, "resize:57000,31000", "eval:wbrQuran:" + animate, "eval:wbrFarsi:" + animate,
                   "eval:wbrSoreh:" + animate);
        EXPECT_EQ(r.marked(), QStringList{"div0"});
    }
}
