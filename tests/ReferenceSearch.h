#pragma once
// A deliberately plain search: every line normalised afresh by twelve
// replace passes, then matched by a backtracking wildcard matcher. It is the
// yardstick the real search is checked and measured against.
#include "Pattern.h"
#include "cQ114.h"

namespace mushaf::reference {

// Backtracking wildcard match, the obvious way.
inline bool Like(TextView s, TextView p) {
    if (p.empty()) return s.empty();
    char16_t c = p[0];
    if (c == u'*') {
        for (std::size_t k = 0; k <= s.size(); ++k)
            if (Like(s.substr(k), p.substr(1))) return true;
        return false;
    }
    if (s.empty()) {
        if (c == u'[' && p.size() >= 2 && p[1] == u']') return Like(s, p.substr(2));
        return false;
    }
    if (c == u'?') return Like(s.substr(1), p.substr(1));
    if (c == u'#') return s[0] >= u'0' && s[0] <= u'9' && Like(s.substr(1), p.substr(1));
    if (c == u'[') {
        std::size_t close = p.find(u']', 1);
        if (close == TextView::npos) throw InvalidPattern("unclosed [");
        TextView list = p.substr(1, close - 1);
        if (list.empty()) return Like(s, p.substr(close + 1));
        bool negate = list[0] == u'!';
        if (negate) list.remove_prefix(1);
        bool in = false;
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (k + 2 < list.size() && list[k + 1] == u'-') {
                if (list[k] > list[k + 2]) throw InvalidPattern("reversed range");
                in = in || (s[0] >= list[k] && s[0] <= list[k + 2]);
                k += 2;
            } else {
                in = in || s[0] == list[k];
            }
        }
        return in != negate && Like(s.substr(1), p.substr(close + 1));
    }
    return s[0] == c && Like(s.substr(1), p.substr(1));
}

inline Text NormaliseLine(Text line) {
    for (const char16_t* mark : {u"\u064B", u"\u064C", u"\u064D", u"\u064E", u"\u064F", u"\u0650", u"\u0651", u"\u0652"})
        ReplaceAll(line, mark, u"");
    for (const char16_t* alef : {u"\u0625", u"\u0623", u"\u0622"}) ReplaceAll(line, alef, u"\u0627");
    ReplaceAll(line, u"\u0629", u"\u0647");
    return line;
}

// The Arabic search over the raw lines, line by line.
inline std::vector<int16_t> SearchArabic(const TextArray& lines, TextView query) {
    std::vector<int16_t> found;
    Text pattern = u"*" + Text(query) + u"*";
    for (std::size_t j = 0; j < lines.size(); ++j)
        if (Like(NormaliseLine(lines[j]), pattern)) found.push_back(static_cast<int16_t>(j));
    return found;
}

}  // namespace mushaf::reference
