#include "model/Pattern.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/Errors.h"

namespace mushaf {

bool Pattern::Element::Accepts(char16_t c) const {
    switch (kind) {
    case Literal: return c == ch;
    case Any: return true;
    case Digit: return c >= u'0' && c <= u'9';
    case List: {
        // the ranges are sorted and disjoint: the last one starting at or below c
        auto after = std::upper_bound(ranges.begin(), ranges.end(), c,
                                      [](char16_t x, const std::pair<char16_t, char16_t>& r) { return x < r.first; });
        bool in = after != ranges.begin() && c <= std::prev(after)->second;
        return in != negate;
    }
    }
    return false;
}

LiteralFinder::LiteralFinder(Text literal) : literal_(std::move(literal)) {
    const std::size_t m = literal_.size();
    const uint16_t full = static_cast<uint16_t>(std::min<std::size_t>(m, 0xFFFF));
    shift_.fill(full);
    for (std::size_t i = 0; i + 1 < m; ++i)
        shift_[literal_[i] & 0xFF] = static_cast<uint16_t>(std::min<std::size_t>(m - 1 - i, full));
}

std::size_t LiteralFinder::Find(TextView text, std::size_t from) const {
    const std::size_t m = literal_.size();
    if (m < 2) return text.find(literal_, from);
    const char16_t* t = text.data();
    const char16_t* lit = literal_.data();
    const char16_t last = lit[m - 1];
    std::size_t at = from;
#if defined(__SSE2__)
    // Eight positions at a time: a candidate has the literal's first
    // character at its start and its last character m-1 further on.
    const __m128i first = _mm_set1_epi16(static_cast<short>(lit[0]));
    const __m128i lastv = _mm_set1_epi16(static_cast<short>(last));
    for (; at + m - 1 + 8 <= text.size(); at += 8) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + at));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + at + m - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(a, first), _mm_cmpeq_epi16(b, lastv))));
        while (mask) {
            unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            std::size_t k = bit / 2;
            if (std::char_traits<char16_t>::compare(t + at + k + 1, lit + 1, m - 2) == 0) return at + k;
            mask &= ~(3u << bit);
        }
    }
#endif
    while (at + m <= text.size()) {
        char16_t c = t[at + m - 1];
        if (c == last && std::char_traits<char16_t>::compare(t + at, lit, m - 1) == 0) return at;
        at += shift_[c & 0xFF];
    }
    return TextView::npos;
}

namespace {
// Sorts the ranges of a list and merges those that overlap or touch.
void SortAndMerge(std::vector<std::pair<char16_t, char16_t>>& ranges) {
    std::sort(ranges.begin(), ranges.end());
    std::size_t out = 0;
    for (std::size_t k = 0; k < ranges.size(); ++k) {
        if (out > 0 && ranges[k].first <= ranges[out - 1].second + 1) {
            ranges[out - 1].second = std::max(ranges[out - 1].second, ranges[k].second);
        } else {
            ranges[out++] = ranges[k];
        }
    }
    ranges.resize(out);
}
}  // namespace

// Adds to a list the folded form of each variant it holds; true if any was added.
bool Pattern::AddFoldedForms(Element& list, std::span<const LetterFold> folds) {
    const bool negate = list.negate;
    list.negate = false;  // membership itself, before any "!"
    std::vector<char16_t> forms;
    for (LetterFold f : folds)
        if (list.Accepts(f.variant) && !list.Accepts(f.form)) forms.push_back(f.form);
    list.negate = negate;
    for (char16_t form : forms) list.ranges.emplace_back(form, form);
    return !forms.empty();
}

const LiteralFinder* Pattern::SingleLiteral() const {
    if (anchoredStart_ || anchoredEnd_ || segments_.size() != 1 || !segments_[0].allLiteral || !segments_[0].anchor)
        return nullptr;
    return &*segments_[0].anchor;
}

Pattern::Pattern(TextView p, std::span<const LetterFold> folds) {
    segments_.emplace_back();
    bool sawStar = false;
    for (std::size_t i = 0; i < p.size(); ++i) {
        char16_t c = p[i];
        if (c == u'*') {
            if (segments_.size() == 1 && segments_.back().elements.empty()) anchoredStart_ = false;
            if (!segments_.back().elements.empty()) segments_.emplace_back();
            sawStar = true;
            continue;
        }
        if (c == u'[' && i + 1 < p.size() && p[i + 1] == u']') {
            ++i;  // "[]" matches the empty string
            continue;
        }
        sawStar = false;
        Element e{};
        if (c == u'?') {
            e.kind = Element::Any;
        } else if (c == u'#') {
            e.kind = Element::Digit;
        } else if (c == u'[') {
            std::size_t close = p.find(u']', i + 1);
            if (close == TextView::npos) throw InvalidPattern("unclosed [");
            TextView list = p.substr(i + 1, close - i - 1);
            i = close;
            e.kind = Element::List;
            if (!list.empty() && list[0] == u'!') {
                e.negate = true;
                list.remove_prefix(1);
            }
            for (std::size_t k = 0; k < list.size(); ++k) {
                if (k + 2 < list.size() && list[k + 1] == u'-') {
                    if (list[k] > list[k + 2]) throw InvalidPattern("reversed range");
                    e.ranges.emplace_back(list[k], list[k + 2]);
                    k += 2;
                } else {
                    e.ranges.emplace_back(list[k], list[k]);
                }
            }
            SortAndMerge(e.ranges);
            if (AddFoldedForms(e, folds)) SortAndMerge(e.ranges);
        } else {
            e.kind = Element::Literal;
            e.ch = c;
        }
        Segment& seg = segments_.back();
        if (e.kind != Element::Literal) seg.allLiteral = false;
        seg.elements.push_back(std::move(e));
    }
    anchoredEnd_ = !sawStar;
    // a trailing star opened a segment that stays empty: it places nothing
    if (segments_.size() > 1 && segments_.back().elements.empty()) segments_.pop_back();
    for (Segment& seg : segments_) {
        std::size_t bestAt = 0, bestLen = 0;
        for (std::size_t k = 0; k < seg.elements.size();) {
            if (seg.elements[k].kind != Element::Literal) { ++k; continue; }
            std::size_t run = k;
            while (run < seg.elements.size() && seg.elements[run].kind == Element::Literal) ++run;
            if (run - k > bestLen) bestAt = k, bestLen = run - k;
            k = run;
        }
        if (bestLen == 0) continue;
        Text literal;
        for (std::size_t k = bestAt; k < bestAt + bestLen; ++k) literal += seg.elements[k].ch;
        seg.anchor.emplace(std::move(literal));
        seg.anchorOffset = bestAt;
    }
}

bool Pattern::FitsAt(const Segment& seg, TextView line, std::size_t at) {
    if (at + seg.elements.size() > line.size()) return false;
    for (std::size_t k = 0; k < seg.elements.size(); ++k)
        if (!seg.elements[k].Accepts(line[at + k])) return false;
    return true;
}

std::size_t Pattern::Find(const Segment& seg, TextView line, std::size_t from) {
    const std::size_t n = seg.elements.size();
    if (seg.anchor) {
        for (std::size_t at = from + seg.anchorOffset;;) {
            std::size_t hit = seg.anchor->Find(line, at);
            if (hit == TextView::npos) return TextView::npos;
            std::size_t start = hit - seg.anchorOffset;
            if (seg.allLiteral || FitsAt(seg, line, start)) return start;
            at = hit + 1;
        }
    }
    for (std::size_t at = from; at + n <= line.size(); ++at)
        if (FitsAt(seg, line, at)) return at;
    return TextView::npos;
}

bool Pattern::Matches(TextView line) const {
    std::size_t count = segments_.size();
    std::size_t first = 0, last = count;  // the segments placed freely: [first, last)
    std::size_t begin = 0, end = line.size();
    if (anchoredStart_) {
        const Segment& s = segments_.front();
        if (!FitsAt(s, line, 0)) return false;
        begin = s.elements.size();
        first = 1;
        if (count == 1 && anchoredEnd_) return begin == line.size();
    }
    if (anchoredEnd_ && last > first) {
        const Segment& s = segments_.back();
        if (s.elements.size() > end - begin) return false;
        if (!FitsAt(s, line, end - s.elements.size())) return false;
        end -= s.elements.size();
        --last;
    }
    TextView window = line.substr(0, end);
    std::size_t at = begin;
    for (std::size_t k = first; k < last; ++k) {
        const Segment& s = segments_[k];
        if (s.elements.empty()) continue;
        std::size_t pos = Find(s, window, at);
        if (pos == TextView::npos) return false;
        at = pos + s.elements.size();
    }
    return true;
}

std::vector<std::pair<std::size_t, std::size_t>> Pattern::Spans(TextView line) const {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    if (anchoredStart_ || anchoredEnd_) {
        if (Matches(line)) spans.emplace_back(0, line.size());
        return spans;
    }
    std::vector<const Segment*> placed;
    for (const Segment& s : segments_)
        if (!s.elements.empty()) placed.push_back(&s);
    if (placed.empty()) return spans;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t begin = Find(*placed.front(), line, at);
        if (begin == TextView::npos) break;
        std::size_t end = begin + placed.front()->elements.size();
        for (std::size_t k = 1; k < placed.size() && end != TextView::npos; ++k) {
            const std::size_t pos = Find(*placed[k], line, end);
            end = pos == TextView::npos ? pos : pos + placed[k]->elements.size();
        }
        // the rest placed nowhere after the leftmost start: nowhere after a later one
        if (end == TextView::npos) break;
        spans.emplace_back(begin, end);
        at = end;
    }
    return spans;
}

bool MatchesPattern(TextView text, TextView pattern) { return Pattern(pattern).Matches(text); }

}  // namespace mushaf
