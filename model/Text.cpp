#include "Text.h"

#include <charconv>
#include <cmath>

namespace mushaf {

std::string ToUtf8(TextView text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

Text FromUtf8(std::string_view s) {
    Text out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        char32_t c;
        int extra;
        if (b < 0x80) { c = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; }
        else { out += u'\uFFFD'; ++i; continue; }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (!ok) { out += u'\uFFFD'; ++i; continue; }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

void ReplaceAll(Text& text, TextView what, TextView with) {
    if (what.empty()) return;
    std::size_t pos = text.find(what);
    if (pos == Text::npos) return;
    Text out;
    out.reserve(text.size());
    std::size_t from = 0;
    while (pos != Text::npos) {
        out.append(text, from, pos - from);
        out.append(with);
        from = pos + what.size();
        pos = text.find(what, from);
    }
    out.append(text, from, Text::npos);
    text = std::move(out);
}

Text Replaced(Text text, TextView what, TextView with) {
    ReplaceAll(text, what, with);
    return text;
}

std::vector<Text> Split(TextView text, TextView separator) {
    std::vector<Text> parts;
    if (separator.size() == 2) {
        // the common case, lines at CR LF: look for the first unit, then check the second
        const char16_t first = separator[0], second = separator[1];
        std::size_t from = 0;
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == first && text[i + 1] == second) {
                parts.emplace_back(text.substr(from, i - from));
                from = i + 2;
                ++i;
            }
        }
        parts.emplace_back(text.substr(from));
        return parts;
    }
    std::size_t from = 0;
    for (;;) {
        std::size_t pos = text.find(separator, from);
        if (pos == TextView::npos) {
            parts.emplace_back(text.substr(from));
            return parts;
        }
        parts.emplace_back(text.substr(from, pos - from));
        from = pos + separator.size();
    }
}

TextView TrimSpaces(TextView text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == u' ') ++b;
    while (e > b && text[e - 1] == u' ') --e;
    return text.substr(b, e - b);
}

Text Decimal(long long value) {
    std::string s = std::to_string(value);
    return Text(s.begin(), s.end());
}

std::optional<double> ReadNumber(TextView text) {
    std::size_t nul = text.find(u'\0');
    if (nul != TextView::npos) text = text.substr(0, nul);
    text = TrimSpaces(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::string digits;
    bool point = false, any = false;
    for (; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            digits += static_cast<char>(c);
            any = true;
        } else if (c == u'.' && !point) {
            digits += '.';
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!any) return std::nullopt;
    // from_chars reads "." whatever the locale says; a trailing point is
    // left unread, which changes nothing
    double v = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (ec == std::errc::result_out_of_range) {
        // as strtod: infinity above the range of a double, zero below it
        bool big = digits.find_first_not_of("0.") < digits.find('.');
        v = big ? HUGE_VAL : 0.0;
    }
    return negative ? -v : v;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);  // the default rounding mode: to nearest, ties to even
}

}  // namespace mushaf
