// Search, movement and loading speed of the text model. Run by hand:
//   build/bench/model_bench
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "../tests/ReferenceSearch.h"
#include "model/Loading.h"
#include "platform/qt/QtTableSource.h"

using namespace mushaf;

namespace {

cQ114& Model() {
    static std::unique_ptr<cQ114> model = [] {
        std::unique_ptr<cQ114> m;
        SetBounds(m, QtTableSource());
        return m;
    }();
    return *model;
}

const TextArray& ArabicLines() {
    static TextArray lines = LoadTable(QtTableSource(), "Ar");
    return lines;
}

void Search(benchmark::State& state, const char16_t* query, int target) {
    cQ114& m = Model();
    m.SearchText(query);
    m.SearchTo(target);
    for (auto _ : state) {
        m.StartSearch(-1, -1);
        benchmark::DoNotOptimize(m.FoundNumber());
    }
    state.counters["found"] = m.FoundNumber();
}

void ReferenceSearch(benchmark::State& state, const char16_t* query) {
    std::size_t found = 0;
    for (auto _ : state) found = reference::SearchArabic(ArabicLines(), query).size();
    state.counters["found"] = static_cast<double>(found);
}

Text ManyStars() {
    Text p;
    const char16_t letters[] = u"الرحمن";
    for (int i = 0; i < 20; ++i) {
        p += u'*';
        p += letters[i % 6];
    }
    return p;
}

}  // namespace

BENCHMARK_CAPTURE(Search, ArabicCommonWord, u"الله", 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, ArabicRareWord, u"الصمد", 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, ArabicWildcard, u"ق?ل*الل?", 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, Translation, u"بهشت", 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReferenceSearch, ArabicCommonWord, u"الله")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReferenceSearch, ArabicRareWord, u"الصمد")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReferenceSearch, ArabicWildcard, u"ق?ل*الل?")->Unit(benchmark::kMillisecond);

static void TwentyStars(benchmark::State& state) {
    cQ114& m = Model();
    m.SearchText(ManyStars());
    m.SearchTo(0);
    for (auto _ : state) m.StartSearch(-1, -1);
    state.counters["found"] = m.FoundNumber();
}
BENCHMARK(TwentyStars)->Unit(benchmark::kMillisecond);

// Every line once, as the slider moves the model.
static void GoEveryLine(benchmark::State& state) {
    cQ114& m = Model();
    for (auto _ : state)
        for (int16_t line = m.MinBound(); line <= m.MaxBound(); ++line) m.GoPosition(line);
    state.counters["lines"] = m.MaxBound() - m.MinBound() + 1;
}
BENCHMARK(GoEveryLine)->Unit(benchmark::kMillisecond);

// Every page by its typed number, as the page box moves the model.
static void GoEveryPage(benchmark::State& state) {
    cQ114& m = Model();
    std::vector<Text> pages;
    for (int p = 1; p <= 604; ++p) pages.push_back(Decimal(p));
    for (auto _ : state)
        for (const Text& p : pages) m.GoPage(p);
}
BENCHMARK(GoEveryPage)->Unit(benchmark::kMillisecond);

// The surah index's walk: every surah's ayah count and name.
static void SurahIndexWalk(benchmark::State& state) {
    cQ114& m = Model();
    std::vector<Text> surahs;
    for (int s = 1; s <= 114; ++s) surahs.push_back(Decimal(s));
    for (auto _ : state) {
        long long ayat = 0;
        for (const Text& s : surahs) {
            m.GoSoreh(s);
            ayat += m.TotalAyat() + static_cast<long long>(m.SorehName().size());
        }
        benchmark::DoNotOptimize(ayat);
    }
}
BENCHMARK(SurahIndexWalk)->Unit(benchmark::kMicrosecond);

static void LoadTables(benchmark::State& state) {
    QtTableSource tables;
    for (auto _ : state) {
        std::unique_ptr<cQ114> m;
        SetBounds(m, tables);
        benchmark::DoNotOptimize(m->GlobalAyeh());
    }
}
BENCHMARK(LoadTables)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
