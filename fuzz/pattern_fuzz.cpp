// The pattern matcher with the letter folding of both searches, against the
// plain backtracking matcher of the tests.
//
// Input: a flag byte (bit 0: the Arabic search, else the translation), a
// query and a line over the fuzz alphabet. The query goes the way a typed
// one does (QueryForm, then the search's query form, wrapped in stars); the
// line is folded as the model folds its lines.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "fuzz/FuzzInput.h"
#include "model/Normalise.h"
#include "model/Pattern.h"
#include "tests/ReferenceSearch.h"

using namespace mushaf;

namespace {

// Whether the reference would refuse the pattern anywhere: an unclosed "["
// or a reversed range in a list.
bool ReferenceRefuses(TextView p) {
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i] != u'[') continue;
        std::size_t close = p.find(u']', i + 1);
        if (close == TextView::npos) return true;
        TextView list = p.substr(i + 1, close - i - 1);
        if (!list.empty() && list[0] == u'!') list.remove_prefix(1);
        for (std::size_t k = 0; k + 2 < list.size(); ++k) {
            if (list[k + 1] == u'-') {
                if (list[k] > list[k + 2]) return true;
                k += 2;
            }
        }
        i = close;
    }
    return false;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "pattern_fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const bool arabic = in.Byte() & 1;
    const Text query = in.Letters(14);
    const Text line = in.Letters(30);

    const Text typed = QueryForm(query);
    const Text pattern = u"*" + (arabic ? ArabicSearchQuery(typed) : TranslationSearchQuery(typed)) + u"*";
    const Text form = arabic ? ArabicSearchForm(line) : TranslationSearchForm(line);

    const Text refPattern = u"*" + reference::Folded(query, arabic, true) + u"*";
    const Text refLine = reference::Folded(line, arabic, false);
    if (form != refLine) Fail("the line's search form differs from the reference folding");
    if (pattern != refPattern) Fail("the query's search form differs from the reference folding");

    std::optional<Pattern> compiled;
    try {
        compiled.emplace(pattern, arabic ? ArabicFolds() : TranslationFolds());
    } catch (const InvalidPattern&) {
        if (!ReferenceRefuses(pattern)) Fail("a pattern the reference takes was refused");
        return 0;
    }
    if (ReferenceRefuses(pattern)) Fail("a pattern the reference refuses was compiled");
    // a plain query is searched for as one text: found exactly where the pattern matches
    if (const LiteralFinder* literal = compiled->SingleLiteral())
        if ((literal->Find(form, 0) != TextView::npos) != compiled->Matches(form)) Fail("the single literal differs from the match");
    // backtracking costs line length to the power of the stars: keep it small
    if (std::count(pattern.begin(), pattern.end(), u'*') > 5) return 0;
    reference::Folds folds = arabic ? reference::ArabicFolds() : reference::TranslationFolds();
    if (compiled->Matches(form) != reference::Like(refLine, refPattern, &folds)) Fail("match differs from the reference");
    return 0;
}
