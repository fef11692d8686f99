#include "window/Khatmah.h"

namespace mushaf {

std::optional<KhatmahPlan::Portion> KhatmahPlan::PortionOf(int day) const {
    if (day < 0 || day >= days || !Sound(days, startPage)) return std::nullopt;
    // pages day*604/days (rounded down) to (day+1)*604/days - 1 of the plan
    const int from = day * kPages / days, to = (day + 1) * kPages / days - 1;
    auto page = [this](int k) { return (startPage - 1 + k) % kPages + 1; };
    return Portion{page(from), page(to), to - from + 1};
}

bool KhatmahPlan::Holds(const Portion& p, int page) {
    if (p.first <= p.last) return page >= p.first && page <= p.last;
    return page >= p.first || page <= p.last;
}

int KhatmahPlan::SeenOf(const Portion& p) const {
    int n = 0;
    for (int page : seen) n += Holds(p, page);
    return n;
}

}  // namespace mushaf
