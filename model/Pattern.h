#pragma once
// Wildcard patterns: "*" any run, "?" any one character, "#" one digit 0-9,
// "[list]", "[a-z]" and "[!list]" one character of (or not of) a list; every
// other character stands for itself, compared by exact code unit.
//
// A pattern is compiled once and then matched against many lines. Every
// element but "*" matches exactly one character, so the pattern splits into
// fixed-length segments between stars; each segment is placed at its
// leftmost fit. Matching costs at most line length times pattern length; a
// list, however long, is held as sorted disjoint ranges and answers a
// character in logarithmic time.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Normalise.h"
#include "model/Text.h"

namespace mushaf {

// A plain text searched for with Horspool's shifts.
class LiteralFinder {
public:
    explicit LiteralFinder(Text literal);
    // The first occurrence at or after `from`, or npos.
    std::size_t Find(TextView text, std::size_t from) const;
    const Text& literal() const { return literal_; }

private:
    Text literal_;
    std::array<uint16_t, 256> shift_{};  // by the low byte of the character under the window's end
};

class Pattern {
public:
    // Throws InvalidPattern for an unclosed "[" or a reversed range "[z-a]".
    // For lines in a folded search form, `folds` are the letters the form
    // folds: a list then also takes a folded letter when it holds one of the
    // letter's variants ("[ة]" takes heh, which teh marbuta is searched as).
    explicit Pattern(TextView pattern, std::span<const LetterFold> folds = {});
    bool Matches(TextView line) const;
    // For a pattern that is one plain text between stars ("*text*", as the
    // search wraps a plain query): that text, found in a line exactly when
    // the pattern matches it. Otherwise null.
    const LiteralFinder* SingleLiteral() const;
    // Where in `line` the pattern matches, as [begin, end) spans, left to
    // right and apart: for a pattern between stars each leftmost fit of its
    // segments from the end of the last (a match of nothing, "*", is none);
    // otherwise the whole line, if it matches.
    std::vector<std::pair<std::size_t, std::size_t>> Spans(TextView line) const;

private:
    struct Element {
        enum Kind { Literal, Any, Digit, List } kind;
        char16_t ch = 0;
        bool negate = false;
        std::vector<std::pair<char16_t, char16_t>> ranges;  // of a list: sorted, disjoint, not touching
        bool Accepts(char16_t c) const;
    };
    struct Segment {
        std::vector<Element> elements;
        // The longest run of plain characters, found first and then widened.
        std::optional<LiteralFinder> anchor;
        std::size_t anchorOffset = 0;
        bool allLiteral = true;
    };
    static bool AddFoldedForms(Element& list, std::span<const LetterFold> folds);
    // Index of the leftmost fit of `seg` in line at or after `from`, or npos.
    static std::size_t Find(const Segment& seg, TextView line, std::size_t from);
    static bool FitsAt(const Segment& seg, TextView line, std::size_t at);

    std::vector<Segment> segments_;
    bool anchoredStart_ = true;
    bool anchoredEnd_ = true;
};

// Like-style test of one text against one pattern.
bool MatchesPattern(TextView text, TextView pattern);

}  // namespace mushaf
