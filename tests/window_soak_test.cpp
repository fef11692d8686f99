// A soak: batches of random reader actions against the real window, with the
// window's invariants checked after every few actions. MUSHAF_SOAK_BATCHES
// and MUSHAF_SOAK_SEED make it longer or different (tests/soak.sh).
#include <gtest/gtest.h>

#include <random>

#include "tests/WindowRun.h"

using mushaf::testing::RunProcess;

namespace {

int EnvInt(const char* name, int fallback) {
    bool ok = false;
    int v = qEnvironmentVariable(name).toInt(&ok);
    return ok ? v : fallback;
}

class Actions {
public:
    explicit Actions(uint32_t seed) : rng_(seed) {}

    QStringList Batch(int count) {
        QStringList out;
        for (int i = 0; i < count; ++i) {
            out << Next();
            if (i % 10 == 9) out << "check";
        }
        out << "check";
        return out;
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <std::size_t N>
    QString Of(const char* const (&items)[N]) {
        return QString::fromUtf8(items[Pick(static_cast<int>(N))]);
    }
    QString Typed() {
        static const char* const pieces[] = {"0", "1", "5", "9", "-", ".", "a", "ب", "۱", "٣", "۶۰۴", " ", "!", "&",
                                             "114", "200", "604", "7000", "-3", "2.5", "*", "?", "[", "]", "#"};
        QString t;
        for (int n = 1 + Pick(4); n > 0; --n) t += Of(pieces);
        return t;
    }
    QString Next() {
        static const char* const boxes[] = {"txtSoreh", "txtAyeh", "txtJoze", "txtPage", "txtQSearch", "txtSearch"};
        static const char* const keys[] = {"F1",     "F2",     "F3",     "F4",    "F9",     "F12",         "Tab",
                                           "Shift+Tab", "Delete", "BackSpace", "Left", "Right", "Home",   "End",
                                           "Return", "Up",     "Down",   "Ctrl+M", "Ctrl+H", "Ctrl+Y", "Space",
                                           "Shift+Space", "F5", "Shift+F5"};
        static const char* const panes[] = {"wbrQuran", "wbrSoreh", "wbrSearchResult", "wbrFarsi", "wbrHelp"};
        static const char* const queries[] = {"الله", "[", "[]", "[!", "*", "?#", "[ي-ا]", "بهشت", "[ن-ک]", "]]", "\\"};
        switch (Pick(10)) {
        case 0:
        case 1: return "type:" + Of(boxes) + ":" + Typed();
        case 2:
        case 3: return "key:" + Of(keys);
        case 4: return "slider:" + QString::number(Pick(6600) - 100);
        case 5: return QStringLiteral("clickat:%1:%2,%3").arg(Of(panes)).arg(Pick(100) / 100.0).arg(Pick(100) / 100.0);
        case 6: return "type:txtSearch:" + Of(queries);
        case 7: return Pick(4) ? "focus:" + Of(boxes) : "paste:" + Of(boxes) + ":" + QString(10000, QChar(u"5ب-"[Pick(3)]));
        case 8: return Pick(2) ? "resize:15,15" : QStringLiteral("resize:%1,%2").arg(3000 + Pick(12000)).arg(3000 + Pick(10000));
        default: {
            // now and then the renderer ends, as a crash would end it
            if (Pick(8) == 0) return "renderer:kill";
            static const char* const buttons[] = {"cmdHelp", "cmdShowSoreh", "cmdShowSearch"};
            return Pick(2) ? "button:" + Of(buttons) : "key:F3";
        }
        }
    }

    std::mt19937 rng_;
};

}  // namespace

TEST(Soak, RandomReaderActionsKeepTheWindowSound) {
    const int batches = EnvInt("MUSHAF_SOAK_BATCHES", 6);
    const uint32_t seed = static_cast<uint32_t>(EnvInt("MUSHAF_SOAK_SEED", 2026));
    Actions actions(seed);
    for (int b = 0; b < batches; ++b) {
        QStringList batch = actions.Batch(50);
        mushaf::testing::WindowRun r = RunProcess(batch);
        QStringList shown;
        for (const QString& a : batch) shown << (a.size() > 60 ? a.left(60) + "..." : a);
        ASSERT_EQ(r.status, 0) << "seed " << seed << " batch " << b << ": " << r.error.toStdString() << "\nactions: "
                               << shown.join(" | ").toStdString();
        ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    }
}
