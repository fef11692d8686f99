#include "window/Khatmah.h"

#include "model/Text.h"

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

std::u16string IsolatedNumber(long long n) { return u"\u2068" + PersianDecimal(n) + u"\u2069"; }

namespace {
// "A تا B", isolated as one; a run of one page is that page.
std::u16string Run(int first, int last) {
    if (first == last) return IsolatedNumber(first);
    return u"\u2068" + PersianDecimal(first) + u" تا " + PersianDecimal(last) + u"\u2069";
}
}  // namespace

std::u16string PortionText(const KhatmahPlan::Portion& p) {
    const std::u16string pages = p.count == 1 ? u"صفحهٔ " : u"صفحه‌های ";
    if (p.first <= p.last) return pages + Run(p.first, p.last);
    return pages + Run(p.first, KhatmahPlan::kPages) + u" و " + Run(1, p.last);
}

}  // namespace mushaf
