// A translation pack's check, on any bytes: it never fails to answer, and
// what it answers holds together. The mushaf here is three surahs of 3, 2
// and 1 ayat, so that whole packs are within the fuzzer's reach.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/Packs.h"

using namespace mushaf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const int16_t counts[] = {3, 2, 1};
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PackCheck check = CheckPack(bytes, u"fuzz", counts);
    if (check.problems.size() > kShownProblems) std::abort();
    if (check.moreProblems > 0 && check.problems.size() != kShownProblems) std::abort();
    if (check.Ok() != (check.ayat.size() == 6)) std::abort();
    if (!check.Ok() && !check.ayat.empty()) std::abort();
    for (const Text& text : check.ayat)
        for (char16_t c : text)
            if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F)) std::abort();
    const PackHead head = ReadPackHead(bytes, u"fuzz");
    if (head.name.empty()) std::abort();
    return 0;
}
