#include "views/Documents.h"

#include <cstdio>

#include "model/Normalise.h"
#include "model/Pattern.h"

namespace mushaf::views {

namespace {
const Text kCrLf = u"\r\n";
const Text kMeta = u"<meta http-equiv='Content-Type' content='text/html; charset=windows-1256' />";
}  // namespace

Text Shown(TextView text) { return WithoutNul(text); }

Text BackColorHex(uint32_t colorref) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", colorref);
    std::string hex(buf);
    if (hex.size() < 6) hex.insert(0, 6 - hex.size(), '0');
    std::string rgb = hex.substr(hex.size() - 2, 2) + hex.substr(2, 2) + hex.substr(0, 2);
    return Text(rgb.begin(), rgb.end());
}

Text ShellDocument(TextView backColorHex) {
    Text doc = u"<html dir='rtl'>" + kCrLf + kMeta + kCrLf + u"<style>" + kCrLf +
               u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG; line-height: 140%; text-align: justify;}" +
               kCrLf + u"*{font-family: Tahoma;font-size: 13px;}" + u".Radif{width:20;margin:2px 5px 2px 0px;}" +
               u".SorehName{width:80;}" + u".Ayat{width:30; text-align: left;}" +
               u".NoEarab{color: #004000; margin: 10px 0px 15px 0px;}" + kCrLf +
               u".NoEarabSelect{color: #000fff; margin: 10px 0px 15px 0px;}" + kCrLf +
               u".NoEarabBesm{text-align: center; color: #004000; margin: 0px 0px 10px 0px;font-size: 12px; font-weight:bold; }" +
               kCrLf +
               u".NoEarabBesmSelect{text-align: center; color: #000fff; margin: 0px 0px 10px 0px;font-size: 12px; font-weight:bold; }" +
               kCrLf + u".Farsi{margin: 0px;}" + kCrLf + u".Soreh{margin: 0px; hideFocus : True;}" + kCrLf +
               u"a{text-decoration: none;}" + u"</style>" + kCrLf + u"<body>" + kCrLf;
    ReplaceAll(doc, u"_BG", backColorHex);
    return doc;
}

Text Frame(std::span<const TextView> styleRules, TextView backColorHex, TextView body) {
    Text frame = u"<html dir='rtl'>" + kCrLf + kMeta + kCrLf + u"<style>" + kCrLf;
    for (TextView rule : styleRules) {
        frame += rule;
        frame += kCrLf;
    }
    frame += u"</style>" + kCrLf + u"<body>" + kCrLf + u"_body" + kCrLf + u"</body>" + kCrLf + u"</html>" + kCrLf;
    ReplaceAll(frame, u"_BG", backColorHex);
    ReplaceAll(frame, u"_body", body);
    return Shown(frame);
}

std::vector<int16_t> PageStartList(const TextArray& pageUnic, int16_t lineCount) {
    std::vector<int16_t> list;
    list.reserve(pageUnic.size() + 1);
    for (const Text& entry : pageUnic) {
        auto v = ReadNumber(entry);
        if (!v) throw TypeMismatch("page table " + ToUtf8(entry));
        list.push_back(static_cast<int16_t>(*v));
    }
    list.push_back(lineCount);
    return list;
}

Text PageDocument(const cQ114& model, int16_t first, int16_t last, bool showEarab, TextView backColorHex,
                  bool uthmani) {
    Text body;
    for (int n = first; n <= last; ++n) {
        const cQ114::Line& at = model.LineAt(static_cast<int16_t>(n));
        bool besm = at.ayeh == 0 || (at.soreh == 1 && at.ayeh == 1);
        Text line = besm ? Text(u"<div id='div_id' class='NoEarabBesm'>_NoEarab</div>")
                         : Text(u"<div id='div_id' class='NoEarab'><a id='_id' href='#'>_Ayeh.</a>&nbsp;&nbsp;_NoEarab</div>");
        ReplaceAll(line, u"_NoEarab", ShownArabicAt(model, static_cast<int16_t>(n), showEarab, uthmani));
        ReplaceAll(line, u"_Ayeh", Decimal(at.ayeh));
        ReplaceAll(line, u"_id", Decimal(n));
        body += kCrLf;
        body += line;
    }
    return Frame({u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG; line-height: 150%; text-align: justify;}",
                  u"*{font-family: Tahoma;font-size: 13px;}",
                  u".NoEarab{color: #004000; margin: 10px 0px 15px 0px;}",
                  u".NoEarabSelect{color: #000fff; margin: 10px 0px 15px 0px;}",
                  u".NoEarabBesm{text-align: center; color: #004000; margin: 0px 0px 10px 0px;font-size: 12px; font-weight:bold; }",
                  u".NoEarabBesmSelect{text-align: center; color: #000fff; margin: 0px 0px 10px 0px;font-size: 12px; font-weight:bold; }",
                  u".Farsi{margin: 0px;}", u"a{text-decoration: none;}"},
                 backColorHex, body);
}

Text PageCaption(int16_t page) { return u"صفحه " + Decimal(page); }

Translation TranslationDocument(const cQ114& model, int16_t line, TextView backColorHex, const TranslationsLook& look) {
    const cQ114::Line& at = model.LineAt(line);
    Text caption = at.ayeh != 0 ? Text(u"سوره sss - آيه aaa") : Text(u"سوره sss");
    ReplaceAll(caption, u"sss", model.SorehNameOf(at.soreh));
    ReplaceAll(caption, u"aaa", Decimal(at.ayeh));
    Text div = Replaced(u"<div id='_id' class='Farsi'" + TranslationAttributes(look.first) + u">_Farsi</div>", u"_Farsi",
                        ShownTranslation(model.MeanFarsiAt(line), look.first));
    if (model.HasSecond()) div += SecondDiv(model, line, look.second, kSecondId);
    std::vector<TextView> rules{
        u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG; line-height: 150%; text-align: justify;}",
        u"*{font-family: Tahoma;font-size: 13px;}", u".Farsi{margin: 0px;}",
        u".Tools{margin: 0px; float: left;background-color: #c0c0c0;}", u"a{text-decoration: none;}"};
    for (TextView rule : PackRules(model, look)) rules.push_back(rule);
    Text doc = Frame(rules, backColorHex, div);
    return {std::move(doc), Shown(u"  " + caption + u"  ")};
}

Text ShownTranslation(TextView text, const TranslationLook& look) { return look.pack ? HtmlText(text) : Text(text); }

Text TranslationAttributes(const TranslationLook& look) {
    if (!look.pack || look.rtl) return {};
    Text attributes = u" dir='ltr'";
    if (!look.language.empty()) attributes += u" lang='" + HtmlText(look.language) + u"'";
    return attributes;
}

Text SecondDiv(const cQ114& model, int16_t line, const TranslationLook& look, TextView id) {
    // its own direction always: in the page's translation it stands inside the first's line
    const Text attributes = look.pack && !look.rtl ? TranslationAttributes(look) : Text(u" dir='rtl'");
    return u"<div id='" + Text(id) + u"' class='Second'" + attributes + u">" + ShownTranslation(model.SecondAt(line), look) +
           u"</div>";
}

std::vector<TextView> PackRules(const cQ114& model, const TranslationsLook& look) {
    const bool ltr = (look.first.pack && !look.first.rtl) || (model.HasSecond() && look.second.pack && !look.second.rtl);
    std::vector<TextView> rules;
    if (model.HasSecond())
        rules.push_back(u".Second{margin: 8px 0px 0px 0px; padding-top: 6px; border-top: 1px solid rgba(128,128,128,0.35);}");
    if (ltr) {
        rules.push_back(u"[dir=ltr], [dir=ltr] *{font-family: 'Noto Serif', 'DejaVu Serif', serif; font-size: 14px;}");
        rules.push_back(u"[dir=ltr]{text-align: left;}");
        // a right-to-left text inside a left-to-right one keeps its own font
        rules.push_back(u"[dir=rtl], [dir=rtl] *{font-family: Tahoma; font-size: 13px;}");
        rules.push_back(u"[dir=rtl]{text-align: justify;}");
    }
    return rules;
}

namespace {
// The text with the article "ال" taken off the front of each of its words
// (a word starts the text or follows a space); bracket lists are left as
// written.
Text WithoutArticles(TextView text) {
    Text out;
    out.reserve(text.size());
    ListScanner lists;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'[') {
            if (const std::size_t end = lists.EndOf(text, i); end != TextView::npos) {
                out.append(text.substr(i, end - i + 1));
                i = end;
                continue;
            }
        }
        if ((i == 0 || text[i - 1] == u' ') && text.substr(i, 2) == u"ال") {
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

// The surahs whose name, read as `form` makes it, matches "*" filter "*".
std::vector<int> Matching(const TextArray& names, TextView filter, Text (*form)(TextView)) {
    std::vector<int> shown;
    std::optional<Pattern> pattern;
    try {
        pattern.emplace(u"*" + TranslationSearchQuery(filter) + u"*", TranslationFolds());
    } catch (const InvalidPattern&) {
        // a half-typed "[": no surah matches yet
        return shown;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (pattern->Matches(form(names[i]))) shown.push_back(static_cast<int>(i + 1));
    return shown;
}

Text ArticlesDropped(TextView name) { return WithoutArticles(TranslationSearchForm(name)); }
}  // namespace

std::vector<int> SurahsShown(const cQ114& model, TextView filter) {
    const TextArray& names = model.SorehNameArray();
    std::vector<int> shown = Matching(names, filter, TranslationSearchForm);
    if (!shown.empty()) return shown;
    // The index writes the names without their article (كهف, not الكهف):
    // a filter that shows nothing as typed is read again with the article
    // dropped from its words and from the names' words. A filter that shows
    // something as typed shows just that.
    const Text dropped = WithoutArticles(filter);
    if (dropped.size() == filter.size() || dropped.find_first_not_of(u' ') == Text::npos) return shown;
    return Matching(names, dropped, ArticlesDropped);
}

std::optional<int> FirstSurahShown(const cQ114& model, TextView filter) {
    std::vector<int> shown = SurahsShown(model, filter);
    if (shown.empty()) return std::nullopt;
    return shown.front();
}

Text SorehIndexDocument(const cQ114& model, TextView filter, TextView backColorHex) {
    const TextArray& names = model.SorehNameArray();
    Text body;
    for (int n : SurahsShown(model, filter)) {
        const std::size_t i = static_cast<std::size_t>(n - 1);
        Text row = u"<span class='Radif'>_Number</span><span class='SorehName'><a id='_id' href='#'>_Soreh</A></span>"
                   u"<span class='Ayat'>_Ayat</span><br>";
        ReplaceAll(row, u"_Number", Decimal(static_cast<long long>(i + 1)));
        ReplaceAll(row, u"_Soreh", names[i]);
        ReplaceAll(row, u"_Ayat", Decimal(model.TotalAyatOf(static_cast<int16_t>(i + 1))));
        ReplaceAll(row, u"_id", Decimal(static_cast<long long>(i + 1)));
        body += row;
    }
    if (body.empty()) body = kNoSurahFound;
    return Frame({u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG;}",
                  u"*{font-family: Tahoma;font-size: 13px;}", u".Radif{width:40;margin:2px 5px 2px 0px;}",
                  u".Dash{width:5;margin:2px 5px 2px 0px;}", u".SorehName{width:80;}.Ayat{width:30; text-align: left;}",
                  u".Ayat{width:30; text-align: left;}", u"a{text-decoration: none;}"},
                 backColorHex, body);
}

Text PrepareSearchQuery(TextView query) { return QueryForm(query); }

namespace {
Text ResultFrame(TextView body, TextView backColorHex) {
    return Frame({u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG;}",
                  u"*{font-family: Tahoma;font-size: 13px;}", u".Radif{width:40;margin:2px 5px 2px 0px;}",
                  u".SorehName{width:60;margin:0px 5px 2px 0px;}.Ayat{width:30; text-align: left;}",
                  u".Ayat{width:30;margin:0px 5px 2px 0px; text-align: left;}",
                  u".AyehCaption{width:30;margin:0px 5px 2px 0px;}", u"a{text-decoration: none;}"},
                 backColorHex, body);
}
}  // namespace

namespace {
// How a list writes its numbers: the search results as they always have,
// the reader's own lists (cards, history, notes found) in Persian.
enum class Rows { Results, Persian };

// One row of a line list: its number, the surah's name and the ayah, the
// number a link to the line.
// An extract of a found line: its words, the found ones marked, "…" where
// words are left out. A click on it is a click on its row's link (`line`).
Text ExtractDiv(const Extract& extract, int16_t line) {
    Text div = u"<div class='Extract' data-for='" + Decimal(line) + u"'>";
    if (extract.cutBefore) div += u"… ";
    for (std::size_t k = 0; k < extract.words.size(); ++k) {
        if (k) div += u' ';
        const Text word = HtmlText(extract.words[k].word);
        div += extract.words[k].found ? u"<span class='Match'>" + word + u"</span>" : word;
    }
    if (extract.cutAfter) div += u" …";
    return div + u"</div>";
}

using ExtractFn = std::function<Extract(int16_t line)>;

Text ListRows(const cQ114& model, const std::vector<int16_t>& lines, Rows rows, const FishNotes* notes = nullptr,
              const ExtractFn* extract = nullptr) {
    Text body;
    const bool persian = rows == Rows::Persian;
    auto number = [persian](long long n) { return persian ? PersianDecimal(n) : Decimal(n); };
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const cQ114::Line& at = model.LineAt(lines[k]);
        Text row = u"<span class='Radif'><a id='_id' href='#'>_Number -</A></span><span class='SorehName'>_Soreh</span>"
                   u"<span class='AyehCaption'>_Caption</span><span class='Ayeh'>_Ayeh</span><br>";
        ReplaceAll(row, u"_id", Decimal(lines[k]));
        ReplaceAll(row, u"_Number", number(static_cast<long long>(k + 1)));
        ReplaceAll(row, u"_Soreh", model.SorehNameOf(at.soreh));
        ReplaceAll(row, u"_Caption", persian ? u"آیه" : u"آيه");
        ReplaceAll(row, u"_Ayeh", at.ayeh != 0 ? number(at.ayeh) : Text(u"-"));
        body += kCrLf;
        body += row;
        if (extract) body += ExtractDiv((*extract)(lines[k]), lines[k]);
        if (notes) {
            auto note = notes->find(lines[k]);
            if (note != notes->end() && !note->second.empty())
                body += u"<div class='Note' style='margin: 0px 45px 6px 0px; color: #6b4e16; white-space: pre-wrap;'>" +
                        HtmlText(note->second) + u"</div>";
        }
    }
    return body;
}
}  // namespace

Text ResultListDocument(const cQ114& model, TextView backColorHex) {
    const std::vector<int16_t>& found = model.FoundList();
    if (found.empty()) return ResultFrame(kNothingFound, backColorHex);
    return ResultFrame(ListRows(model, found, Rows::Results), backColorHex);
}

Text ResultListDocument(const cQ114& model, TextView backColorHex, const ExtractFn& extract, bool arabic) {
    const std::vector<int16_t>& found = model.FoundList();
    if (found.empty()) return ResultFrame(kNothingFound, backColorHex);
    // the extract in the page's letters, a little larger than the rows
    const Text rule = arabic ? Text(u".Extract, .Extract span{font-family: 'Amiri Quran', serif; font-size: 17px;}")
                             : Text(u".Extract, .Extract span{font-size: 14px;}");
    return Frame({u"Body{Border: 0; margin: 0px 5px 0px 10px; background-color: #_BG;}",
                  u"*{font-family: Tahoma;font-size: 13px;}", u".Radif{width:40;margin:2px 5px 2px 0px;}",
                  u".SorehName{width:60;margin:0px 5px 2px 0px;}.Ayat{width:30; text-align: left;}",
                  u".Ayat{width:30;margin:0px 5px 2px 0px; text-align: left;}",
                  u".AyehCaption{width:30;margin:0px 5px 2px 0px;}", u"a{text-decoration: none;}",
                  u".Extract{margin: 0px 45px 8px 0px; color: #3a3a3a; line-height: 1.8; cursor: pointer;}",
                  rule, u".Match{background-color: #ffe27a; border-radius: 3px;}"},
                 backColorHex, ListRows(model, found, Rows::Results, nullptr, &extract));
}

std::vector<int16_t> FishLines(const cQ114& model) {
    std::vector<int16_t> lines;
    for (const FishEntry& e : model.FishCollection()) {
        const long long v = e.Value();
        if (v >= model.MinBound() && v <= model.MaxBound()) lines.push_back(static_cast<int16_t>(v));
    }
    return lines;
}

Text FishListDocument(const cQ114& model, TextView backColorHex, const FishNotes& notes) {
    const std::vector<int16_t> lines = FishLines(model);
    if (lines.empty()) return ResultFrame(kNoFish, backColorHex);
    return ResultFrame(ListRows(model, lines, Rows::Persian, &notes), backColorHex);
}

Text HistoryDocument(const cQ114& model, const std::vector<int16_t>& lines, TextView backColorHex) {
    return LineListDocument(model, lines, backColorHex, kNoHistory);
}

Text LineListDocument(const cQ114& model, const std::vector<int16_t>& lines, TextView backColorHex, TextView none) {
    if (lines.empty()) return ResultFrame(none, backColorHex);
    return ResultFrame(ListRows(model, lines, Rows::Persian), backColorHex);
}

Text ResultMessageDocument(TextView message, TextView backColorHex) { return ResultFrame(message, backColorHex); }

Text ShownArabicAt(const cQ114& model, int16_t line, bool showEarab, bool uthmani) {
    if (!showEarab) return model.ArabicNoEarabAt(line);
    return uthmani ? model.ArabicUthmaniAt(line) : model.ArabicByEarabAt(line);
}

Text CopyText(const cQ114& model, int16_t line, bool showEarab, bool uthmani) {
    const cQ114::Line& at = model.LineAt(line);
    return Shown(u"سوره " + model.SorehNameOf(at.soreh) + u" [" + Decimal(at.soreh) + u"] - آيه " + Decimal(at.ayeh) +
                 u"\r\n\r\n" + ShownArabicAt(model, line, showEarab, uthmani) + u"\r\n\r\n" +
                 model.MeanFarsiAt(line) + (model.HasSecond() ? u"\r\n\r\n" + model.SecondAt(line) : Text()));
}

}  // namespace mushaf::views
