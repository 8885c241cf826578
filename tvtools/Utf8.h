#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Length of the valid UTF-8 sequence at text[pos] and its code point; 0 when the bytes
// there do not form one (overlong forms, surrogates and values past U+10FFFF included).
std::size_t TvDecodeUtf8At(std::string_view text, std::size_t pos, char32_t& cp);

// Appends the UTF-8 form of a code point.
void TvAppendUtf8(std::string& out, char32_t cp);
