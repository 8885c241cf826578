#pragma once

#include <string>
#include <string_view>

// Text conversions of CIniFile, independent of the locale so that a file reads the
// same wherever it was written.

// Leading blanks, an optional sign and decimal digits, as atoi reads them, but clamped
// to the int range instead of overflowing; 0 without digits.
int TvIniParseInt(std::string_view text);

// Leading blanks, then the longest floating-point number ("." as decimal point,
// optional exponent of any width); 0 when there is none or it is out of range.
double TvIniParseDouble(std::string_view text);

// printf "%e" with at least three exponent digits: 0.5 -> "5.000000e-001".
std::string TvIniFormatDouble(double value);

// Whether the entry survives a write and a read unchanged (see CIniFile::SetValue).
bool TvIniIsStorable(std::string_view keyName, std::string_view valueName, std::string_view value);
