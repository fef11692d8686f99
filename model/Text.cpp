#include "model/Text.h"

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

namespace {
// The well-formed sequence at s[i]: its length, with its code point in c; or
// 0, with `bad` the length of the longest start of a well-formed sequence
// there (at least 1). Overlong forms, surrogates and values past U+10FFFF
// are not well formed.
std::size_t DecodeOne(std::string_view s, std::size_t i, char32_t& c, std::size_t& bad) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    bad = 1;
    if (b < 0x80) {
        c = b;
        return 1;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (b >= 0xC2 && b <= 0xDF) length = 2, c = b & 0x1F;
    else if (b >= 0xE0 && b <= 0xEF) length = 3, c = b & 0x0F, low = b == 0xE0 ? 0xA0 : 0x80, high = b == 0xED ? 0x9F : 0xBF;
    else if (b >= 0xF0 && b <= 0xF4) length = 4, c = b & 0x07, low = b == 0xF0 ? 0x90 : 0x80, high = b == 0xF4 ? 0x8F : 0xBF;
    else return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k >= s.size()) return 0;
        const unsigned char next = static_cast<unsigned char>(s[i + k]);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return 0;
        c = (c << 6) | (next & 0x3F);
        bad = k + 1;
    }
    return length;
}

void AppendCodePoint(Text& out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}
}  // namespace

namespace {
// Decodes s; a malformed part becomes U+FFFD, or with `stopAt` ends the
// decoding there (its offset in *stopAt) with no value.
std::optional<Text> Decode(std::string_view s, std::size_t* stopAt, bool stop) {
    Text out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t c;
        std::size_t bad;
        std::size_t n = DecodeOne(s, i, c, bad);
        if (n == 0) {
            if (stop) {
                if (stopAt) *stopAt = i;
                return std::nullopt;
            }
            out += u'\uFFFD';
            i += bad;
        } else {
            AppendCodePoint(out, c);
            i += n;
        }
    }
    return out;
}
}  // namespace

Text FromUtf8(std::string_view s) { return *Decode(s, nullptr, false); }

std::optional<Text> FromUtf8Checked(std::string_view s, std::size_t* badAt) { return Decode(s, badAt, true); }

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

char16_t AsciiDigit(char16_t c) {
    if (c >= 0x06F0 && c <= 0x06F9) return static_cast<char16_t>(u'0' + (c - 0x06F0));
    if (c >= 0x0660 && c <= 0x0669) return static_cast<char16_t>(u'0' + (c - 0x0660));
    return c;
}

Text AsciiDigits(TextView text) {
    Text out(text);
    for (char16_t& c : out) c = AsciiDigit(c);
    return out;
}

Text PersianDigits(TextView text) {
    Text out(text);
    for (char16_t& c : out)
        if (c >= u'0' && c <= u'9') c = static_cast<char16_t>(0x06F0 + (c - u'0'));
    return out;
}

Text WithoutNul(TextView text) {
    Text out;
    out.reserve(text.size());
    for (char16_t c : text)
        if (c != 0) out += c;
    return out;
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

Text PersianDecimal(long long value) { return PersianDigits(Decimal(value)); }

Text HtmlText(TextView text) {
    Text out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'&': out += u"&amp;"; break;
            case u'<': out += u"&lt;"; break;
            case u'>': out += u"&gt;"; break;
            case u'"': out += u"&quot;"; break;
            case u'\'': out += u"&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace mushaf
