#pragma once
// Reading a fuzzer's bytes as small decisions and as texts over a fixed
// alphabet (pattern operators, the letters the search folds, marks, digits).
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/Text.h"

namespace mushaf::fuzz {

inline constexpr char16_t kAlphabet[] = {
    u'*', u'?', u'#', u'[', u']', u'!', u'-', u' ', u'1', u'5', u'a', u'.', u'\u200F',
    u'\u0627', u'\u0623', u'\u0625', u'\u0622', u'\u0626',  // alef, hamza alefs, madda, yeh hamza
    u'\u0629', u'\u0647', u'\u062A',                         // teh marbuta, heh, teh
    u'\u0643', u'\u06A9', u'\u064A', u'\u0649', u'\u06CC',   // kafs, yehs
    u'\u0646', u'\u0644', u'\u0628', u'\u0631',              // noon, lam, beh, reh
    u'\u064B', u'\u064E', u'\u0650', u'\u0652',              // marks
    u'\u0671', u'\u0670', u'\u0640', u'\u06E5', u'\u06DB',   // alef wasla, signs of the Uthmani script
};

class Input {
public:
    Input(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int16_t Int16() { return static_cast<int16_t>(Byte() | (Byte() << 8)); }
    // A text of up to `most` characters of the alphabet; its length first.
    Text Letters(std::size_t most) {
        std::size_t n = Byte() % (most + 1);
        Text t;
        for (std::size_t i = 0; i < n && !empty(); ++i) t += kAlphabet[Byte() % std::size(kAlphabet)];
        return t;
    }
    // A text that is often a number, sometimes one near a bound, sometimes not one.
    Text NumberText() {
        static const char16_t* const kOdd[] = {u"", u"x", u"-", u".", u"1e5", u"2.5", u" 3 ", u"-0", u"0.5",
                                               u"1.5", u"99999999999999999999", u"32767.5", u"\u06F1"};
        uint8_t b = Byte();
        if (b < 100) return Decimal(static_cast<int>(Byte()) - 20);
        if (b < 150) return Decimal(Int16());
        if (b < 200) return Letters(6);
        if (b == 255) return Text(u"5\0x", 3);  // a number ended by U+0000, as in the tables
        return Text(kOdd[b % std::size(kOdd)]);
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace mushaf::fuzz
