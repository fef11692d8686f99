#pragma once
// A khatmah plan: the 604 pages read over a number of days from a start
// page, each day a run of whole pages, shared as evenly as they divide.
// Plain C++; the window keeps the plan and says how today's portion goes.
#include <optional>
#include <set>
#include <string>

namespace mushaf {

struct KhatmahPlan {
    static constexpr int kPages = 604, kMostDays = 365;
    int days = 30;
    int startPage = 1;
    std::string began;   // the day it began, YYYY-MM-DD
    std::set<int> seen;  // the pages read (each on screen 30 s or more)
    bool operator==(const KhatmahPlan&) const = default;

    static bool Sound(int days, int startPage) {
        return days >= 1 && days <= kMostDays && startPage >= 1 && startPage <= kPages;
    }
    // Day `day` (0 for the first) reads its pages as the run first..last,
    // counted from the start page and going on from page 604 to page 1
    // (last < first when it does); nothing once the plan's days are over.
    struct Portion {
        int first, last, count;
    };
    std::optional<Portion> PortionOf(int day) const;
    // Whether `page` is in that run.
    static bool Holds(const Portion& p, int page);
    // How many pages of the run have been read.
    int SeenOf(const Portion& p) const;
};

// The pages of a portion in a Persian sentence: "صفحه‌های ۱ تا ۲۰", or as the
// two runs it is when it goes on from page 604 to page 1. Each number and
// run is isolated, so that it reads in order wherever it stands.
std::u16string PortionText(const KhatmahPlan::Portion& p);
// A number in Persian digits, isolated from the text around it.
std::u16string IsolatedNumber(long long n);

}  // namespace mushaf
