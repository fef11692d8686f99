#include "views/Packs.h"

namespace mushaf::views {

namespace {
Text N(long long n) { return PersianDecimal(n); }
Text AyahOf(long surah, long ayah) { return u"آیهٔ " + N(ayah) + u" سورهٔ " + N(surah); }
}  // namespace

Text PackProblemText(const PackProblem& p) {
    using Kind = PackProblem::Kind;
    const Text line = u"سطر " + N(static_cast<long long>(p.line)) + u": ";
    switch (p.kind) {
        case Kind::Empty: return u"پرونده سطری از متن ندارد.";
        case Kind::TooLarge:
            return u"پرونده بزرگ‌تر از " + N(static_cast<long long>(kMaxPackBytes >> 20)) + u" مگابایت است.";
        case Kind::NotUtf8: return line + u"متن آن UTF-8 درست نیست.";
        case Kind::Control: return line + u"نویسهٔ کنترلی (یا NUL) دارد؛ جز تب هیچ نویسهٔ کنترلی پذیرفته نیست.";
        case Kind::NoNumbers: return line + u"با شمارهٔ سوره و آیه («سوره|آیه|متن») آغاز نمی‌شود.";
        case Kind::OutOfRange:
            if (p.surah < 1 || p.surah > 114) return line + u"سورهٔ " + N(p.surah) + u" در قرآن نیست.";
            return line + u"سورهٔ " + N(p.surah) + u" آیهٔ " + N(p.ayah) + u" ندارد.";
        case Kind::Doubled:
            return line + AyahOf(p.surah, p.ayah) + u" دوباره آمده است (نخست در سطر " + N(static_cast<long long>(p.first)) + u").";
        case Kind::Missing: return AyahOf(p.surah, p.ayah) + u" در پرونده نیست.";
        case Kind::LineCount:
            return u"پرونده " + N(static_cast<long long>(p.count)) + u" سطر متن دارد؛ بی شمارهٔ سوره و آیه باید " + N(kAyatInMushaf) +
                   u" سطر باشد، هر آیه یک سطر.";
    }
    return {};
}

Text PackRefusal(const PackCheck& check, TextView shownName, bool kept) {
    Text said = u"«" + Text(shownName) + (kept ? u"» خوانده نشد:" : u"» افزوده نشد:");
    for (const PackProblem& p : check.problems) said += u"\n" + PackProblemText(p);
    if (check.moreProblems > 0) said += u"\nو " + N(static_cast<long long>(check.moreProblems)) + u" ایراد دیگر.";
    return said;
}

}  // namespace mushaf::views
