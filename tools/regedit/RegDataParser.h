#pragma once

#include "RegFileText.h"
#include "RegTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the data part of a value line (the text after "=") asks for.
struct TvRegValueData
{
    bool remove = false; // "-": delete the value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// The quoted text at the start of `text` (which begins with a double quote), with
// "\\" and "\"" unescaped; any other "\" stays as it is. `end` gets the position after
// the closing quote. Nothing when the closing quote is missing.
std::optional<std::string> RegParseQuoted(std::string_view text, std::size_t& end);

// True when the data is a hex form ("hex:" or "hex(N):"), the only form that may go
// on over continuation lines.
bool RegIsHexForm(std::string_view data);

// Parses the data of a value: "-", "text", dword:XXXXXXXX, hex:.. or hex(N):.. with
// the continuation lines already joined. Texts in hex forms (types 1, 2 and 7) are
// UTF-16 in the Version 5.00 form; in the REGEDIT4 form they are UTF-16 when they look
// like it (even length, ending in the zero character that Windows stores), and ANSI
// bytes (UTF-8 or Windows-1252) otherwise. Throws CRegFileError at `line`.
TvRegValueData RegParseValueData(std::string_view text, CRegFileText::Form form, unsigned line);
