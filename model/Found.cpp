#include "model/Found.h"

#include <algorithm>
#include <map>

#include "model/Normalise.h"

namespace mushaf {

namespace {
// White space as the page's script splits words on it.
bool Separates(char16_t c) {
    switch (c) {
    case u'\0': case u' ': case u'\t': case u'\n': case u'\v': case u'\f': case u'\r':
    case u'\u00A0': case u'\u1680': case u'\u2028': case u'\u2029': case u'\u202F':
    case u'\u205F': case u'\u3000': case u'\uFEFF':
        return true;
    default:
        return c >= u'\u2000' && c <= u'\u200A';
    }
}

// A line's words in a search form, end to end, with the word each letter
// comes from (-1 for what joins them).
struct Letters {
    Text text;
    std::vector<int> word;
    Letters(TextView line, Text (*form)(TextView), bool spaced) {
        const std::vector<TextView> words = WordsOf(line);
        for (std::size_t i = 0; i < words.size(); ++i) {
            const Text f = form(words[i]);
            if (f.empty()) continue;
            if (spaced && !text.empty()) {
                text += u' ';
                word.push_back(-1);
            }
            text += f;
            word.insert(word.end(), f.size(), static_cast<int>(i));
        }
    }
};

std::vector<int> Sorted(std::vector<int> words) {
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}
}  // namespace

std::vector<TextView> WordsOf(TextView line) {
    std::vector<TextView> words;
    std::size_t start = TextView::npos;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        const bool space = i == line.size() || Separates(line[i]);
        if (space && start != TextView::npos) {
            words.push_back(line.substr(start, i - start));
            start = TextView::npos;
        } else if (!space && start == TextView::npos) {
            start = i;
        }
    }
    return words;
}

std::vector<int> WordsMatched(TextView line, const Pattern& pattern, Text (*form)(TextView)) {
    const Letters letters(line, form, true);
    std::vector<int> found;
    for (auto [begin, end] : pattern.Spans(letters.text))
        for (std::size_t k = begin; k < end; ++k)
            if (letters.word[k] >= 0 && (found.empty() || found.back() != letters.word[k])) found.push_back(letters.word[k]);
    return Sorted(std::move(found));
}

std::vector<int> WordsCarried(TextView from, TextView to, const std::vector<int>& words, Text (*form)(TextView)) {
    if (words.empty()) return {};
    const Letters a(from, form, false), b(to, form, false);
    const std::size_t n = a.text.size(), m = b.text.size();
    if (n == 0 || m == 0) return {};
    // the longest common run of letters, kept in order: the table of its
    // length for every pair of ends, then walked back
    std::vector<uint16_t> table((n + 1) * (m + 1), 0);
    auto at = [&](std::size_t i, std::size_t j) -> uint16_t& { return table[i * (m + 1) + j]; };
    for (std::size_t i = 1; i <= n; ++i)
        for (std::size_t j = 1; j <= m; ++j)
            at(i, j) = a.text[i - 1] == b.text[j - 1] ? static_cast<uint16_t>(at(i - 1, j - 1) + 1)
                                                      : std::max(at(i - 1, j), at(i, j - 1));
    // by found word of `from`: how many of its letters fall in each word of `to`
    std::map<int, std::map<int, int>> landed;
    for (std::size_t i = n, j = m; i > 0 && j > 0;) {
        if (a.text[i - 1] == b.text[j - 1] && at(i, j) == at(i - 1, j - 1) + 1) {
            if (std::binary_search(words.begin(), words.end(), a.word[i - 1])) ++landed[a.word[i - 1]][b.word[j - 1]];
            --i, --j;
        } else if (at(i - 1, j) >= at(i, j - 1)) {
            --i;
        } else {
            --j;
        }
    }
    std::vector<int> wordLength(WordsOf(to).size(), 0);
    for (int w : b.word) ++wordLength[static_cast<std::size_t>(w)];
    std::vector<int> carried;
    for (const auto& [word, counts] : landed) {
        // the word most of its letters fall in, and any word that is half its letters
        auto most = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& x, const auto& y) { return x.second < y.second; });
        carried.push_back(most->first);
        for (const auto& [target, count] : counts)
            if (2 * count >= wordLength[static_cast<std::size_t>(target)]) carried.push_back(target);
    }
    return Sorted(std::move(carried));
}

FoundWords::FoundWords(TextView query, In in) : in_(in), query_(query) {
    if (in == In::Nothing) return;
    const Text pattern = u"*" + Text(query) + u"*";
    if (in == In::Arabic) pattern_.emplace(ArabicSearchQuery(pattern), ArabicFolds());
    else if (in == In::Pack) pattern_.emplace(PackSearchQuery(pattern), PackFolds());
    else pattern_.emplace(TranslationSearchQuery(pattern), TranslationFolds());
}

std::vector<int> FoundWords::InArabic(TextView shown, TextView other) const {
    if (in_ != In::Arabic) return {};
    std::vector<int> words = WordsMatched(shown, *pattern_, ArabicSearchForm);
    if (!words.empty() || other.empty()) return words;
    return WordsCarried(other, shown, WordsMatched(other, *pattern_, ArabicSearchForm), ArabicSearchForm);
}

std::vector<int> FoundWords::InTranslation(TextView shown) const {
    if (in_ == In::Pack) return WordsMatched(shown, *pattern_, PackSearchForm);
    if (in_ != In::Translation) return {};
    return WordsMatched(shown, *pattern_, TranslationSearchForm);
}

Extract ExtractOf(TextView line, const std::vector<int>& words, std::size_t most) {
    const std::vector<TextView> all = WordsOf(line);
    Extract extract;
    if (all.empty() || most == 0) return extract;
    const std::size_t first = words.empty() ? 0 : std::min(static_cast<std::size_t>(words.front()), all.size() - 1);
    std::size_t begin = first > most / 3 ? first - most / 3 : 0;
    const std::size_t end = std::min(all.size(), begin + most);
    begin = end > most ? std::min(begin, end - most) : 0;
    extract.cutBefore = begin > 0;
    extract.cutAfter = end < all.size();
    for (std::size_t k = begin; k < end; ++k)
        extract.words.push_back({Text(all[k]), std::binary_search(words.begin(), words.end(), static_cast<int>(k))});
    return extract;
}

}  // namespace mushaf
