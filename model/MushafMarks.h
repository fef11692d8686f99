#pragma once
// What a printed mushaf marks beside the text: where each hizb quarter
// begins, the ayat of prostration, and each surah's place and order of
// revelation. Read once from their tables; plain C++.
#include <cstdint>
#include <optional>
#include <vector>

#include "model/cQ114.h"
#include "platform/TableSource.h"

namespace mushaf {

class MushafMarks {
public:
    enum class Sajda { None, Recommended, Obligatory };
    enum class Revelation { Meccan, Medinan };

    // The tables, one number (or "LINE KIND") per line; a table that is not
    // sound throws ModelError naming it, and the marks stay as they were.
    void QuarterUnicArray(const TextArray& a);
    void SajdaArray(const TextArray& a);
    void PlaceArray(const TextArray& a);  // "1" Medinan, "0" Meccan, per surah
    void RevelationOrderArray(const TextArray& a);

    int QuarterCount() const { return static_cast<int>(quarterFirst_.size()); }
    // The first line of hizb quarter q, 1 to QuarterCount() (the Bismillah
    // line where it begins with ayah 1); SubscriptOutOfRange outside.
    int16_t QuarterFirstLine(int q) const;
    // The quarter `line` stands in, 1 to QuarterCount(); 0 before the first.
    int QuarterOf(int16_t line) const;
    // The quarter whose first line `line` is, or 0.
    int QuarterStartingAt(int16_t line) const;

    Sajda SajdaAt(int16_t line) const;
    struct SajdaPlace {
        int16_t line;
        Sajda kind;
    };
    const std::vector<SajdaPlace>& Sajdas() const { return sajdas_; }

    // Surah s counted from 1; SubscriptOutOfRange outside the tables.
    Revelation RevelationOf(int soreh) const;
    int RevelationOrder(int soreh) const;
    int SorehCount() const { return static_cast<int>(medinan_.size()); }

private:
    std::vector<int16_t> quarterFirst_;
    std::vector<SajdaPlace> sajdas_;
    std::vector<bool> medinan_;
    std::vector<int16_t> revelationOrder_;
};

// The marks from the QUARTERUNIC, SAJDA, MM and SR_TNOOZOOL tables.
MushafMarks LoadMushafMarks(const TableSource& tables);

}  // namespace mushaf
