#pragma once

#include <string>
#include <string_view>

// Conversions between the registry store's texts (UTF-8) and the UTF-16 of registry
// files. Stored bytes that are not valid UTF-8 travel as the lone surrogates
// U+DC80..U+DCFF (one per byte), so whatever a key holds comes back byte for byte
// after an export and an import.

std::u16string RegUtf8ToUtf16(std::string_view text);

// The reverse of RegUtf8ToUtf16. A lone surrogate outside U+DC80..U+DCFF, which no
// export of ours writes, becomes its three-byte form.
std::string RegUtf16ToUtf8(std::u16string_view text);

bool RegIsValidUtf8(std::string_view text);

// Windows-1252 ("ANSI" of Western Windows) to UTF-8. The five bytes the code page
// leaves undefined map to the control characters of the same number, as Windows does.
std::string RegWindows1252ToUtf8(std::string_view bytes);

// UTF-16 text as little-endian bytes, and bytes (an even number) back to text.
std::string RegUtf16ToBytes(std::u16string_view text);
std::u16string RegBytesToUtf16(std::string_view bytes, bool bigEndian = false);
