#pragma once
// What the reader is told of a file offered as a translation pack.
#include "model/Packs.h"
#include "model/Text.h"

namespace mushaf::views {

// Why the file `shownName` was refused (or, `kept`, why a pack kept before
// cannot be read now): its first problems (by line where a line is to blame)
// and how many more, one a line.
Text PackRefusal(const PackCheck& check, TextView shownName, bool kept = false);
// One problem, in a sentence.
Text PackProblemText(const PackProblem& problem);

}  // namespace mushaf::views
