#pragma once
// Recitation: a reciter's recordings played ayah by ayah, the page following
// the voice; repeat, where playing stops, and speed. A move by the reader
// while it plays goes on from the new line; while it is paused, the next F5
// begins there.
#include <QObject>
#include <QString>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "model/cQ114.h"
#include "platform/Audio.h"
#include "platform/RecordingImport.h"
#include "platform/qt/QtDownloader.h"
#include "window/Command.h"
#include "window/ReaderChoices.h"
#include "window/ReadingState.h"
#include "window/Recital.h"

namespace mushaf {

class KeptChoices;
class MessageLine;

class RecitationPart : public QObject {
    Q_OBJECT
public:
    struct Services {
        // where reciters' folders are looked for, and what plays them (none: no sound)
        std::vector<std::filesystem::path> folders;
        AudioPlayerMaker audio;
        RecordingImport import = {};  // none: recordings cannot be added
    };
    // `pageStarts`: the first line of each page, then the line count;
    // `captionChanged` says the page's caption again.
    RecitationPart(ReadingState& state, const cQ114& model, const std::vector<int16_t>& pageStarts, KeptChoices& choices,
                   MessageLine& messages, Services services, std::function<void()> captionChanged,
                   QObject* parent = nullptr);
    ~RecitationPart() override;
    std::vector<Command> Commands();

    // where the reader's own reciters' folders go
    static std::filesystem::path UserFolder();
    static constexpr std::size_t kRecitersInMenu = 12;

    // F5: plays from the current ayah, or pauses, or goes on.
    void PlayOrPause();
    void Stop();
    void ChooseReciter(const std::u16string& name);
    void SetRepeat(int times);
    void SetPlayTo(ReaderChoices::PlayTo to);
    void SetSpeed(int percent);
    // A range said over and over (none: the repeat and end chosen apart);
    // while it plays, from the range's start again.
    void SetRange(std::optional<ReaderChoices::Range> range);
    // The range from surah and ayah numbers, the ayah brought within its surah.
    ReaderChoices::Range RangeOf(int fromSurah, int fromAyah, int toSurah, int toAyah, int times, int each, int pause) const;

    // The recitation as it stands: the reciter that plays (the chosen one,
    // or the first found), what plays and how often it has played.
    struct State {
        QString reciter;  // empty: none found
        bool playing = false, paused = false;
        int16_t line = -1, stopLine = -1;
        QString file;
        int played = 0;
        int round = 0;  // of a range: the times it has been said whole
    };
    State Now() const;
    const std::vector<Reciter>& Reciters() const { return reciters_; }
    // What the page's caption says while it plays; empty when nothing.
    QString Caption() const;

    // The recordings of a folder or an archive copied into the reciter
    // `name`'s folder (one of that name, or a new one in the reader's
    // folder), which is then the reciter chosen; what came of it said.
    void AddRecordings(const std::u16string& name, const std::filesystem::path& from);
    const std::optional<ImportReport>& LastImport() const { return lastImport_; }
    // The recordings of `surahs` fetched from `base` (base/SSSAAA.mp3) into
    // the reciter `name`'s folder, a few at a time, with the progress shown;
    // what failed said at the end, and the reciter chosen.
    void DownloadRecordings(const std::u16string& name, const QUrl& base, const std::vector<int>& surahs);
    void CancelDownload();
    // Null before the first download.
    const QtDownloader::Progress* Downloads() const { return downloader_ ? &downloader_->Now() : nullptr; }

signals:
    // Playing, paused or stopped, another line, another repeat or choice.
    void Changed();

private:
    const Reciter* ActiveReciter() const;
    void ChooseFromList();
    // Plays from `line`, or from the first line after it with a recording,
    // up to where the reader's choice stops it.
    void ReciteFrom(int16_t line);
    void PlayLine(int16_t line);
    // The recording that follows made ready.
    void PrepareNext();
    void RecordingEnded();
    void RecordingFailed(const std::string& why);
    void NextLine();
    void FollowReader(ReadingState::From from);
    void Notice(const QString& text);
    std::pair<int, int> SurahAyahOf(int16_t line) const;
    const std::vector<int16_t>& UnitFirsts(ReaderChoices::PlayTo unit) const;
    std::optional<std::filesystem::path> RecordingOf(int16_t line) const;
    // The first line from `line` up to where playing stops that has a
    // recording; past that line when none has.
    int16_t RecordedFrom(int line) const;
    std::vector<Command> ChoiceCommands();
    std::vector<Command> RangeCommands();
    std::vector<Command> AddingCommands();
    void AskRecordings(bool archive);
    void FindAllReciters();
    std::filesystem::path FolderFor(const std::u16string& name) const;
    void AskDownload();
    void ShowDownload();
    void DownloadEnded();
    void AskRange();
    // How often each ayah plays, and the silence before a repeat.
    int EachTimes() const;
    int PauseMs() const;
    // A range said whole has another round to go.
    bool AnotherRound() const;
    // `then` after the pause before a repeat (at once without one); not
    // after a stop, and after the resume when paused meanwhile.
    void AfterPause(std::function<void()> then);
    int16_t LineOf(int surah, int ayah) const;

    ReadingState& state_;
    const cQ114& Q114;
    const std::vector<int16_t>& pageStarts_;
    KeptChoices& choices_;
    MessageLine& messages_;
    Services services_;
    std::function<void()> captionChanged_;
    std::vector<Reciter> reciters_;
    std::map<std::u16string, std::size_t> reciterAt_;  // by name
    // the reciter that plays, for the name it was last found for
    mutable std::pair<std::u16string, const Reciter*> active_{u"\uFFFF", nullptr};
    Recordings recordings_;  // the reciter's, as found at the last start
    std::unique_ptr<AudioPlayer> player_;
    enum class Sound { Stopped, Playing, Paused } sound_ = Sound::Stopped;
    int16_t playingLine_ = -1, stopLine_ = -1;
    std::filesystem::path playingFile_;
    int timesPlayed_ = 0, failures_ = 0, round_ = 0;
    int waiting_ = 0;  // the pause before a repeat running; a stop makes it void
    bool retried_ = false;  // the recording playing failed once and is tried again
    std::function<void()> onResume_;  // an end or a failure that came as the reader paused
    QString notice_;  // said beside the page's caption while it plays
    mutable std::vector<int16_t> unitFirsts_[4];  // first lines of every page, surah, juz'
    std::optional<ImportReport> lastImport_;
    QtDownloader* downloader_ = nullptr;  // made at the first download
    std::u16string downloading_;          // the reciter's name
    class QProgressDialog* progress_ = nullptr;
};

}  // namespace mushaf
