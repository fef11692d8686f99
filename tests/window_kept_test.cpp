// What the reader kept, read back with suspicion: a window place of any
// size, a settings file that cannot be read or written, the script chosen;
// and what a new search, an export and the command line tell the reader.
#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "layout/ControlTree.h"
#include "layout/Rules.h"
#include "tests/WindowRun.h"
#include "window/KeptPlace.h"

using mushaf::testing::RunProcess;
using mushaf::testing::RunWindow;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }

// A window place as QWidget::saveGeometry writes it.
QByteArray Geometry(const QRect& frame, const QRect& normal, const QRect& client) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_0);
    out << quint32(0x1D9D0CB) << quint16(3) << quint16(0) << frame << normal << qint32(0) << quint8(0) << quint8(0)
        << qint32(1280) << client;
    return bytes;
}

// A settings file that keeps the place with this window geometry.
struct KeptPlace {
    QTemporaryDir dir;
    QString file = dir.filePath("settings.ini");
    explicit KeptPlace(const QByteArray& geometry) {
        QSettings s(file, QSettings::IniFormat);
        s.setValue("Mushaf/Reader/RememberPlace", "true");
        s.setValue("Mushaf/Reader/PlaceLine", "100");
        s.setValue("Mushaf/Reader/PlaceWindow", QString::fromLatin1(geometry.toBase64()));
    }
    QStringList options() const { return {"--settings", file}; }
};

QSize DesignSize() {
    return {mushaf::layout::ToPixels(mushaf::layout::kDesignClientWidth),
            mushaf::layout::ToPixels(mushaf::layout::kDesignClientHeight)};
}
}  // namespace

TEST(Kept, AWindowPlaceIsReadBackOnlyWhenItIsSound) {
    const QSize minimum(mushaf::layout::ToPixels(mushaf::layout::kMinClientWidth),
                        mushaf::layout::ToPixels(mushaf::layout::kMinClientHeight));
    const QList<QRect> screens{QRect(0, 0, 1280, 1024)};
    auto sound = [&](const QByteArray& bytes) {
        auto g = mushaf::ReadSavedGeometry(bytes);
        return g && mushaf::SoundPlace(*g, minimum, screens);
    };
    const QRect good(100, 80, 800, 600);
    EXPECT_TRUE(sound(Geometry(good.adjusted(-2, -20, 2, 2), good, good)));
    const QRect huge(0, 0, 2000000000, 2000000000);
    EXPECT_FALSE(sound(Geometry(huge, huge, huge)));
    EXPECT_FALSE(sound(Geometry(good, good, huge)));  // a client larger than the screen
    EXPECT_FALSE(sound(Geometry(QRect(5000, 5000, 800, 600), QRect(5000, 5000, 800, 600), QRect(5000, 5000, 800, 600))));
    EXPECT_FALSE(sound(Geometry(QRect(10, 10, 1, 1), QRect(10, 10, 1, 1), QRect(10, 10, 1, 1))));
    const QRect far(-2147483000, -2147483000, 800, 600);  // no overflow in the middle's sum
    EXPECT_FALSE(sound(Geometry(far, far, far)));
    // the header and five zero bytes, another magic number, nothing
    QByteArray truncated = Geometry(good, good, good).left(8) + QByteArray(5, '\0');
    EXPECT_FALSE(mushaf::ReadSavedGeometry(truncated));
    QByteArray foreign = Geometry(good, good, good);
    foreign[0] = 0x7F;
    EXPECT_FALSE(mushaf::ReadSavedGeometry(foreign));
    EXPECT_FALSE(mushaf::ReadSavedGeometry(QByteArray()));
}

TEST(Kept, AnUnsoundWindowPlaceOpensTheDesignSizeCentredAndIsNotKeptAgain) {
    const QRect huge(0, 0, 2000000000, 2000000000);
    for (const QByteArray& geometry :
         {Geometry(huge, huge, huge), Geometry(QRect(9, 9, 1, 1), QRect(9, 9, 1, 1), QRect(9, 9, 1, 1)).left(8) + QByteArray(5, '\0'),
          Geometry(QRect(9, 9, 1, 1), QRect(9, 9, 1, 1), QRect(9, 9, 1, 1))}) {
        KeptPlace kept(geometry);
        RUN_WINDOW_WITH(r, QStringList{}, kept.options());
        EXPECT_EQ(r.state["hsAllQuran"].toInt(), 100);  // the rest of the place is taken
        const QJsonObject w = r.state["window"].toObject();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE(w["width"].toInt(), screen.width());
        EXPECT_LE(w["height"].toInt(), screen.height());
        EXPECT_GE(w["width"].toInt(), DesignSize().width());
        EXPECT_GE(w["height"].toInt(), DesignSize().height());
        // closing kept the place the window had, which reads back as sound
        QSettings s(kept.file, QSettings::IniFormat);
        auto again = mushaf::ReadSavedGeometry(QByteArray::fromBase64(s.value("Mushaf/Reader/PlaceWindow").toByteArray()));
        ASSERT_TRUE(again);
        EXPECT_EQ(again->normal.size(), DesignSize());
    }
    // a sound place is taken as it was kept
    const QRect place(150, 120, 900, 700);
    KeptPlace good(Geometry(place.adjusted(0, -20, 0, 0), place, place));
    RUN_WINDOW_WITH(r, QStringList{}, good.options());
    EXPECT_EQ(r.state["window"].toObject()["width"].toInt(), 900);
}

TEST(Kept, ASettingsFileThatCannotBeReadIsSaidAndNeverWrittenOver) {
    QTemporaryDir dir;
    // a folder where the file should be
    const QString folder = dir.filePath("settings.ini");
    ASSERT_TRUE(QDir().mkpath(folder + "/inside"));
    RUN_WINDOW_WITH(r, QStringList{"menu:mnuNight", "slider:300", "key:Ctrl+D"}, {"--settings", folder});
    const QString message = r.state["message"].toString();
    EXPECT_TRUE(message.contains(QChar(0x2066) + folder + QChar(0x2069))) << message.toStdString();
    EXPECT_TRUE(message.contains(U("خوانده نشد")));
    EXPECT_TRUE(message.contains(U("پوشه")));
    // the reader goes on with what is in memory
    EXPECT_TRUE(r.state["night"].toBool());
    EXPECT_EQ(r.state["FishList"].toString(), "300");
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).join(","), "inside");
}

TEST(Kept, ADamagedSettingsFileIsReadAsFarAsItCanBeAndNeverWrittenOver) {
    QTemporaryDir dir;
    const QString file = dir.filePath("settings.ini");
    const QByteArray kept = "[Mushaf]\nReader\\FishList=300 400\n[Mushaf\nReader\\Night=true\n";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kept);
    }
    RUN_WINDOW_WITH(r, QStringList{"menu:mnuNight", "slider:500", "key:Ctrl+D"}, {"--settings", file});
    EXPECT_TRUE(r.state["message"].toString().contains(U("خراب"))) << r.state["message"].toString().toStdString();
    EXPECT_EQ(r.state["FishList"].toString(), "300 400 500");  // the cards it could read, and the new one
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), kept);
}

TEST(Kept, ASettingsFileThatCannotBeWrittenIsSaidOnce) {
    QTemporaryDir dir;
    // its folder cannot be made: a file stands where the folder would be
    const QString blocker = dir.filePath("blocker");
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString file = blocker + "/sub/settings.ini";
    RUN_WINDOW_WITH(quiet, QStringList{}, {"--settings", file});
    EXPECT_EQ(quiet.state["message"].toString(), "");  // nothing kept, nothing written yet
    RUN_WINDOW_WITH(r, QStringList{"menu:mnuNight", "menu:mnuNight", "menu:mnuNight"}, {"--settings", file});
    const QString message = r.state["message"].toString();
    EXPECT_TRUE(message.contains(U("نوشته نشد"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QChar(0x2066) + file + QChar(0x2069)));
    EXPECT_TRUE(r.state["night"].toBool());
    // a readable file: no word
    QTemporaryDir fine;
    RUN_WINDOW_WITH(ok, QStringList{"menu:mnuNight"}, {"--settings", fine.filePath("settings.ini")});
    EXPECT_EQ(ok.state["message"].toString(), "");
}

TEST(Kept, TheUthmaniScriptComesBackWithItsMarks) {
    QTemporaryDir dir;
    const QStringList options{"--settings", dir.filePath("settings.ini")};
    RUN_WINDOW_WITH(chose, QStringList{"menu:mnuScriptUthmani"}, options);
    RUN_WINDOW_WITH(next, QStringList{}, options);
    EXPECT_EQ(next.state["script"].toString(), "uthmani");
    EXPECT_TRUE(next.state["ShowEarab"].toBool());
    EXPECT_TRUE(next.document("wbrQuran").contains(QChar(0x0671)));  // alef wasla: the Uthmani text of page 1
}

TEST(Kept, ANewSearchAlwaysReplacesTheList) {
    RUN_WINDOW(r, "key:F3", "type:txtSearch:" + U("الله"), "key:Return", "type:txtSearch:*", "key:Return",
               "menu:mnuExportSearch");
    EXPECT_EQ(r.document("wbrSearchResult").count("<br>"), 0);
    EXPECT_TRUE(r.document("wbrSearchResult").contains(U("موردي يافت نشد")));
    // nothing shown, nothing exported
    EXPECT_TRUE(r.state["exported"].toArray().isEmpty());
    EXPECT_EQ(r.state["message"].toString(), U("نتیجهٔ جستجویی برای صدور نیست."));
}

TEST(Kept, AnExportSaysWhereTheFileWent) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    RUN_WINDOW_WITH(r, QStringList{"slider:300", "key:Ctrl+D", "menu:mnuExportFish"}, {"--export-dir", out});
    const QJsonArray written = r.state["exported"].toArray();
    ASSERT_EQ(written.size(), 1);
    const QString message = r.state["message"].toString();
    EXPECT_TRUE(message.contains(QChar(0x2066) + written[0].toString() + QChar(0x2069))) << message.toStdString();
}

TEST(Kept, OptionsWithAnEqualsSign) {
    RUN_PROCESS(page, {}, {"--page=50"});
    EXPECT_EQ(page.model()["Page"].toInt(), 50);
    QTemporaryDir dir;
    RUN_PROCESS(juz, {"menu:mnuNight"}, {"--juz=3", "--settings=" + dir.filePath("s.ini")});
    EXPECT_EQ(juz.model()["Joze"].toInt(), 3);
    EXPECT_TRUE(QFile::exists(dir.filePath("s.ini")));
}
