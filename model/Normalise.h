#pragma once
// Letter forms of the Arabic text and the translation.
#include "Text.h"

namespace mushaf {

bool IsMark(char16_t c);  // the eight vowel marks U+064B..U+0652

// The shown text without vowel marks: marks removed, U+0625 and U+0623
// written as plain alef. U+0622 and U+0629 stay.
Text WithoutMarks(TextView arabic);

// The form an Arabic line (and an Arabic query) is searched in: marks
// removed, U+0625 U+0623 U+0622 as alef, teh marbuta as heh, kaf and yeh
// variants folded, runs of spaces read as one.
Text ArabicSearchForm(TextView arabic);
// The form a translation line (and a translation query) is searched in:
// kaf and yeh variants folded, nothing else.
Text TranslationSearchForm(TextView farsi);

}  // namespace mushaf
