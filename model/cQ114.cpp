#include "model/cQ114.h"

#include <algorithm>
#include <utility>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "model/Normalise.h"
#include "model/Pattern.h"

namespace mushaf {

namespace {

std::string Quote(TextView text) { return ToUtf8(text); }

bool FitsInt16(double whole) { return whole >= -32768.0 && whole <= 32767.0; }

int16_t ToInt16(double v, const std::string& what) {
    double r = RoundHalfEven(v);
    if (!FitsInt16(r)) throw Overflow(what);
    return static_cast<int16_t>(r);
}

// The fields of a position record: surah, ayah, juz', hizb, page.
constexpr std::pair<std::size_t, std::size_t> kRecordFields[] = {{0, 3}, {3, 3}, {6, 2}, {8, 3}, {11, 3}};
constexpr std::size_t kRecordLength = 14;

const Text kTemplatePieces[] = {
    u"<html dir=\"rtl\">",
    u"<head>",
    u"<meta content=\"text/html; charset=windows-1256\" />",
    u"<style>Body,Table{padding: 7px;line-height: 170%;   text-align: justify;font-family: Tahoma;font-size: 10pt;}"
    u".ByEarab{ color: #004000; font-size: 15pt; font-weight: bold; line-height: 170%; font-family: 'Traditional Arabic';}"
    u".NoEarab{color: #004000}"
    u".Address{border-bottom: #cccccc 1px solid; padding-top: 20px; font-family: Tahoma; color: #4169e1; font-size: 8pt;font-weight: bold;}"
    u"</style>",
    u"<title>_Caption</title>",
    u"</head>",
    u"<body bgcolor=\"#FAFAFA\">",
    u"<center><table border=\"0\" style=\"width: 100%;\">",
    u"<caption>_Caption</caption>",
    u"<!--repeat-->",
    u"<tr><td class=\"Address\"><br /><a id='_id' href='#'>_Number - _Address</a></td></tr>",
    u"<tr><td class=\"ByEarab\">_Quran</td></tr>",
    u"<tr><td class=\"ByEarab\"></td></tr>",
    u"<tr><td>_Trance</td></tr>",
    u"<!--repeat-->",
    u"</table></center>",
    u"<br />",
    u"<br />",
    u"<hr />",
    u"<center><a target=\"_blank\" href=\"https://tanzil.net\">tanzil.net</a></center>",
    u"</body>",
    u"</html>",
};

// Writes `bytes` to a new temporary file in `folder`, then links it in as
// stem.htm, or the first of stem-2.htm, stem-3.htm, ... that no file holds:
// an existing file is never replaced, and the name appears only with the
// whole content behind it. On failure the temporary file is removed.
std::filesystem::path WriteNewFile(const std::filesystem::path& folder, const std::string& stem, std::string_view bytes) {
    namespace fs = std::filesystem;
    constexpr int kTries = 10000;
    auto fail = [](const fs::path& file) { return ModelError("path/file access error", file.string()); };
    fs::path temp;
    std::FILE* f = nullptr;
    for (int n = 1; !f; ++n) {
        temp = folder / ("." + stem + "-" + std::to_string(n) + ".tmp");
        f = std::fopen(temp.string().c_str(), "wbx");  // "x": only a file of our own
        if (!f && (errno != EEXIST || n == kTries)) throw fail(temp);
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    written = std::fflush(f) == 0 && written;
    written = std::fclose(f) == 0 && written;
    std::error_code ec;
    if (!written) {
        fs::remove(temp, ec);
        throw fail(folder / (stem + ".htm"));
    }
    for (int n = 1; n <= kTries; ++n) {
        fs::path name = folder / (n == 1 ? stem + ".htm" : stem + "-" + std::to_string(n) + ".htm");
        fs::create_hard_link(temp, name, ec);  // fails on an existing name
        if (ec && ec != std::errc::file_exists) {
            // a file system without hard links: rename onto a name seen free
            ec.clear();
            if (fs::exists(name, ec) || ec) continue;
            fs::rename(temp, name, ec);
            if (!ec) return name;
            break;
        }
        if (!ec) {
            fs::remove(temp, ec);
            return name;
        }
    }
    fs::remove(temp, ec);
    throw fail(folder / (stem + ".htm"));
}

}  // namespace

Text FishEntry::Written() const { return number ? Decimal(*number) : text; }

long long FishEntry::Value() const {
    if (number) return *number;
    auto v = ReadNumber(text);
    if (!v) return 0;
    double f = std::floor(*v);
    if (f > 1e18) return std::numeric_limits<long long>::max();
    if (f < -1e18) return std::numeric_limits<long long>::min();
    return static_cast<long long>(f);
}

cQ114::cQ114() {
    LocalTime = [] {
        std::time_t now = std::time(nullptr);
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &now);
#else
        localtime_r(&now, &local);
#endif
        return local;
    };
}

// ---- the tables as records -------------------------------------------------

cQ114::NumberTable::NumberTable(const TextArray& texts, const char* what) : what_(what) {
    whole_.assign(texts.size(), 0);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto v = ReadNumber(texts[i]);
        if (v && RoundHalfEven(*v) == *v && FitsInt16(*v)) {
            whole_[i] = static_cast<int16_t>(*v);
            continue;
        }
        odd_.emplace(i, Odd{v ? *v : std::numeric_limits<double>::quiet_NaN(), texts[i]});
    }
}

const cQ114::NumberTable::Odd* cQ114::NumberTable::FindOdd(std::size_t i) const {
    if (odd_.empty()) return nullptr;
    auto it = odd_.find(i);
    return it == odd_.end() ? nullptr : &it->second;
}

int16_t cQ114::NumberTable::At(std::size_t i) const {
    const Odd* odd = FindOdd(i);
    if (!odd) return whole_[i];
    if (std::isnan(odd->number)) throw TypeMismatch(std::string(what_) + " " + Quote(odd->text));
    return ToInt16(odd->number, what_);
}

double cQ114::NumberTable::Exact(std::size_t i) const {
    const Odd* odd = FindOdd(i);
    if (!odd) return whole_[i];
    if (std::isnan(odd->number)) throw TypeMismatch(std::string(what_) + " " + Quote(odd->text));
    return odd->number;
}

void cQ114::RecordFault::Raise() const {
    if (overflow) throw Overflow(detail);
    throw TypeMismatch(detail);
}

void cQ114::BaseDataArray(TextArray a) {
    std::vector<Line> lines(a.size());
    std::map<std::size_t, RecordFault> bad;
    for (std::size_t k = 0; k < a.size(); ++k) {
        TextView rec = a[k];
        if (rec.size() >= kRecordLength &&
            std::all_of(rec.begin(), rec.begin() + kRecordLength, [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
            // the usual record, all digits: each field is its decimal value
            int16_t field[std::size(kRecordFields)];
            for (std::size_t f = 0; f < std::size(kRecordFields); ++f) {
                field[f] = 0;
                for (std::size_t i = 0; i < kRecordFields[f].second; ++i)
                    field[f] = static_cast<int16_t>(field[f] * 10 + (rec[kRecordFields[f].first + i] - u'0'));
            }
            lines[k] = Line{field[0], field[1], field[2], field[3], field[4]};
            continue;
        }
        if (rec.size() < kRecordLength) {
            bad.emplace(k, RecordFault{false, "position record " + std::to_string(k)});
            continue;
        }
        // the fields in order; the first that cannot be read is the record's fault
        int16_t field[std::size(kRecordFields)] = {};
        bool read = true;
        for (std::size_t f = 0; read && f < std::size(kRecordFields); ++f) {
            TextView text = rec.substr(kRecordFields[f].first, kRecordFields[f].second);
            auto v = ReadNumber(text);
            if (!v) bad.emplace(k, RecordFault{false, "position record " + Quote(text)});
            else if (!FitsInt16(RoundHalfEven(*v))) bad.emplace(k, RecordFault{true, "position record"});
            else field[f] = static_cast<int16_t>(RoundHalfEven(*v));
            read = v && FitsInt16(RoundHalfEven(*v));
        }
        if (read) lines[k] = Line{field[0], field[1], field[2], field[3], field[4]};
    }
    lines_ = std::move(lines);
    badLines_ = std::move(bad);
    minBound_ = 0;
    maxBound_ = static_cast<int16_t>(lines_.empty() ? -1 : lines_.size() - 1);
    if (!lines_.empty()) ApplyPosition(minBound_);
}

const cQ114::Line& cQ114::LineAt(int16_t line) const {
    if (line < 0 || static_cast<std::size_t>(line) >= lines_.size())
        throw SubscriptOutOfRange("line " + std::to_string(line));
    if (!badLines_.empty()) {
        auto fault = badLines_.find(static_cast<std::size_t>(line));
        if (fault != badLines_.end()) fault->second.Raise();
    }
    return lines_[line];
}

int16_t cQ114::FirstLine(const NumberTable& table, int16_t n, const char* unit) {
    if (n < 1 || static_cast<std::size_t>(n) > table.size())
        throw SubscriptOutOfRange(std::string(unit) + " " + std::to_string(n));
    return table.At(static_cast<std::size_t>(n - 1));
}

int16_t cQ114::SorehFirstLine(int16_t soreh) const { return FirstLine(sorehFirst_, soreh, "surah"); }
int16_t cQ114::JozeFirstLine(int16_t joze) const { return FirstLine(jozeFirst_, joze, "juz"); }
int16_t cQ114::HezbFirstLine(int16_t hezb) const { return FirstLine(hezbFirst_, hezb, "hizb"); }
int16_t cQ114::PageFirstLine(int16_t page) const { return FirstLine(pageFirst_, page, "page"); }

int16_t cQ114::TotalAyatOf(int16_t soreh) const {
    if (soreh < 1 || static_cast<std::size_t>(soreh) > sorehAyat_.size())
        throw SubscriptOutOfRange("surah " + std::to_string(soreh));
    return sorehAyat_.At(static_cast<std::size_t>(soreh - 1));
}

Text cQ114::SorehNameOf(int16_t soreh) const {
    if (soreh < 1 || static_cast<std::size_t>(soreh) > sorehNameArray_.size())
        throw SubscriptOutOfRange("surah " + std::to_string(soreh));
    return Text(TrimSpaces(sorehNameArray_[soreh - 1]));
}

// ---- position -------------------------------------------------------------

cQ114::Place cQ114::CheckedPlace(int16_t line) const {
    const Line& rec = LineAt(line);
    if (rec.soreh < 1 || static_cast<std::size_t>(rec.soreh) > sorehAyat_.size() ||
        static_cast<std::size_t>(rec.soreh) > sorehNameArray_.size())
        throw SubscriptOutOfRange("surah " + std::to_string(rec.soreh));
    int16_t total = sorehAyat_.At(static_cast<std::size_t>(rec.soreh - 1));
    if (static_cast<std::size_t>(line) >= qrArray_.size() || static_cast<std::size_t>(line) >= ChosenMeanArray().size())
        throw SubscriptOutOfRange("line " + std::to_string(line));
    return {rec, total};
}

cQ114::Place cQ114::PlaceInBounds(int16_t line) const {
    if (line > maxBound_ || line < minBound_) throw SubscriptOutOfRange("line " + std::to_string(line));
    return CheckedPlace(line);
}

// The texts of a line CheckedPlace has passed.
Text cQ114::ArabicByEarabOf(int16_t line) const { return Text(TrimSpaces(qrArray_[line])); }
Text cQ114::MeanFarsiOf(int16_t line) const { return Text(TrimSpaces(ChosenMeanArray()[line])); }
Text cQ114::ArabicUthmaniOf(int16_t line) const {
    return static_cast<std::size_t>(line) < uthmaniArray_.size() ? Text(TrimSpaces(uthmaniArray_[line])) : Text();
}

Text cQ114::ArabicByEarabAt(int16_t line) const {
    PlaceInBounds(line);
    return ArabicByEarabOf(line);
}

Text cQ114::ArabicNoEarabAt(int16_t line) const { return WithoutMarks(ArabicByEarabAt(line)); }

Text cQ114::ArabicUthmaniAt(int16_t line) const {
    PlaceInBounds(line);
    return ArabicUthmaniOf(line);
}

Text cQ114::MeanFarsiAt(int16_t line) const {
    PlaceInBounds(line);
    return MeanFarsiOf(line);
}

void cQ114::ApplyPosition(int16_t line) {
    const Place place = CheckedPlace(line);
    Text meanFarsi = MeanFarsiOf(line), arabicByEarab = ArabicByEarabOf(line);
    Text arabicNoEarab = WithoutMarks(arabicByEarab), arabicUthmani = ArabicUthmaniOf(line);
    Text sorehName = Text(TrimSpaces(sorehNameArray_[place.line.soreh - 1]));

    globalAyeh_ = line;
    soreh_ = place.line.soreh;
    ayeh_ = place.line.ayeh;
    joze_ = place.line.joze;
    hezb_ = place.line.hezb;
    page_ = place.line.page;
    totalAyat_ = place.totalAyat;
    meanFarsi_ = std::move(meanFarsi);
    arabicByEarab_ = std::move(arabicByEarab);
    arabicNoEarab_ = std::move(arabicNoEarab);
    arabicUthmani_ = std::move(arabicUthmani);
    sorehName_ = std::move(sorehName);
}

void cQ114::GoPosition(int16_t position) {
    if (position > maxBound_ || position < minBound_) return;
    ApplyPosition(position);
}

void cQ114::GoFirstLineOf(const NumberTable& table, TextView number, const char* unit) {
    auto v = ReadNumber(number);
    if (!v) throw TypeMismatch(std::string(unit) + " " + Quote(number));
    double index = RoundHalfEven(*v - 1);
    if (!(index >= 0 && index < static_cast<double>(table.size())))
        throw SubscriptOutOfRange(std::string(unit) + " " + Quote(number));
    ApplyPosition(table.At(static_cast<std::size_t>(index)));
}

void cQ114::GoPage(TextView page) { GoFirstLineOf(pageFirst_, page, "page"); }
void cQ114::GoJoze(TextView joze) { GoFirstLineOf(jozeFirst_, joze, "juz"); }
void cQ114::GoSoreh(TextView soreh) { GoFirstLineOf(sorehFirst_, soreh, "surah"); }

void cQ114::GoAyehOfSoreh(TextView soreh, TextView ayeh) {
    auto s = ReadNumber(soreh);
    if (!s) throw TypeMismatch("surah " + Quote(soreh));
    auto a = ReadNumber(ayeh);
    if (!a) throw TypeMismatch("ayah " + Quote(ayeh));
    double offset = (*s == 1 || *s == 9) ? *a - 1 : *a;
    double index = RoundHalfEven(*s - 1);
    if (!(index >= 0 && index < static_cast<double>(sorehFirst_.size())))
        throw SubscriptOutOfRange("surah " + Quote(soreh));
    double first = std::trunc(sorehFirst_.Exact(static_cast<std::size_t>(index)));
    std::string where = "surah " + Quote(soreh) + " ayah " + Quote(ayeh);
    ApplyPosition(ToInt16(first + offset, where));
}

void cQ114::SearchForms::From(Text (*searchForm)(TextView)) {
    form = searchForm;
    built = false;
    joined.clear();
    starts.clear();
}

const cQ114::SearchForms& cQ114::SearchForms::Ready(const TextArray& source) {
    if (built) return *this;
    std::size_t total = source.size();
    for (const Text& line : source) total += line.size();
    joined.reserve(total);
    starts.reserve(source.size() + 1);
    for (const Text& line : source) {
        starts.push_back(joined.size());
        joined += form(line);
        joined += u'\n';
    }
    starts.push_back(joined.size());
    joined.shrink_to_fit();
    built = true;
    return *this;
}

void cQ114::QrArray(TextArray a) {
    qrArray_ = std::move(a);
    qrSearch_.From(ArabicSearchForm);
}

void cQ114::MeanFaArray(TextArray a) {
    meanFaArray_ = std::move(a);
    meanFaSearch_.From(TranslationSearchForm);
}

void cQ114::UthmaniArray(TextArray a) {
    uthmaniArray_ = std::move(a);
    uthmaniSearch_.From(ArabicSearchForm);
}

void cQ114::MeanFa2Array(TextArray a) {
    meanFa2Array_ = std::move(a);
    meanFa2Search_.From(TranslationSearchForm);
}

const TextArray& cQ114::ChosenMeanArray() const {
    if (translation_ == Translation::Pack && pack_) return *pack_;
    return BuiltInArray(translation_);
}

const TextArray& cQ114::BuiltInArray(Translation translation) const {
    return translation == Translation::Fooladvand ? meanFa2Array_ : meanFaArray_;
}

void cQ114::ChoosePack(std::shared_ptr<const TextArray> lines) {
    std::shared_ptr<const TextArray> before = std::exchange(pack_, std::move(lines));
    try {
        ChooseTranslation(Translation::Pack);
    } catch (...) {
        pack_ = std::move(before);
        throw;
    }
    packSearch_.From(PackSearchForm);
}

void cQ114::SecondTranslation(std::shared_ptr<const TextArray> lines) {
    second_ = std::move(lines);
    secondSearch_.From(PackSearchForm);
}

Text cQ114::SecondAt(int16_t line) const {
    PlaceInBounds(line);
    if (!second_ || static_cast<std::size_t>(line) >= second_->size()) return {};
    return Text(TrimSpaces((*second_)[line]));
}

void cQ114::ChooseTranslation(Translation translation) {
    Translation before = translation_;
    translation_ = translation;
    if (lines_.empty()) return;
    try {
        ApplyPosition(globalAyeh_);
    } catch (...) {
        translation_ = before;
        throw;
    }
}

// ---- search ---------------------------------------------------------------

void cQ114::StartSearch(int16_t start, int16_t end) {
    if (!SearchesText()) return;
    if (start == -1) start = minBound_;
    if (end == -1) end = maxBound_;
    Text pattern = u"*" + searchText_ + u"*";
    // found apart and taken over only when the whole search succeeds
    std::vector<int16_t> found;
    if (searchTo_ == 0)
        found = Search(qrSearch_.Ready(qrArray_), &uthmaniSearch_.Ready(uthmaniArray_), ArabicSearchQuery(pattern), ArabicFolds(), start, end);
    else if (searchTo_ == 1 && translation_ == Translation::Pack && pack_)
        found = Search(packSearch_.Ready(*pack_), nullptr, PackSearchQuery(pattern), PackFolds(), start, end);
    else if (searchTo_ == 1)
        found = Search(translation_ == Translation::Fooladvand ? meanFa2Search_.Ready(meanFa2Array_)
                                                                : meanFaSearch_.Ready(meanFaArray_),
                       nullptr,
                       TranslationSearchQuery(pattern), TranslationFolds(), start, end);
    else if (searchTo_ == 2 && second_)
        found = Search(secondSearch_.Ready(*second_), nullptr, PackSearchQuery(pattern), PackFolds(), start, end);
    foundList_ = std::move(found);
    foundNumber_ = static_cast<int16_t>(foundList_.size());
}

std::vector<int16_t> cQ114::Search(const SearchForms& forms, const SearchForms* alsoForms, const Text& pattern,
                                   std::span<const LetterFold> folds, int start, int end) {
    if (start > end) return {};
    Pattern compiled(pattern, folds);
    std::vector<int16_t> found = Matching(forms, compiled, start, end);
    if (!alsoForms) return found;
    const int last = std::min(end, static_cast<int>(alsoForms->Count()) - 1);
    if (start > last) return found;
    std::vector<int16_t> also = Matching(*alsoForms, compiled, start, last), both;
    both.reserve(found.size() + also.size());
    std::set_union(found.begin(), found.end(), also.begin(), also.end(), std::back_inserter(both));
    return both;
}

std::vector<int16_t> cQ114::Matching(const SearchForms& forms, const Pattern& compiled, int start, int end) {
    std::vector<int16_t> found;
    const int count = static_cast<int>(forms.Count());
    const LiteralFinder* literal = compiled.SingleLiteral();
    if (literal && start >= 0 && end < count && literal->literal().find(u'\n') == Text::npos) {
        // one pass over the joined text; after a hit, go on at the next line
        TextView joined = TextView(forms.joined).substr(0, forms.starts[end + 1]);
        std::size_t at = forms.starts[start];
        for (;;) {
            std::size_t hit = literal->Find(joined, at);
            if (hit == TextView::npos) break;
            auto next = std::upper_bound(forms.starts.begin(), forms.starts.end(), hit);
            int line = static_cast<int>(next - forms.starts.begin()) - 1;
            found.push_back(static_cast<int16_t>(line));
            at = *next;
        }
        return found;
    }
    for (int j = start; j <= end; ++j) {
        if (j < 0 || j >= count) throw SubscriptOutOfRange("line " + std::to_string(j));
        if (compiled.Matches(forms.Line(static_cast<std::size_t>(j)))) found.push_back(static_cast<int16_t>(j));
    }
    return found;
}

void cQ114::GoFirstFound() {
    if (foundNumber_ > 0 && !foundList_.empty()) GoPosition(foundList_.front());
}

void cQ114::GoLastFound() {
    if (foundNumber_ > 0 && static_cast<std::size_t>(foundNumber_) <= foundList_.size())
        GoPosition(foundList_[foundNumber_ - 1]);
}

// ---- fish list ------------------------------------------------------------

int16_t cQ114::FishIsExist(int16_t fish) const {
    for (std::size_t i = 0; i < fish_.size(); ++i)
        if (fish_[i].Value() == fish) return static_cast<int16_t>(i + 1);
    return 0;
}

Text cQ114::FishList() const {
    Text out;
    for (const FishEntry& e : fish_) {
        out += u' ';
        out += e.Written();
    }
    return Text(TrimSpaces(out));
}

void cQ114::FishList(TextView text) {
    std::vector<FishEntry> entries;
    for (Text& part : Split(text, u" "))
        if (!part.empty() && ReadNumber(part)) entries.push_back(FishEntry{std::nullopt, std::move(part)});
    FishCollection(std::move(entries));
}

void cQ114::FishCollection(std::vector<FishEntry> c) {
    if (c.size() > kMaxFish) throw Overflow("fish list of " + std::to_string(c.size()) + " entries");
    fish_ = std::move(c);
}

void cQ114::FishAdder(int16_t fish) {
    if (fish_.size() >= kMaxFish) throw Overflow("fish list full at " + std::to_string(kMaxFish) + " entries");
    fish_.push_back(FishEntry{fish, {}});
}

void cQ114::FishRemove(int16_t fish) {
    int16_t at = FishIsExist(fish);
    if (at > 0) fish_.erase(fish_.begin() + (at - 1));
}

void cQ114::FishClean() { fish_.clear(); }

// ---- HTML export ----------------------------------------------------------

Text cQ114::MyTemplate() {
    Text out;
    const std::size_t n = std::size(kTemplatePieces);
    for (std::size_t i = 0; i < n; ++i) {
        out += kTemplatePieces[i];
        if (i + 1 < n) out += u"\r\n";
    }
    return out;
}

Text cQ114::Render(const std::vector<int16_t>& lines, bool withEarab, const Text& caption, bool fillIds,
                   const FishNotes* notes) const {
    std::vector<Text> parts = Split(MyTemplate(), u"<!--repeat-->");
    Text head = parts[0], section = parts[1], tail = parts[2];
    Text body;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int16_t line = lines[i];
        const Place place = CheckedPlace(line);  // fails as a move to the line would
        Text row = section;
        if (withEarab) {
            ReplaceAll(row, u"_Quran", ArabicByEarabOf(line));
        } else {
            ReplaceAll(row, u"_Quran", WithoutMarks(ArabicByEarabOf(line)));
            ReplaceAll(row, u"ByEarab", u"NoEarab");
        }
        if (fillIds) ReplaceAll(row, u"_id", Decimal(line));
        ReplaceAll(row, u"_Number", Decimal(static_cast<long long>(i + 1)));
        ReplaceAll(row, u"_Trance", MeanFarsiOf(line));
        Text address = u"سوره: " + SorehNameOf(place.line.soreh) + u" (" + Decimal(place.line.soreh) + u")";
        if (place.line.ayeh != 0) address += u" - آيه: " + Decimal(place.line.ayeh);
        ReplaceAll(row, u"_Address", address);
        body += u"\r\n";
        body += row;
        if (notes) {
            // the reader's own words, as text
            auto note = notes->find(line);
            if (note != notes->end() && !note->second.empty())
                body += u"\r\n<tr><td style=\"color: #6b4e16; white-space: pre-wrap;\">" + HtmlText(note->second) + u"</td></tr>";
        }
    }
    ReplaceAll(head, u"_Caption", caption);
    // the document is for a reader: the U+0000 that ends the tables' last line stays in the model
    return WithoutNul(head + u"\r\n" + body + u"\r\n" + tail);
}

Text cQ114::GetOutputOfSearch(bool withEarab) {
    if (foundList_.empty()) return {};
    Text caption = u"جستجوي : " + searchText_ + u" | تعداد يافته ها : " + Decimal(static_cast<long long>(foundList_.size()));
    Text document = Render(foundList_, withEarab, caption, true);
    ApplyPosition(foundList_.back());  // the rendering ends on the last line
    return document;
}

std::optional<FishExport> cQ114::GetOutputOfFish(bool withEarab, const FishNotes& notes) {
    if (fish_.empty()) return std::nullopt;
    return WriteFish(withEarab, notes);
}

FishExport cQ114::WriteFish(bool withEarab, const FishNotes& notes) const {
    std::vector<int16_t> lines;
    for (const FishEntry& e : fish_) {
        long long v = e.Value();
        if (v < -32768 || v > 32767) throw Overflow("fish " + ToUtf8(e.Written()));
        lines.push_back(static_cast<int16_t>(v));
    }
    FishExport out;
    out.document = Render(lines, withEarab, u"ليست فيش ها", true, notes.empty() ? nullptr : &notes);
    out.file = WriteExport(out.document);
    return out;
}

std::filesystem::path cQ114::WriteExport(const Text& document) const {
    std::error_code ec;
    if (!std::filesystem::exists(ExportFolder, ec)) std::filesystem::create_directories(ExportFolder, ec);
    if (ec || !std::filesystem::is_directory(ExportFolder, ec))
        throw ModelError("path/file access error", ExportFolder.string());
    std::tm t = LocalTime();
    char stem[32];
    std::snprintf(stem, sizeof stem, "%02d-%02d-%02d-%02d-%02d-%02d", t.tm_year % 100, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return WriteNewFile(ExportFolder, stem, "\xEF\xBB\xBF" + ToUtf8(document));
}

std::filesystem::path DefaultExportFolder() {
#ifdef _WIN32
    return "C:\\Zendar";
#else
    const char* home = std::getenv("HOME");
    std::filesystem::path docs = std::filesystem::path(home ? home : ".") / "Documents";
    return docs / "Zendar";
#endif
}

std::vector<int16_t> FindInNotes(const FishNotes& notes, TextView query) {
    if (TrimSpaces(query).size() < 2) return {};
    const Pattern pattern(TranslationSearchQuery(u"*" + Text(query) + u"*"), TranslationFolds());
    std::vector<int16_t> found;
    for (const auto& [line, note] : notes)
        if (pattern.Matches(TranslationSearchForm(note))) found.push_back(line);
    return found;
}

}  // namespace mushaf
