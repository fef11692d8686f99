#pragma once
// The help page: the stored page with the key list of the reader's commands
// written where the page marks it.
#include <vector>

#include "model/Text.h"

namespace mushaf::views {

// Where the stored page takes the generated key lines.
inline constexpr TextView kHelpKeysMark = u"<!--keys-->";

struct HelpKey {
    Text keys;     // as the reader types them, e.g. "Ctrl+Shift+N"
    Text meaning;  // Persian
};

// The page's own hand: the letters of every word drawn apart with tatweel
// where they join the next letter.
Text DrawnApart(TextView text);

// One line per key, as the stored key lines are written: the keys kept left
// to right, a colon, the meaning drawn apart. Both are escaped as HTML text.
Text HelpKeyLines(const std::vector<HelpKey>& keys);

// The stored page with the key lines in place of its mark; without a mark
// the page as stored.
Text HelpPage(TextView stored, const std::vector<HelpKey>& keys);

}  // namespace mushaf::views
