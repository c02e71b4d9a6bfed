#pragma once
// Numbers in settings files: written in the general text form with a leading blank when not
// negative (" 500", "-3", " 1.5"), read back by taking the longest leading number and
// rounding it to the nearest integer, halves to even.
#include <QString>
#include <cstdint>
#include <optional>

namespace vexil {

// The longest leading number of `text` (blanks before it skipped): sign, digits, decimal
// point, exponent ("E" or "D"). 0 when the text starts with no number; nothing when the
// number is too large to hold.
std::optional<double> leadingNumber(const QString& text);

// `value` rounded to the nearest integer, halves to even; nothing when the result does not
// fit in 16 bits.
std::optional<std::int16_t> roundToInt16(double value);

// " 500", "-3", " 1.5", " 1E+20"; always a text that reads back as `value`.
QString numberText(double value);

}  // namespace vexil
