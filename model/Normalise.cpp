#include "Normalise.h"

namespace mushaf {

bool IsMark(char16_t c) { return c >= 0x064B && c <= 0x0652; }

Text WithoutMarks(TextView arabic) {
    Text out;
    out.reserve(arabic.size());
    for (char16_t c : arabic) {
        if (IsMark(c)) continue;
        out += (c == 0x0625 || c == 0x0623) ? char16_t(0x0627) : c;
    }
    return out;
}

namespace {
// Persian kaf and Arabic kaf are one letter; so are Persian yeh, Arabic yeh
// and alef maksura.
inline char16_t FoldLetter(char16_t c) {
    switch (c) {
    case 0x06A9: return 0x0643;
    case 0x06CC:
    case 0x0649: return 0x064A;
    default: return c;
    }
}
}  // namespace

Text ArabicSearchForm(TextView arabic) {
    Text out;
    out.reserve(arabic.size());
    for (char16_t c : arabic) {
        if (IsMark(c)) continue;
        switch (c) {
        case 0x0625:
        case 0x0623:
        case 0x0622: c = 0x0627; break;
        case 0x0629: c = 0x0647; break;
        default: c = FoldLetter(c);
        }
        if (c == u' ' && !out.empty() && out.back() == u' ') continue;
        out += c;
    }
    return out;
}

Text TranslationSearchForm(TextView farsi) {
    Text out(farsi);
    for (char16_t& c : out) c = FoldLetter(c);
    return out;
}

}  // namespace mushaf
