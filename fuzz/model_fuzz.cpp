// The text model's moves, search, fish list and exports, driven by the
// fuzzer's bytes, with the rule that an operation that throws leaves every
// observable part of the model as it was, and a few rules for those that
// succeed.
//
// The model holds the first kLines lines of the real tables (and the whole
// small tables), so that a fresh copy per input is cheap and the first-line
// tables point past the end as well as into it.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "fuzz/FuzzInput.h"
#include "model/Loading.h"

using namespace mushaf;

namespace {

constexpr std::size_t kLines = 300;

const cQ114& Prototype() {
    static const cQ114 model = [] {
        FileTableSource tables(MUSHAF_TABLE_DIR);
        auto head = [&](const char* name) {
            TextArray a = LoadTable(tables, name);
            if (a.size() > kLines) a.resize(kLines);
            return a;
        };
        cQ114 m;
        m.QrArray(head("AR"));
        m.MeanFaArray(head("FA"));
        m.SorehNameArray(LoadTable(tables, "SOREHNAME"));
        m.SorehUnicArray(LoadTable(tables, "SOREHUNIC"));
        m.HezbUnicArray(LoadTable(tables, "HEZBUNIC"));
        m.JozeUnicArray(LoadTable(tables, "JOZEUNIC"));
        m.PageUnicArray(LoadTable(tables, "PAGEUNIC"));
        m.TotalAyatArray(LoadTable(tables, "AYEHOFSOREH"));
        m.BaseDataArray(head("BASE"));
        return m;
    }();
    return model;
}

// Everything the model shows through its interface.
struct State {
    int16_t line, soreh, ayeh, joze, hezb, page, total, minBound, maxBound, foundNumber;
    int32_t searchTo;
    Text name, byEarab, noEarab, farsi, searchText, fishList;
    std::vector<int16_t> found;
    std::size_t fishCount;
    bool operator==(const State&) const = default;
};

State Observe(const cQ114& m) {
    return {m.GlobalAyeh(), m.Soreh(),    m.Ayeh(),     m.Joze(),          m.Hezb(),
            m.Page(),       m.TotalAyat(), m.MinBound(), m.MaxBound(),      m.FoundNumber(),
            m.SearchTo(),   m.SorehName(), m.ArabicByEarab(), m.ArabicNoEarab(), m.MeanFarsi(),
            m.SearchText(), m.FishList(),  m.FoundList(), m.FishCollection().size()};
}

// A line as the model shows it: read through the const accessors, or as the
// properties hold it when the model stands there.
struct Shown {
    cQ114::Line place;
    int16_t total;
    Text name, byEarab, noEarab, uthmani, farsi;
    bool operator==(const Shown&) const = default;
};

std::optional<Shown> Read(const cQ114& m, int16_t line) {
    try {
        const cQ114::Line& place = m.LineAt(line);
        return Shown{place,
                     m.TotalAyatOf(place.soreh),
                     m.SorehNameOf(place.soreh),
                     m.ArabicByEarabAt(line),
                     m.ArabicNoEarabAt(line),
                     m.ArabicUthmaniAt(line),
                     m.MeanFarsiAt(line)};
    } catch (const ModelError&) {
        return std::nullopt;
    }
}

Shown Current(const cQ114& m) {
    return {{m.Soreh(), m.Ayeh(), m.Joze(), m.Hezb(), m.Page()}, m.TotalAyat(), m.SorehName(), m.ArabicByEarab(),
            m.ArabicNoEarab(), m.ArabicUthmani(), m.MeanFarsi()};
}

[[noreturn]] void Fail(const char* what, int op) {
    std::fprintf(stderr, "model_fuzz: %s (operation %d)\n", what, op);
    std::abort();
}

const std::filesystem::path& Scratch() {
    static const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("mushaf-fuzz-" + std::to_string(::getpid()));
    return dir;
}

int16_t LineArg(fuzz::Input& in) {
    uint8_t b = in.Byte();
    if (b < 200) return static_cast<int16_t>(b + (in.Byte() & 1) * 100);  // mostly lines of the model
    if (b < 230) return static_cast<int16_t>(kLines - 2 + b % 4);       // about its end
    return in.Int16();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    cQ114 m = Prototype();
    fuzz::Input in(data, size);
    namespace fs = std::filesystem;
    bool scratch = false;  // made on the first export of this input
    m.LocalTime = [] { return std::tm{}; };  // every export in the same second

    for (int step = 0; step < 24 && !in.empty(); ++step) {
        const int op = in.Byte() % 18;
        int16_t start = 0, end = 0;
        if (op == 5 || op == 6) {
            // the setters first: only StartSearch itself is to leave all as it was
            m.SearchText(QueryForm(in.Letters(8)));
            m.SearchTo(in.Byte() % 3);
            static const int16_t kEnds[] = {-1, -1, 0, 5, 299, 300, 6400};
            start = kEnds[in.Byte() % std::size(kEnds)];
            end = kEnds[in.Byte() % std::size(kEnds)];
        }
        const State before = Observe(m);
        bool failed = false;
        int16_t line = 0;
        std::optional<Shown> readBefore;  // of the line op 0 moves to
        if (op == 0) {
            line = LineArg(in);
            readBefore = Read(m, line);
        }
        try {
            switch (op) {
            case 0: m.GoPosition(line); break;
            case 1: m.GoPage(in.NumberText()); break;
            case 2: m.GoJoze(in.NumberText()); break;
            case 3: m.GoSoreh(in.NumberText()); break;
            case 4: {
                Text soreh = in.NumberText();
                m.GoAyehOfSoreh(soreh, in.NumberText());
                break;
            }
            case 5:
            case 6: m.StartSearch(start, end); break;
            case 7: m.GoFirstFound(); break;
            case 8: m.GoLastFound(); break;
            case 9: m.FishAdder(LineArg(in)); break;
            case 10: m.FishRemove(LineArg(in)); break;
            case 11: m.FishClean(); break;
            case 12: {
                Text list;
                for (int n = in.Byte() % 6; n > 0; --n) list += in.NumberText() + u" ";
                m.FishList(list);
                break;
            }
            case 13: {
                int16_t fish = LineArg(in);
                int16_t at = m.FishIsExist(fish);
                if (at < 0 || static_cast<std::size_t>(at) > m.FishCollection().size()) Fail("FishIsExist out of the list", op);
                if (at > 0 && m.FishCollection()[at - 1].Value() != fish) Fail("FishIsExist names another entry", op);
                break;
            }
            case 14: {
                Text doc = m.GetOutputOfSearch(in.Byte() & 1);
                if (!doc.empty() && m.GlobalAyeh() != m.FoundList().back()) Fail("search export not on its last line", op);
                break;
            }
            case 15:
            case 16: {
                if (!scratch) {
                    fs::remove_all(Scratch());
                    fs::create_directories(Scratch());
                    std::ofstream(Scratch() / "file") << "x";
                    scratch = true;
                }
                uint8_t where = in.Byte() % 3;
                m.ExportFolder = where == 0 ? Scratch() / "out" : where == 1 ? Scratch() / "file" : Scratch() / "file" / "x";
                auto out = m.GetOutputOfFish(in.Byte() & 1);
                if (!out) break;
                State after = Observe(m);
                if (!(after == before)) Fail("fish export moved the model", op);
                std::ifstream file(out->file, std::ios::binary);
                std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
                if (bytes != "\xEF\xBB\xBF" + ToUtf8(out->document)) Fail("fish file differs from its document", op);
                break;
            }
            case 17: {
                // the raw setters, so that the exports meet lines outside the model
                std::vector<int16_t> list;
                for (int n = in.Byte() % 4; n > 0; --n) list.push_back(LineArg(in));
                m.FoundList(list);
                m.FoundNumber(static_cast<int16_t>(list.size()));
                break;
            }
            }
        } catch (const ModelError&) {
            failed = true;
        }
        const State after = Observe(m);
        if (failed && !(after == before)) Fail("a failing operation changed the model", op);
        if (m.GlobalAyeh() < m.MinBound() || m.GlobalAyeh() > m.MaxBound()) Fail("position outside the bounds", op);
        // the accessors read a line as a move there shows it, and fail where it fails or does not move
        if (Read(m, m.GlobalAyeh()) != Current(m)) Fail("the accessors differ from the current line", op);
        if (op == 0 && readBefore && (failed || readBefore != Current(m))) Fail("the accessors differ from the move", op);
        if (op == 0 && !readBefore && !(Observe(m) == before)) Fail("a move the accessors refuse moved the model", op);
        if ((op == 5 || op == 6) && !failed && m.FoundNumber() != static_cast<int16_t>(m.FoundList().size()))
            Fail("FoundNumber differs from the found list", op);
    }
    if (scratch) fs::remove_all(Scratch());
    return 0;
}
