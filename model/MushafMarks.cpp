#include "model/MushafMarks.h"

#include <algorithm>
#include <string>

#include "model/Errors.h"
#include "model/Loading.h"

namespace mushaf {

namespace {

int16_t WholeNumber(TextView text, const char* table) {
    auto v = ReadNumber(WithoutNul(text));
    if (!v || RoundHalfEven(*v) != *v || *v < 0 || *v > 32767)
        throw ModelError("bad table", std::string(table) + ": " + ToUtf8(text));
    return static_cast<int16_t>(*v);
}

}  // namespace

void MushafMarks::QuarterUnicArray(const TextArray& a) {
    std::vector<int16_t> firsts;
    for (const Text& t : a) firsts.push_back(WholeNumber(t, "QUARTERUNIC"));
    if (!std::is_sorted(firsts.begin(), firsts.end()) || std::adjacent_find(firsts.begin(), firsts.end()) != firsts.end())
        throw ModelError("bad table", "QUARTERUNIC: lines not ascending");
    quarterFirst_ = std::move(firsts);
}

void MushafMarks::SajdaArray(const TextArray& a) {
    std::vector<SajdaPlace> places;
    for (const Text& t : a) {
        const Text line = WithoutNul(t);
        const std::size_t space = line.find(u' ');
        if (space == Text::npos) throw ModelError("bad table", "SAJDA: " + ToUtf8(line));
        const int16_t kind = WholeNumber(TextView(line).substr(space + 1), "SAJDA");
        if (kind > 1) throw ModelError("bad table", "SAJDA: " + ToUtf8(line));
        places.push_back({WholeNumber(TextView(line).substr(0, space), "SAJDA"), kind ? Sajda::Obligatory : Sajda::Recommended});
    }
    if (!std::is_sorted(places.begin(), places.end(), [](auto& x, auto& y) { return x.line < y.line; }))
        throw ModelError("bad table", "SAJDA: lines not ascending");
    sajdas_ = std::move(places);
}

void MushafMarks::PlaceArray(const TextArray& a) {
    std::vector<bool> medinan;
    for (const Text& t : a) {
        const int16_t v = WholeNumber(t, "MM");
        if (v > 1) throw ModelError("bad table", "MM: " + ToUtf8(t));
        medinan.push_back(v == 1);
    }
    medinan_ = std::move(medinan);
}

void MushafMarks::RevelationOrderArray(const TextArray& a) {
    std::vector<int16_t> order;
    for (const Text& t : a) order.push_back(WholeNumber(t, "SR_TNOOZOOL"));
    revelationOrder_ = std::move(order);
}

int16_t MushafMarks::QuarterFirstLine(int q) const {
    if (q < 1 || q > QuarterCount()) throw SubscriptOutOfRange("quarter " + std::to_string(q));
    return quarterFirst_[static_cast<std::size_t>(q - 1)];
}

int MushafMarks::QuarterOf(int16_t line) const {
    return static_cast<int>(std::upper_bound(quarterFirst_.begin(), quarterFirst_.end(), line) - quarterFirst_.begin());
}

int MushafMarks::QuarterStartingAt(int16_t line) const {
    auto it = std::lower_bound(quarterFirst_.begin(), quarterFirst_.end(), line);
    return it != quarterFirst_.end() && *it == line ? static_cast<int>(it - quarterFirst_.begin()) + 1 : 0;
}

MushafMarks::Sajda MushafMarks::SajdaAt(int16_t line) const {
    auto it = std::lower_bound(sajdas_.begin(), sajdas_.end(), line, [](const SajdaPlace& p, int16_t l) { return p.line < l; });
    return it != sajdas_.end() && it->line == line ? it->kind : Sajda::None;
}

MushafMarks::Revelation MushafMarks::RevelationOf(int soreh) const {
    if (soreh < 1 || soreh > SorehCount()) throw SubscriptOutOfRange("surah " + std::to_string(soreh));
    return medinan_[static_cast<std::size_t>(soreh - 1)] ? Revelation::Medinan : Revelation::Meccan;
}

int MushafMarks::RevelationOrder(int soreh) const {
    if (soreh < 1 || soreh > static_cast<int>(revelationOrder_.size()))
        throw SubscriptOutOfRange("surah " + std::to_string(soreh));
    return revelationOrder_[static_cast<std::size_t>(soreh - 1)];
}

MushafMarks LoadMushafMarks(const TableSource& tables) {
    MushafMarks marks;
    marks.QuarterUnicArray(LoadTable(tables, "QuarterUnic"));
    marks.SajdaArray(LoadTable(tables, "Sajda"));
    marks.PlaceArray(LoadTable(tables, "MM"));
    marks.RevelationOrderArray(LoadTable(tables, "SR_TNOOZOOL"));
    return marks;
}

}  // namespace mushaf
