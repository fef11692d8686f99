#pragma once
// Small helpers over UTF-16 texts: conversion, replace-all, splitting,
// trimming and reading decimal numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mushaf {

using Text = std::u16string;
using TextView = std::u16string_view;

std::string ToUtf8(TextView text);
Text FromUtf8(std::string_view utf8);
inline Text operator""_t(const char* s, std::size_t n) { return FromUtf8(std::string_view(s, n)); }

// Replaces every occurrence of `what` (exact code units), left to right.
void ReplaceAll(Text& text, TextView what, TextView with);
Text Replaced(Text text, TextView what, TextView with);
std::vector<Text> Split(TextView text, TextView separator);
// Removes leading and trailing U+0020 only.
TextView TrimSpaces(TextView text);
Text Decimal(long long value);

// Reads a decimal number: surrounding spaces, an optional sign, digits with
// an optional decimal point (always ".", whatever the C locale says). Reading stops at the first U+0000, so a table
// element "5747" followed by U+0000 reads as 5747. Anything else: no value.
std::optional<double> ReadNumber(TextView text);
// The nearest whole number, halves going to the even neighbour.
double RoundHalfEven(double value);

}  // namespace mushaf
