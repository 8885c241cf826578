#pragma once

#include "RegValue.h"

#include <string>
#include <string_view>

// The text forms of the registry editor's files (Version 5.00), in UTF-16.

// Widest line of hexadecimal data: a line is broken after the comma that takes it to
// this column or beyond, with a "\" and the next line indented by two blanks.
inline constexpr std::size_t kRegHexLineWidth = 77;

// A name or text in double quotes, with "\" and the quote escaped by a "\".
std::u16string RegQuote(std::string_view utf8);

// One value as its line (continuation lines included), without the final line end:
// @= for the default value, "text" for an ordinary REG_SZ, dword: for four-byte
// REG_DWORDs, hex: for REG_BINARY and hex(N): for the rest. Texts in hex form are
// written as UTF-16 bytes. Throws CRegFileError for a name that holds a line break,
// which no line of the file could carry.
std::u16string RegFormatValue(const TvRegValue& value);
