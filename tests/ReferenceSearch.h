#pragma once
// A deliberately plain search: every line normalised afresh by replace
// passes, then matched by a backtracking wildcard matcher. It is the
// yardstick the real search is checked and measured against.
#include <algorithm>
#include <iterator>

#include "model/Pattern.h"
#include "model/cQ114.h"

namespace mushaf::reference {

// A letter the search folds, and the letter it is searched as.
struct Fold {
    char16_t variant, form;
};
using Folds = std::vector<Fold>;

// Backtracking wildcard match, the obvious way. With `folds`, a bracket list
// also takes a letter when one of the letter's variants is in it.
inline bool Like(TextView s, TextView p, const Folds* folds = nullptr) {
    if (p.empty()) return s.empty();
    char16_t c = p[0];
    if (c == u'*') {
        for (std::size_t k = 0; k <= s.size(); ++k)
            if (Like(s.substr(k), p.substr(1), folds)) return true;
        return false;
    }
    if (s.empty()) {
        if (c == u'[' && p.size() >= 2 && p[1] == u']') return Like(s, p.substr(2), folds);
        return false;
    }
    if (c == u'?') return Like(s.substr(1), p.substr(1), folds);
    if (c == u'#') return s[0] >= u'0' && s[0] <= u'9' && Like(s.substr(1), p.substr(1), folds);
    if (c == u'[') {
        std::size_t close = p.find(u']', 1);
        if (close == TextView::npos) throw InvalidPattern("unclosed [");
        TextView list = p.substr(1, close - 1);
        if (list.empty()) return Like(s, p.substr(close + 1), folds);
        bool negate = list[0] == u'!';
        if (negate) list.remove_prefix(1);
        std::vector<char16_t> letters{s[0]};
        if (folds)
            for (Fold f : *folds)
                if (f.form == s[0]) letters.push_back(f.variant);
        bool in = false;
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (k + 2 < list.size() && list[k + 1] == u'-') {
                if (list[k] > list[k + 2]) throw InvalidPattern("reversed range");
                for (char16_t x : letters) in = in || (x >= list[k] && x <= list[k + 2]);
                k += 2;
            } else {
                for (char16_t x : letters) in = in || x == list[k];
            }
        }
        return in != negate && Like(s.substr(1), p.substr(close + 1), folds);
    }
    return s[0] == c && Like(s.substr(1), p.substr(1), folds);
}

// The signs of the Uthmani script the Arabic search drops, as the vowel marks.
inline bool UthmaniSign(char16_t c) {
    return (c >= u'\u0653' && c <= u'\u0655') || c == u'\u0670' || c == u'\u0640' || (c >= u'\u06D6' && c <= u'\u06ED');
}

inline Text NormaliseLine(Text line) {
    for (const char16_t* mark : {u"\u064B", u"\u064C", u"\u064D", u"\u064E", u"\u064F", u"\u0650", u"\u0651", u"\u0652"})
        ReplaceAll(line, mark, u"");
    for (char16_t sign = 0x0640; sign <= 0x06ED; ++sign)
        if (UthmaniSign(sign)) ReplaceAll(line, Text(1, sign), u"");
    for (const char16_t* alef : {u"\u0625", u"\u0623", u"\u0622", u"\u0671"}) ReplaceAll(line, alef, u"\u0627");
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

// The letters folded for the translation search, and for the Arabic search.
inline Folds TranslationFolds() { return {{u'\u06A9', u'\u0643'}, {u'\u06CC', u'\u064A'}, {u'\u0649', u'\u064A'}}; }
inline Folds ArabicFolds() {
    Folds f = TranslationFolds();
    for (Fold more : std::initializer_list<Fold>{
             {u'\u0625', u'\u0627'}, {u'\u0623', u'\u0627'}, {u'\u0622', u'\u0627'}, {u'\u0629', u'\u0647'},
             {u'\u0671', u'\u0627'}})
        f.push_back(more);
    return f;
}

// A line or a typed query in its folded form: for the Arabic, marks and
// Uthmani signs dropped and runs of spaces read as one. In a query, bracket lists stay as written
// and a right-to-left mark outside them stands for a space.
inline Text Folded(TextView text, bool arabic, bool query) {
    Folds folds = arabic ? ArabicFolds() : TranslationFolds();
    if (query) folds.push_back({u'\u200F', u' '});
    Text out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        std::size_t close = c == u'[' && query ? text.find(u']', i + 1) : TextView::npos;
        if (close != TextView::npos) {
            out += text.substr(i, close - i + 1);
            i = close;
            continue;
        }
        if (arabic && ((c >= u'\u064B' && c <= u'\u0652') || UthmaniSign(c))) continue;
        for (Fold f : folds)
            if (f.variant == c) c = f.form;
        if (arabic && c == u' ' && !out.empty() && out.back() == u' ') continue;
        out += c;
    }
    return out;
}

// The search of the Arabic text (arabic) or the translation over the raw
// lines, line by line, with the letter folding.
inline std::vector<int16_t> SearchFolded(const TextArray& lines, TextView query, bool arabic) {
    Folds folds = arabic ? ArabicFolds() : TranslationFolds();
    Text pattern = u"*" + Folded(query, arabic, true) + u"*";
    std::vector<int16_t> found;
    for (std::size_t j = 0; j < lines.size(); ++j)
        if (Like(Folded(lines[j], arabic, false), pattern, &folds)) found.push_back(static_cast<int16_t>(j));
    return found;
}

// The lines either search finds: the Arabic search takes a line when the
// query matches it in the simple or in the Uthmani script.
inline std::vector<int16_t> Either(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    std::vector<int16_t> both;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
    return both;
}

}  // namespace mushaf::reference
