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
// UTF-8 as UTF-16. Bytes that are no well-formed UTF-8 (overlong forms,
// surrogates, past U+10FFFF, cut short, stray) become U+FFFD, one for each
// longest start of a sequence.
Text FromUtf8(std::string_view utf8);
// The same for input that must be well formed: no value, with the offset of
// the first bad byte in *badAt, when any byte is not.
std::optional<Text> FromUtf8Checked(std::string_view utf8, std::size_t* badAt = nullptr);
inline Text operator""_t(const char* s, std::size_t n) { return FromUtf8(std::string_view(s, n)); }

// Replaces every occurrence of `what` (exact code units), left to right.
void ReplaceAll(Text& text, TextView what, TextView with);
Text Replaced(Text text, TextView what, TextView with);
std::vector<Text> Split(TextView text, TextView separator);
// Removes leading and trailing U+0020 only.
TextView TrimSpaces(TextView text);
// The text without any U+0000: the tables end their last line with one, which
// the model keeps; a document, caption or clipboard text for a reader does not.
Text WithoutNul(TextView text);
Text Decimal(long long value);
// A Persian (U+06F0..U+06F9) or Arabic-Indic (U+0660..U+0669) digit as its
// digit 0-9; any other character as it is. The reader takes digits of every
// script wherever it takes a number.
char16_t AsciiDigit(char16_t c);
Text AsciiDigits(TextView text);
// 0-9 in a text as Persian digits, for a number in Persian prose.
Text PersianDigits(TextView text);
// A number in Persian digits.
Text PersianDecimal(long long value);
// Text as HTML shows it: & < > " ' escaped.
Text HtmlText(TextView text);

// Reads a decimal number: surrounding spaces, an optional sign, digits with
// an optional decimal point (always ".", whatever the C locale says). Reading stops at the first U+0000, so a table
// element "5747" followed by U+0000 reads as 5747. Anything else: no value.
std::optional<double> ReadNumber(TextView text);
// The nearest whole number, halves going to the even neighbour.
double RoundHalfEven(double value);

}  // namespace mushaf
