// Recitation: a reciter's recordings played ayah by ayah, the page following
// the voice; repeat, where playing stops, and speed.
#include "window/Recitation.h"

#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <tuple>
#include <utility>

#include "platform/qt/QtServices.h"
#include "window/Dialogs.h"
#include "window/KeptChoices.h"
#include "window/MessageLine.h"

namespace mushaf {

namespace {

// consecutive recordings that could not be played before playing stops
constexpr int kMostFailures = 3;
// before a recording that failed is tried again
constexpr int kRetryMs = 150;

QString Name(const std::filesystem::path& file) { return ToQ(DisplayName(file)); }

// The name a recording of that ayah has, without its extension.
QString RecordingName(int surah, int ayah) {
    return QStringLiteral("%1%2").arg(surah, 3, 10, QLatin1Char('0')).arg(ayah, 3, 10, QLatin1Char('0'));
}

}  // namespace

RecitationPart::RecitationPart(ReadingState& state, const cQ114& model, const std::vector<int16_t>& pageStarts,
                               KeptChoices& choices, MessageLine& messages, Services services,
                               std::function<void()> captionChanged, QObject* parent)
    : QObject(parent), state_(state), Q114(model), pageStarts_(pageStarts), choices_(choices), messages_(messages),
      services_(std::move(services)), captionChanged_(std::move(captionChanged)) {
    FindAllReciters();
    connect(&state_, &ReadingState::Moved, this, &RecitationPart::FollowReader);
}

void RecitationPart::FindAllReciters() {
    reciters_ = FindReciters(services_.folders);
    reciterAt_.clear();
    for (std::size_t i = 0; i < reciters_.size(); ++i) reciterAt_.emplace(reciters_[i].name, i);
    active_ = {u"\uFFFF", nullptr};
}

RecitationPart::~RecitationPart() {
    if (player_) player_->Stop();
}

std::filesystem::path RecitationPart::UserFolder() {
    // the program's data folder (~/.local/share/mushaf), whichever of its
    // executables runs
    return (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/mushaf/recitations"))
        .toStdString();
}

const Reciter* RecitationPart::ActiveReciter() const {
    // looked up once for each name chosen: every reciter's check mark asks
    if (active_.first != choices_->reciter) {
        const auto at = reciterAt_.find(choices_->reciter);
        active_ = {choices_->reciter, at != reciterAt_.end() ? &reciters_[at->second]
                                      : reciters_.empty()    ? nullptr
                                                             : &reciters_.front()};
    }
    return active_.second;
}

RecitationPart::State RecitationPart::Now() const {
    State s;
    if (const Reciter* r = ActiveReciter()) s.reciter = ToQ(r->name);
    s.playing = sound_ == Sound::Playing;
    s.paused = sound_ == Sound::Paused;
    s.line = sound_ == Sound::Stopped ? -1 : playingLine_;
    s.file = sound_ == Sound::Stopped ? QString() : Name(playingFile_);
    s.played = timesPlayed_;
    s.stopLine = sound_ == Sound::Stopped ? -1 : stopLine_;
    s.round = round_;
    return s;
}

QString RecitationPart::Caption() const { return sound_ != Sound::Stopped ? notice_ : QString(); }

// The surah and ayah of a line, as the model has them.
std::pair<int, int> RecitationPart::SurahAyahOf(int16_t line) const {
    const cQ114::Line& at = Q114.LineAt(line);
    return {at.soreh, at.ayeh};
}

const std::vector<int16_t>& RecitationPart::UnitFirsts(ReaderChoices::PlayTo unit) const {
    auto& firsts = unitFirsts_[static_cast<int>(unit)];
    if (!firsts.empty() || unit == ReaderChoices::PlayTo::Quran) return firsts;
    if (unit == ReaderChoices::PlayTo::Page) firsts.assign(pageStarts_.begin(), pageStarts_.end() - 1);
    for (int n = 1; unit == ReaderChoices::PlayTo::Surah && n <= Q114.SorehCount(); ++n)
        firsts.push_back(Q114.SorehFirstLine(static_cast<int16_t>(n)));
    for (int n = 1; unit == ReaderChoices::PlayTo::Juz && n <= Q114.JozeCount(); ++n)
        firsts.push_back(Q114.JozeFirstLine(static_cast<int16_t>(n)));
    return firsts;
}

std::optional<std::filesystem::path> RecitationPart::RecordingOf(int16_t line) const {
    const auto [surah, ayah] = SurahAyahOf(line);
    return recordings_.Of(surah, ayah);
}

int16_t RecitationPart::RecordedFrom(int line) const {
    while (line <= stopLine_ && !RecordingOf(static_cast<int16_t>(line))) ++line;
    return static_cast<int16_t>(line);
}

void RecitationPart::Notice(const QString& text) {
    messages_.Note(text);
    notice_ = text;
    captionChanged_();
}

// ---- playing ------------------------------------------------------------------------

void RecitationPart::PlayOrPause() {
    if (sound_ == Sound::Playing) {
        player_->Pause();
        sound_ = Sound::Paused;
        emit Changed();
        return;
    }
    if (sound_ == Sound::Paused) {
        player_->Resume();
        sound_ = Sound::Playing;
        emit Changed();
        // what came while it was paused
        if (auto waiting = std::exchange(onResume_, nullptr)) waiting();
        return;
    }
    const Reciter* reciter = ActiveReciter();
    if (!reciter) {
        messages_.Say(QStringLiteral("قاری‌ای یافت نشد. از منوی «تلاوت» و «قاری» تلاوت‌ها را از فایل zip یا tar یا از پوشه‌ای "
                                     "بیفزایید، یا از نشانی‌ای بارگیری کنید؛ پوشهٔ قاری در %1 ساخته می‌شود. هر آیه یک فایل است "
                                     "به نام شمارهٔ سوره و آیه، هر کدام سه رقم: %2 تا %3 (mp3، ogg، opus یا wav).")
                          .arg(Isolated(QString::fromStdString(UserFolder().string())),
                               Isolated(QStringLiteral("001001.mp3")), Isolated(QStringLiteral("114006.mp3"))));
        return;
    }
    if (!player_ && services_.audio && (player_ = services_.audio())) {
        player_->finished = [this] { RecordingEnded(); };
        player_->failed = [this](const std::string& why) { RecordingFailed(why); };
        player_->SetRate(choices_->speed / 100.0);
    }
    if (!player_) {
        messages_.Say(QStringLiteral("پخش صدا در این اجرا ممکن نیست."));
        return;
    }
    // read anew at each start: files the reader has added since are played
    recordings_ = Recordings(reciter->folder);
    failures_ = 0;
    notice_.clear();
    ReciteFrom(state_.Line());
}

void RecitationPart::Stop() {
    if (player_) player_->Stop();
    sound_ = Sound::Stopped;
    playingLine_ = -1;
    timesPlayed_ = 0;
    round_ = 0;
    ++waiting_;
    onResume_ = nullptr;
    // the caption without what was said while it played
    captionChanged_();
    emit Changed();
}

void RecitationPart::ReciteFrom(int16_t line) {
    timesPlayed_ = 0;
    round_ = 0;
    // within a range, from the reader's line if it lies in it, else from its start
    if (const auto& range = choices_->range) {
        if (line < range->from || line > range->to) line = range->from;
        stopLine_ = range->to;
    } else {
        stopLine_ = LastLineOfUnit(UnitFirsts(choices_->playTo), line, Q114.MaxBound());
    }
    const int16_t at = RecordedFrom(line);
    const auto [surah, ayah] = SurahAyahOf(line);
    if (at > stopLine_) {
        Stop();
        messages_.Say(QStringLiteral("تلاوت یافت نشد: %1").arg(RecordingName(surah, ayah)));
        return;
    }
    if (at != line) Notice(QStringLiteral("تلاوت یافت نشد: %1").arg(RecordingName(surah, ayah)));
    PlayLine(at);
}

void RecitationPart::PlayLine(int16_t line) {
    playingLine_ = line;
    retried_ = false;
    playingFile_ = *RecordingOf(line);
    sound_ = Sound::Playing;
    player_->Play(playingFile_);
    PrepareNext();
    // the page follows the voice, as if the reader had moved there
    state_.MoveTo(line, ReadingState::From::Voice);
    emit Changed();
}

void RecitationPart::PrepareNext() {
    // after a pause nothing is to follow at once
    const int each = EachTimes();
    if (each == 0 || timesPlayed_ + 1 < each) {
        if (PauseMs() == 0) player_->Prepare(playingFile_);
        return;
    }
    if (const int16_t next = RecordedFrom(playingLine_ + 1); next <= stopLine_) player_->Prepare(*RecordingOf(next));
    else if (AnotherRound() && PauseMs() == 0)
        if (const int16_t first = RecordedFrom(choices_->range->from); first <= stopLine_) player_->Prepare(*RecordingOf(first));
}

void RecitationPart::RecordingEnded() {
    // an end that comes just as the reader pauses waits for the resume
    if (sound_ == Sound::Paused) onResume_ = [this] { RecordingEnded(); };
    if (sound_ != Sound::Playing) return;
    failures_ = 0;
    ++timesPlayed_;
    emit Changed();
    if (const int each = EachTimes(); each == 0 || timesPlayed_ < each) {
        AfterPause([this] {
            player_->Play(playingFile_);
            PrepareNext();
        });
        return;
    }
    NextLine();
}

void RecitationPart::NextLine() {
    const int16_t next = RecordedFrom(playingLine_ + 1);
    QString missing;  // the first one missing is named
    if (next != playingLine_ + 1) {
        const auto [surah, ayah] = SurahAyahOf(static_cast<int16_t>(playingLine_ + 1));
        missing = QStringLiteral("تلاوت یافت نشد: %1").arg(RecordingName(surah, ayah));
    }
    if (next > stopLine_ && AnotherRound()) {
        ++round_;
        AfterPause([this] {
            timesPlayed_ = 0;
            PlayLine(RecordedFrom(choices_->range->from));
        });
        return;
    }
    if (next > stopLine_) {
        Stop();
        if (!missing.isEmpty()) messages_.Say(missing);
        return;
    }
    if (!missing.isEmpty()) Notice(missing);
    timesPlayed_ = 0;
    PlayLine(next);
}

void RecitationPart::RecordingFailed(const std::string& why) {
    if (sound_ == Sound::Paused) onResume_ = [this, why] { RecordingFailed(why); };
    if (sound_ != Sound::Playing) return;
    qWarning("recitation: %s", why.c_str());
    // once more before it is passed over: a good file has failed just after
    // an unreadable one, on a busy machine
    if (!retried_) {
        retried_ = true;
        QTimer::singleShot(kRetryMs, this, [this, line = playingLine_] {
            if (playingLine_ != line) return;
            if (sound_ == Sound::Playing) player_->Play(playingFile_);
            else if (sound_ == Sound::Paused) onResume_ = [this] { player_->Play(playingFile_); };
        });
        return;
    }
    Notice(QStringLiteral("فایل تلاوت خوانده نشد: %1").arg(Isolated(Name(playingFile_))));
    if (++failures_ >= kMostFailures) {
        Stop();
        messages_.Say(QStringLiteral("پخش تلاوت متوقف شد: %1 فایل پیاپی خوانده نشد").arg(ToQ(PersianDecimal(kMostFailures))));
        return;
    }
    NextLine();
}

// A move by the reader while the recitation plays goes on from the new line;
// while it is paused, the next F5 begins there.
void RecitationPart::FollowReader(ReadingState::From from) {
    if (from == ReadingState::From::Voice || sound_ == Sound::Stopped) return;
    if (sound_ == Sound::Paused) {
        Stop();
        return;
    }
    failures_ = 0;
    ReciteFrom(state_.Line());
}

// ---- the reader's choices -------------------------------------------------------------

void RecitationPart::ChooseReciter(const std::u16string& name) {
    choices_.Change([&](ReaderChoices& c) { c.reciter = name; });
    emit Changed();
    if (sound_ == Sound::Stopped) return;
    Stop();
    PlayOrPause();
}

void RecitationPart::ChooseFromList() {
    if (!messages_.Interactive()) return;
    QStringList names;
    int now = -1;
    for (const Reciter& r : reciters_) {
        if (ActiveReciter() == &r) now = static_cast<int>(names.size());
        names << ToQ(r.name);
    }
    if (auto chosen = dialogs::Choose(messages_.Looks(QStringLiteral("قاری")), QStringLiteral("قاری تلاوت:"), names, now))
        ChooseReciter(reciters_[static_cast<std::size_t>(*chosen)].name);
}

void RecitationPart::SetRepeat(int times) {
    choices_.Change([&](ReaderChoices& c) { c.repeat = times; });
    if (sound_ != Sound::Stopped) PrepareNext();
}

void RecitationPart::SetPlayTo(ReaderChoices::PlayTo to) {
    choices_.Change([&](ReaderChoices& c) { c.playTo = to; });
    if (sound_ == Sound::Stopped || choices_->range) return;
    stopLine_ = LastLineOfUnit(UnitFirsts(to), playingLine_, Q114.MaxBound());
    PrepareNext();
}

void RecitationPart::SetSpeed(int percent) {
    choices_.Change([&](ReaderChoices& c) { c.speed = percent; });
    if (player_ && !player_->SetRate(percent / 100.0)) Notice(QStringLiteral("سرعت پخش را نمی‌توان تغییر داد"));
}

// ---- the commands -----------------------------------------------------------------------

std::vector<Command> RecitationPart::Commands() {
    using K = QKeySequence;
    using namespace menus;
    const bool yes = true;
    std::vector<Command> commands = {
        {.name = "mnuPlay", .text = QStringLiteral("پخش تلاوت"),
         .help = QStringLiteral("پخش تلاوت از آیهٔ جاری، یا مکث و ادامهٔ آن"), .keys = {K(Qt::Key_F5)},
         .run = [this] { PlayOrPause(); }, .checked = [this] { return sound_ == Sound::Playing; }},
        {.name = "mnuStop", .text = QStringLiteral("پایان تلاوت"), .keys = {K(Qt::SHIFT | Qt::Key_F5)},
         .run = [this] { Stop(); }},
    };
    // the first reciters in the sub-menu, all of them in a list of their own
    for (std::size_t i = 0; i < reciters_.size(); ++i) {
        const Reciter& r = reciters_[i];
        commands.push_back({.name = QStringLiteral("mnuReciter:") + ToQ(r.name), .text = ToQ(r.name),
                            .run = [this, name = r.name] { ChooseReciter(name); },
                            .checked = [this, name = r.name] { return ActiveReciter() && ActiveReciter()->name == name; },
                            .menu = {kRecitation, kReciter}, .exclusive = yes, .hidden = i >= kRecitersInMenu});
    }
    if (reciters_.size() > kRecitersInMenu)
        commands.push_back(
            {.name = "mnuAllReciters",
             .text = QStringLiteral("همهٔ قاریان (%1)…").arg(ToQ(PersianDecimal(static_cast<long long>(reciters_.size())))),
             .run = [this] { ChooseFromList(); }, .menu = {kRecitation, kReciter}, .separatorBefore = yes});
    if (reciters_.empty())
        commands.push_back({.name = "mnuNoReciter",
                            .text = QStringLiteral("قاری‌ای یافت نشد؛ از این منو بیفزایید یا بارگیری کنید (پوشه: %1، فایل هر آیه: %2)")
                                        .arg(Isolated(QString::fromStdString(UserFolder().string())),
                                             Isolated(QStringLiteral("001001.mp3"))),
                            .run = [this] { PlayOrPause(); }, .menu = {kRecitation, kReciter}});
    for (Command& c : ChoiceCommands()) commands.push_back(std::move(c));
    for (Command& c : RangeCommands()) commands.push_back(std::move(c));
    for (Command& c : AddingCommands()) commands.push_back(std::move(c));
    return commands;
}

// How often, to where, and how fast: a sub-menu each.
std::vector<Command> RecitationPart::ChoiceCommands() {
    using To = ReaderChoices::PlayTo;
    using namespace menus;
    const bool yes = true;
    std::vector<Command> commands;
    const std::pair<const char*, int> repeats[] = {{"mnuRepeat1", 1}, {"mnuRepeat2", 2},   {"mnuRepeat3", 3},
                                                   {"mnuRepeat5", 5}, {"mnuRepeat10", 10}, {"mnuRepeatForever", 0}};
    for (auto [name, times] : repeats)
        commands.push_back({.name = name,
                            .text = times == 0 ? QStringLiteral("بی‌پایان") : QStringLiteral("%1 بار").arg(ToQ(PersianDecimal(times))),
                            .run = [this, times] { SetRepeat(times); },
                            .checked = [this, times] { return choices_->repeat == times; },
                            .menu = {kRecitation, kRepeat}, .exclusive = yes});
    const std::tuple<const char*, To, QString> ends[] = {
        {"mnuPlayToPage", To::Page, QStringLiteral("پایان صفحه")},
        {"mnuPlayToSurah", To::Surah, QStringLiteral("پایان سوره")},
        {"mnuPlayToJuz", To::Juz, QStringLiteral("پایان جزء")},
        {"mnuPlayToQuran", To::Quran, QStringLiteral("پایان قرآن")},
    };
    for (const auto& [name, to, text] : ends)
        commands.push_back({.name = name, .text = text, .run = [this, to] { SetPlayTo(to); },
                            .checked = [this, to] { return choices_->playTo == to; }, .menu = {kRecitation, kPlayTo},
                            .exclusive = yes});
    const std::tuple<const char*, int, QString> speeds[] = {
        {"mnuSpeed075", 75, QStringLiteral("۰٫۷۵")},
        {"mnuSpeed100", 100, QStringLiteral("۱")},
        {"mnuSpeed125", 125, QStringLiteral("۱٫۲۵")},
        {"mnuSpeed150", 150, QStringLiteral("۱٫۵")},
    };
    for (const auto& [name, percent, text] : speeds)
        commands.push_back({.name = name, .text = text + QStringLiteral(" برابر"), .run = [this, percent] { SetSpeed(percent); },
                            .checked = [this, percent] { return choices_->speed == percent; },
                            .menu = {kRecitation, kSpeed}, .exclusive = yes});
    return commands;
}

}  // namespace mushaf
