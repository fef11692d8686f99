#pragma once
// Letter forms of the Arabic text and the translation.
#include <span>

#include "model/Text.h"

namespace mushaf {

bool IsMark(char16_t c);  // the eight vowel marks U+064B..U+0652
// What the Arabic search form drops: the vowel marks, and what the Uthmani
// script writes over, under or between its letters that the simple text
// does not write as a letter: maddah, hamza above and below
// (U+0653..U+0655), the superscript alef (U+0670), the Quranic signs
// U+06D6..U+06ED (pause and recitation signs, and the small waw and yeh,
// which mark a lengthened vowel where the simple text writes no letter) and
// the tatweel (U+0640), which only stretches a joint.
bool IsSearchedWithout(char16_t c);

// The shown text without vowel marks: marks removed, U+0625 and U+0623
// written as plain alef. U+0622 and U+0629 stay.
Text WithoutMarks(TextView arabic);

// The form an Arabic line (and an Arabic query) is searched in, in the
// simple or the Uthmani script: what IsSearchedWithout names removed, U+0625
// U+0623 U+0622 and alef wasla (U+0671) as alef, teh marbuta as heh, kaf and
// yeh variants folded, runs of spaces read as one.
Text ArabicSearchForm(TextView arabic);
// The form a translation line (and a translation query) is searched in:
// kaf and yeh variants folded, nothing else.
Text TranslationSearchForm(TextView farsi);

// The form a pack's line (a translation a reader added) and its query are
// searched in: as TranslationSearchForm, Latin letters also as small letters
// without accents (É as e, ḥ as h), the combining marks U+0300..U+036F left
// out.
Text PackSearchForm(TextView text);

// A letter the search form folds, and the letter it becomes there.
struct LetterFold {
    char16_t variant, form;
};
// The letters ArabicSearchForm folds (kaf and yeh variants, the hamza alefs,
// alef madda and alef wasla, teh marbuta), and those TranslationSearchForm
// folds. A character it removes has no form: in a bracket list it takes
// nothing, as a vowel mark there does.
std::span<const LetterFold> ArabicFolds();
std::span<const LetterFold> TranslationFolds();
std::span<const LetterFold> PackFolds();

// Finds the bracket lists of a query as the pattern matcher reads them: a
// list runs from "[" to the next "]"; a "[" with no "]" after it is no list.
// Once one "[" finds no "]", no later one can, and none is looked for again:
// a scan along one text with one ListScanner stays linear however many "["
// it holds.
class ListScanner {
public:
    // The end of the list opening at text[open] (a "["), or npos when none does.
    std::size_t EndOf(TextView text, std::size_t open) {
        if (!closeAhead_) return TextView::npos;
        const std::size_t end = text.find(u']', open + 1);
        closeAhead_ = end != TextView::npos;
        return end;
    }

private:
    bool closeAhead_ = true;
};

// Queries. A pattern's bracket lists ("[" up to the next "]") are left as
// the reader wrote them, so that a range keeps its endpoints and a mark in a
// list stays a mark; the pattern matcher widens a list by the folds instead.
// Everything else is folded as the lines are.
//
// A typed query made ready for either search: Persian kaf as Arabic kaf,
// alef maksura and Persian yeh as Arabic yeh, the right-to-left mark as a space.
Text QueryForm(TextView typed);
// The pattern an Arabic search form is searched with: outside lists, as
// ArabicSearchForm.
Text ArabicSearchQuery(TextView query);
// The pattern a translation search form is searched with: outside lists, as
// TranslationSearchForm.
Text TranslationSearchQuery(TextView query);
// The pattern a pack's search form is searched with: outside lists, as
// PackSearchForm.
Text PackSearchQuery(TextView query);

}  // namespace mushaf
