#pragma once
// What a search found, word by word: the words of a shown line that a match
// of the search's pattern covers, in the line as it is shown (with or
// without vowel marks, in either script), for marking them on the page and
// in the translation, and for a short extract of a found line.
#include <optional>
#include <vector>

#include "model/Pattern.h"
#include "model/Text.h"

namespace mushaf {

// The words of a line: its runs of characters other than white space (the
// spaces a page's script splits words on, the no-break space among them)
// and U+0000.
std::vector<TextView> WordsOf(TextView line);

// The indices (ascending, each once) of the words of `line` that a match of
// `pattern` covers, the pattern written for the search form `form` makes of
// a text. The words' forms are joined by one space, as the form reads a run
// of spaces; a word the form leaves empty (a pause sign standing alone) is
// covered by nothing.
std::vector<int> WordsMatched(TextView line, const Pattern& pattern, Text (*form)(TextView));

// The same words in another writing of the same line (the other script,
// whose words are not always the same in number): the words of `to` that
// the letters of words `words` of `from` fall in, their forms aligned letter
// by letter.
std::vector<int> WordsCarried(TextView from, TextView to, const std::vector<int>& words, Text (*form)(TextView));

// The words a search found, as it searched them: the query as the model
// takes it (QueryForm), in the Arabic text (either script) or in the
// translation. Empty when nothing was found.
class FoundWords {
public:
    // Translation: a built-in translation; Pack: a reader's pack, or any
    // translation shown second (searched in PackSearchForm)
    enum class In { Nothing, Arabic, Translation, Pack };
    FoundWords() = default;
    // Throws InvalidPattern where the search does.
    FoundWords(TextView query, In in);
    In Where() const { return in_; }
    const Text& Query() const { return query_; }

    // The words of `shown` (a line of the page) found; where it has none
    // (found only in the other script), those of `other` (the same line in
    // the other script) carried over.
    std::vector<int> InArabic(TextView shown, TextView other) const;
    // The words of a translation line found (a pack's line, for Pack).
    std::vector<int> InTranslation(TextView shown) const;

private:
    In in_ = In::Nothing;
    Text query_;
    std::optional<Pattern> pattern_;  // none while nothing was found
};

// A short extract of `line` around the first of `words` (found words, by
// index): at most `most` words, each saying whether it was found, and
// whether words were left out before and after it. The first found word
// stands near the extract's start, with some of the words before it.
struct ExtractWord {
    Text word;
    bool found;
};
struct Extract {
    bool cutBefore = false, cutAfter = false;
    std::vector<ExtractWord> words;
};
Extract ExtractOf(TextView line, const std::vector<int>& words, std::size_t most = 12);

}  // namespace mushaf
