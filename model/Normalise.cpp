#include "model/Normalise.h"

#include <algorithm>
#include <vector>

namespace mushaf {

bool IsMark(char16_t c) { return c >= 0x064B && c <= 0x0652; }

bool IsSearchedWithout(char16_t c) {
    return IsMark(c) || (c >= 0x0653 && c <= 0x0655) || c == 0x0670 || c == 0x0640 || (c >= 0x06D6 && c <= 0x06ED);
}

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

inline char16_t FoldArabicLetter(char16_t c) {
    switch (c) {
    case 0x0625:
    case 0x0623:
    case 0x0622:
    case 0x0671: return 0x0627;
    case 0x0629: return 0x0647;
    default: return FoldLetter(c);
    }
}

constexpr LetterFold kFolds[] = {
    {0x06A9, 0x0643}, {0x06CC, 0x064A}, {0x0649, 0x064A},                    // both searches
    {0x0625, 0x0627}, {0x0623, 0x0627}, {0x0622, 0x0627}, {0x0629, 0x0647},  // the Arabic only
    {0x0671, 0x0627},
};

// Appends c to an Arabic search form: marks and signs dropped, letters
// folded, a space after a space dropped.
inline void AppendArabic(Text& out, char16_t c) {
    if (IsSearchedWithout(c)) return;
    c = FoldArabicLetter(c);
    if (c == u' ' && !out.empty() && out.back() == u' ') return;
    out += c;
}

// Hands each character outside bracket lists to plain(out, c) and copies the
// lists themselves unchanged (ListScanner: a "[" with no "]" after it is no
// list, and the pattern matcher refuses it).
template <class Plain>
Text OutsideLists(TextView query, Plain plain) {
    Text out;
    out.reserve(query.size());
    ListScanner lists;
    for (std::size_t i = 0; i < query.size(); ++i) {
        const std::size_t end = query[i] == u'[' ? lists.EndOf(query, i) : TextView::npos;
        if (end != TextView::npos) {
            out.append(query.substr(i, end - i + 1));
            i = end;
        } else {
            plain(out, query[i]);
        }
    }
    return out;
}

// Each character of `text` handed to append(out, c).
template <class Append>
Text EachAppended(TextView text, Append append) {
    Text out;
    out.reserve(text.size());
    for (char16_t c : text) append(out, c);
    return out;
}
}  // namespace

Text ArabicSearchForm(TextView arabic) { return EachAppended(arabic, AppendArabic); }

Text TranslationSearchForm(TextView farsi) {
    Text out(farsi);
    for (char16_t& c : out) c = FoldLetter(c);
    return out;
}

std::span<const LetterFold> ArabicFolds() { return kFolds; }
std::span<const LetterFold> TranslationFolds() { return std::span(kFolds).first(3); }

Text QueryForm(TextView typed) {
    return OutsideLists(typed, [](Text& out, char16_t c) { out += c == 0x200F ? char16_t(u' ') : FoldLetter(c); });
}

Text ArabicSearchQuery(TextView query) { return OutsideLists(query, AppendArabic); }

Text TranslationSearchQuery(TextView query) {
    return OutsideLists(query, [](Text& out, char16_t c) { out += FoldLetter(c); });
}

namespace {
constexpr LetterFold kLatinFolds[] = {
#include "model/LatinFolds.inc"
};

char16_t FoldLatin(char16_t c) {
    if (c < u'A' || c > 0x1EFF) return c;
    const auto at = std::lower_bound(std::begin(kLatinFolds), std::end(kLatinFolds), c,
                                     [](const LetterFold& f, char16_t v) { return f.variant < v; });
    return at != std::end(kLatinFolds) && at->variant == c ? at->form : c;
}

bool IsCombiningMark(char16_t c) { return c >= 0x0300 && c <= 0x036F; }

inline void AppendPack(Text& out, char16_t c) {
    if (!IsCombiningMark(c)) out += FoldLetter(FoldLatin(c));
}
}  // namespace

Text PackSearchForm(TextView text) { return EachAppended(text, AppendPack); }

Text PackSearchQuery(TextView query) { return OutsideLists(query, AppendPack); }

std::span<const LetterFold> PackFolds() {
    static const std::vector<LetterFold> folds = [] {
        std::vector<LetterFold> all(std::begin(kFolds), std::begin(kFolds) + 3);
        all.insert(all.end(), std::begin(kLatinFolds), std::end(kLatinFolds));
        return all;
    }();
    return folds;
}

}  // namespace mushaf
