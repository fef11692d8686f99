#include "window/ReaderChoices.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <set>

namespace mushaf {

namespace {

constexpr char16_t kApp[] = u"Mushaf";
constexpr char16_t kGroup[] = u"Reader";

std::u16string Ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }
std::string Narrow(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        if (c > 0x7F) return {};
        out += static_cast<char>(c);
    }
    return out;
}

std::optional<long> Whole(std::u16string_view text) {
    const std::string s = Narrow(text);
    long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

std::u16string Number(double v) {
    // as the window wrote zoom factors: the shortest text that reads back the same
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? Ascii(std::string_view(buffer, end - buffer)) : u"1";
}

std::u16string Flag(bool on) { return on ? u"true" : u"false"; }

constexpr std::pair<ReaderChoices::PlayTo, const char16_t*> kPlayTo[] = {
    {ReaderChoices::PlayTo::Page, u"page"},
    {ReaderChoices::PlayTo::Surah, u"surah"},
    {ReaderChoices::PlayTo::Juz, u"juz"},
    {ReaderChoices::PlayTo::Quran, u"quran"},
};

std::u16string RepeatText(int repeat) { return repeat == 0 ? u"forever" : Ascii(std::to_string(repeat)); }

// Numbers written with a space between, read as far as sound: each from
// lo to hi, once, at most `most`; anything else is passed over.
std::vector<long> SoundNumbers(std::u16string_view text, long lo, long hi, std::size_t most) {
    std::vector<long> numbers;
    std::set<long> seen;
    std::size_t at = 0;
    while (at < text.size() && numbers.size() < most) {
        const std::size_t end = std::min(text.find(u' ', at), text.size());
        const auto n = Whole(text.substr(at, end - at));
        at = end + 1;
        if (n && *n >= lo && *n <= hi && seen.insert(*n).second) numbers.push_back(*n);
    }
    return numbers;
}

// Numbers written with a space between.
template <typename Numbers>
std::u16string NumberText(const Numbers& numbers) {
    std::u16string text;
    for (auto n : numbers) {
        if (!text.empty()) text += u' ';
        text += Ascii(std::to_string(n));
    }
    return text;
}

}  // namespace

ChoiceStore::ChoiceStore(Settings& settings, int16_t firstLine, int16_t lastLine, std::size_t maxCards)
    : settings_(settings), firstLine_(firstLine), lastLine_(lastLine), maxCards_(maxCards) {}

std::optional<std::u16string> ChoiceStore::Get(const char* key) const {
    return settings_.Get(kApp, kGroup, Ascii(key));
}

void ChoiceStore::Set(const char* key, const std::u16string& value) { settings_.Set(kApp, kGroup, Ascii(key), value); }

std::u16string ChoiceStore::CardText(const std::vector<int16_t>& cards) { return NumberText(cards); }

std::vector<int16_t> ChoiceStore::SoundCards(std::u16string_view text) const {
    std::vector<int16_t> cards;
    for (long n : SoundNumbers(text, firstLine_, lastLine_, maxCards_)) cards.push_back(static_cast<int16_t>(n));
    return cards;
}

std::u16string ChoiceStore::NotesText(const std::map<int16_t, std::u16string>& notes) {
    std::u16string out;
    for (const auto& [line, note] : notes) {
        if (!out.empty()) out += u'\n';
        out += Ascii(std::to_string(line)) + u'\t';
        for (char16_t c : note) {
            switch (c) {
                case u'\\': out += u"\\\\"; break;
                case u'\t': out += u"\\t"; break;
                case u'\n': out += u"\\n"; break;
                case u'\r': out += u"\\r"; break;
                default: out += c;
            }
        }
    }
    return out;
}

std::map<int16_t, std::u16string> ChoiceStore::SoundNotes(std::u16string_view text, const std::vector<int16_t>& cards) const {
    const std::set<int16_t> onCards(cards.begin(), cards.end());
    std::map<int16_t, std::u16string> notes;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(u'\n', at), text.size());
        const std::u16string_view entry = text.substr(at, end - at);
        at = end + 1;
        const std::size_t tab = entry.find(u'\t');
        if (tab == std::u16string_view::npos) continue;
        const auto n = Whole(entry.substr(0, tab));
        if (!n || *n < firstLine_ || *n > lastLine_ || !onCards.count(static_cast<int16_t>(*n)) ||
            notes.count(static_cast<int16_t>(*n)))
            continue;
        std::u16string note;
        bool sound = true;
        for (std::size_t i = tab + 1; i < entry.size() && sound; ++i) {
            if (entry[i] != u'\\') {
                note += entry[i];
                continue;
            }
            const char16_t next = i + 1 < entry.size() ? entry[++i] : u'\0';
            if (next == u'\\') note += u'\\';
            else if (next == u't') note += u'\t';
            else if (next == u'n') note += u'\n';
            else if (next == u'r') note += u'\r';
            else sound = false;
        }
        if (sound && !note.empty()) notes.emplace(static_cast<int16_t>(*n), std::move(note));
    }
    return notes;
}

std::u16string ChoiceStore::RangeText(const std::optional<ReaderChoices::Range>& range) {
    if (!range) return u"";
    std::u16string text;
    for (long n : {long(range->from), long(range->to), long(range->times), long(range->each), long(range->pause)})
        text += (text.empty() ? u"" : u":") + Ascii(std::to_string(n));
    return text;
}

std::optional<ReaderChoices::Range> ChoiceStore::SoundRange(std::u16string_view text) const {
    using Range = ReaderChoices::Range;
    std::vector<long> n;
    for (std::size_t at = 0; at <= text.size() && n.size() < 6;) {
        const std::size_t end = std::min(text.find(u':', at), text.size());
        const auto v = Whole(text.substr(at, end - at));
        if (!v) return std::nullopt;
        n.push_back(*v);
        at = end + 1;
    }
    if (n.size() != 5 || n[0] < firstLine_ || n[1] > lastLine_ || n[0] > n[1] || n[2] < 0 || n[2] > Range::kMostTimes ||
        n[3] < 1 || n[3] > Range::kMostEach || n[4] < 0 || n[4] > Range::kLongestPause)
        return std::nullopt;
    return Range{static_cast<int16_t>(n[0]), static_cast<int16_t>(n[1]), static_cast<int>(n[2]), static_cast<int>(n[3]),
                 static_cast<int>(n[4])};
}

std::optional<KhatmahPlan> ChoiceStore::SoundKhatmah() const {
    const auto days = Whole(Get("KhatmahDays").value_or(u"")), start = Whole(Get("KhatmahStart").value_or(u""));
    const std::string began = Narrow(Get("KhatmahBegan").value_or(u""));
    auto digits = [&](std::size_t from, std::size_t n) {
        for (std::size_t i = from; i < from + n; ++i)
            if (began[i] < '0' || began[i] > '9') return false;
        return true;
    };
    bool day = began.size() == 10 && digits(0, 4) && began[4] == '-' && digits(5, 2) && began[7] == '-' && digits(8, 2);
    if (day) {
        // a day of the calendar (no 30 February), from year 1 on
        using namespace std::chrono;
        const int y = std::stoi(began.substr(0, 4));
        const year_month_day date{year(y), month(static_cast<unsigned>(std::stoi(began.substr(5, 2)))),
                                  std::chrono::day(static_cast<unsigned>(std::stoi(began.substr(8, 2))))};
        day = y >= 1 && date.ok();
    }
    if (!days || !start || !day || !KhatmahPlan::Sound(static_cast<int>(*days), static_cast<int>(*start))) return std::nullopt;
    KhatmahPlan plan;
    plan.days = static_cast<int>(*days);
    plan.startPage = static_cast<int>(*start);
    plan.began = began;
    for (long page : SoundNumbers(Get("KhatmahSeen").value_or(u""), 1, KhatmahPlan::kPages, KhatmahPlan::kPages))
        plan.seen.insert(static_cast<int>(page));
    return plan;
}

ReaderChoices ChoiceStore::Load() {
    ReaderChoices c;
    auto zoom = [&](const char* key) {
        const std::string text = Narrow(Get(key).value_or(u""));
        double z = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), z);
        const bool sound = !text.empty() && ec == std::errc() && end == text.data() + text.size() && std::isfinite(z) &&
                           z >= ReaderChoices::kSmallestZoom && z <= ReaderChoices::kLargestZoom;
        return sound ? z : 1.0;
    };
    c.zoomPage = zoom("ZoomPage");
    c.zoomTranslation = zoom("ZoomTranslation");
    c.quranFont = views::QuranFontNamed(Get("QuranFont").value_or(u""));
    c.night = Get("Night") == u"true";
    c.rememberPlace = Get("RememberPlace") == u"true";
    c.mushafView = Get("MushafView") == u"true";
    c.pageTranslation = Get("PageTranslation") == u"true";
    c.spread = Get("Spread") != u"false";
    c.foundText = Get("FoundText") == u"true";
    c.hifz = Get("Hifz") == u"true";
    c.hifzTranslation = Get("HifzTranslation") == u"true";
    c.uthmani = Get("Script") == u"uthmani";
    c.translation = Get("Translation").value_or(u"");
    if (c.translation.empty()) c.translation = u"ansarian";
    c.secondTranslation = Get("SecondTranslation").value_or(u"");
    c.searchSecond = Get("SearchSecond") == u"true";
    c.noteCards = SoundCards(Get("FishList").value_or(u""));
    c.notes = SoundNotes(Get("FishNotes").value_or(u""), c.noteCards);
    c.khatmah = SoundKhatmah();
    c.reciter = Get("Reciter").value_or(u"");
    const std::u16string repeat = Get("Repeat").value_or(u"");
    for (int r : ReaderChoices::kRepeats)
        if (repeat == RepeatText(r)) c.repeat = r;
    for (auto [to, name] : kPlayTo)
        if (Get("PlayTo") == name) c.playTo = to;
    const auto speed = Whole(Get("Speed").value_or(u""));
    for (int s : ReaderChoices::kSpeeds)
        if (speed == s) c.speed = s;
    c.range = SoundRange(Get("Range").value_or(u""));
    for (long line : SoundNumbers(Get("History").value_or(u""), firstLine_, lastLine_, ReaderChoices::kHistoryLength))
        c.history.push_back(static_cast<int16_t>(line));
    if (auto line = Whole(Get("PlaceLine").value_or(u"")); line && *line >= firstLine_ && *line <= lastLine_)
        c.place.line = static_cast<int16_t>(*line);
    c.place.earab = Get("PlaceEarab") == u"true";
    c.place.searchPanel = Get("PlacePanel") == u"search";
    c.place.window = Narrow(Get("PlaceWindow").value_or(u""));
    kept_ = c;
    return c;
}

void ChoiceStore::Save(const ReaderChoices& now) {
    const ReaderChoices& was = kept_;
    if (now.zoomPage != was.zoomPage) Set("ZoomPage", Number(now.zoomPage));
    if (now.zoomTranslation != was.zoomTranslation) Set("ZoomTranslation", Number(now.zoomTranslation));
    if (now.quranFont != was.quranFont) Set("QuranFont", views::QuranFontName(now.quranFont));
    if (now.night != was.night) Set("Night", Flag(now.night));
    if (now.rememberPlace != was.rememberPlace) Set("RememberPlace", Flag(now.rememberPlace));
    if (now.mushafView != was.mushafView) Set("MushafView", Flag(now.mushafView));
    if (now.pageTranslation != was.pageTranslation) Set("PageTranslation", Flag(now.pageTranslation));
    if (now.spread != was.spread) Set("Spread", Flag(now.spread));
    if (now.foundText != was.foundText) Set("FoundText", Flag(now.foundText));
    if (now.hifz != was.hifz) Set("Hifz", Flag(now.hifz));
    if (now.hifzTranslation != was.hifzTranslation) Set("HifzTranslation", Flag(now.hifzTranslation));
    if (now.uthmani != was.uthmani) Set("Script", now.uthmani ? u"uthmani" : u"simple");
    if (now.translation != was.translation) Set("Translation", now.translation);
    if (now.secondTranslation != was.secondTranslation) Set("SecondTranslation", now.secondTranslation);
    if (now.searchSecond != was.searchSecond) Set("SearchSecond", Flag(now.searchSecond));
    if (now.noteCards != was.noteCards) Set("FishList", CardText(now.noteCards));
    if (now.notes != was.notes) Set("FishNotes", NotesText(now.notes));
    if (now.history != was.history) Set("History", NumberText(now.history));
    if (now.khatmah != was.khatmah) {
        // no plan: its days empty
        Set("KhatmahDays", now.khatmah ? Ascii(std::to_string(now.khatmah->days)) : u"");
        if (now.khatmah) {
            Set("KhatmahStart", Ascii(std::to_string(now.khatmah->startPage)));
            Set("KhatmahBegan", Ascii(now.khatmah->began));
            Set("KhatmahSeen", NumberText(now.khatmah->seen));
        }
    }
    if (now.reciter != was.reciter) Set("Reciter", now.reciter);
    if (now.repeat != was.repeat) Set("Repeat", RepeatText(now.repeat));
    if (now.playTo != was.playTo)
        for (auto [to, name] : kPlayTo)
            if (now.playTo == to) Set("PlayTo", name);
    if (now.speed != was.speed) Set("Speed", Ascii(std::to_string(now.speed)));
    if (now.range != was.range) Set("Range", RangeText(now.range));
    if (now.place != was.place) {
        if (now.place.line) Set("PlaceLine", Ascii(std::to_string(*now.place.line)));
        Set("PlaceEarab", Flag(now.place.earab));
        Set("PlacePanel", now.place.searchPanel ? u"search" : u"surah");
        Set("PlaceWindow", Ascii(now.place.window));
    }
    // all of it in one write
    if (now != was) settings_.Commit();
    kept_ = now;
}

}  // namespace mushaf
