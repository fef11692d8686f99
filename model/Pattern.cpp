#include "Pattern.h"

#include "Errors.h"

namespace mushaf {

bool Pattern::Element::Accepts(char16_t c) const {
    switch (kind) {
    case Literal: return c == ch;
    case Any: return true;
    case Digit: return c >= u'0' && c <= u'9';
    case List: {
        bool in = false;
        for (auto [lo, hi] : ranges)
            if (c >= lo && c <= hi) { in = true; break; }
        return in != negate;
    }
    }
    return false;
}

Pattern::Pattern(TextView p) {
    segments_.emplace_back();
    bool sawStar = false;
    for (std::size_t i = 0; i < p.size(); ++i) {
        char16_t c = p[i];
        if (c == u'*') {
            if (i == 0) anchoredStart_ = false;
            if (!segments_.back().elements.empty()) segments_.emplace_back();
            sawStar = true;
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
            } else if (list.empty()) {
                continue;  // "[]" matches the empty string
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
        } else {
            e.kind = Element::Literal;
            e.ch = c;
        }
        Segment& seg = segments_.back();
        if (e.kind == Element::Literal) seg.literal += c;
        else seg.allLiteral = false;
        seg.elements.push_back(std::move(e));
    }
    anchoredEnd_ = !sawStar;
    if (segments_.back().elements.empty() && segments_.size() > 1) segments_.pop_back();
}

bool Pattern::FitsAt(const Segment& seg, TextView line, std::size_t at) {
    if (at + seg.elements.size() > line.size()) return false;
    for (std::size_t k = 0; k < seg.elements.size(); ++k)
        if (!seg.elements[k].Accepts(line[at + k])) return false;
    return true;
}

std::size_t Pattern::Find(const Segment& seg, TextView line, std::size_t from) {
    if (seg.allLiteral) return line.find(seg.literal, from);
    std::size_t n = seg.elements.size();
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

bool MatchesPattern(TextView text, TextView pattern) { return Pattern(pattern).Matches(text); }

}  // namespace mushaf
