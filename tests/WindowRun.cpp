// The window tests' main: one application for all of them, every test on a
// window of its own.
#include "tests/WindowRun.h"

#include <QApplication>
#include <QTemporaryDir>

#include "automation/Automation.h"
#include "platform/qt/QtAudio.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtTableSource.h"
#include "window/Start.h"
#include "window/frmMain.h"

namespace mushaf::testing {

namespace {

class MemoryClipboard : public Clipboard {
public:
    void Clear() override { text_.clear(); }
    void SetText(const std::u16string& text) override { text_ = text; }
    std::u16string Text() const override { return text_; }

private:
    std::u16string text_;
};

class NoKeyboardLayouts : public KeyboardLayout {
public:
    void Load(const std::string&, unsigned) override {}
};

}  // namespace

AudioPlayerMaker& AudioForRuns() {
    static AudioPlayerMaker maker = MakeQtAudioPlayer;
    return maker;
}

WindowRun RunWindow(const QStringList& actions, const QStringList& options, const std::function<void(frmMain&)>& first) {
    QtTableSource tables;
    QtSystemColours colours;
    MemoryClipboard clipboard;
    NoKeyboardLayouts keyboard;
    QTemporaryDir fresh;
    QString settingsFile = fresh.filePath("settings.ini");
    const int s = static_cast<int>(options.indexOf("--settings"));
    if (s >= 0) settingsFile = options.value(s + 1);
    QtSettings settings(settingsFile);
    WindowServices services{tables, colours, clipboard, keyboard, settings};
    const int e = static_cast<int>(options.indexOf("--export-dir"));
    if (e >= 0) services.exportFolder = options.value(e + 1).toStdString();
    if (const int r = static_cast<int>(options.indexOf("--recitations")); r >= 0)
        services.recitationFolders = {options.value(r + 1).toStdString()};
    // the shipped packs from the source tree; the reader's in a folder of the run's own
    services.shippedTranslations = MUSHAF_PACK_DIR;
    services.readerTranslations = fresh.filePath("translations").toStdString();
    if (const int t = static_cast<int>(options.indexOf("--translations")); t >= 0)
        services.readerTranslations = options.value(t + 1).toStdString();
    services.audio = AudioForRuns();
    services.importRecordings = ImportRecordings;
    WindowRun run;
    {
        frmMain window(services);
        window.SetInteractive(false);
        const int t = static_cast<int>(options.indexOf("--today"));
        if (t >= 0) window.Parts().clock->StartOn(QDate::fromString(options.value(t + 1), Qt::ISODate));
        window.Form_Load();
        window.StartAt(std::nullopt);
        window.show();
        if (first) {
            run.state = RunActions(window, clipboard, {});
            if (!run.state.contains("error")) first(window);
        }
        if (!run.state.contains("error")) run.state = RunActions(window, clipboard, actions);
        window.close();
    }
    run.status = run.state.contains("error") ? 1 : 0;
    run.error = run.state.value("error").toString();
    return run;
}

}  // namespace mushaf::testing

int main(int argc, char** argv) {
    qputenv("FONTCONFIG_FILE", MUSHAF_FONTS_CONF);
    mushaf::PrepareToolkit(argv[0]);
    QApplication app(argc, argv);
    mushaf::ToolkitStarted();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
