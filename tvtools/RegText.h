#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The case fold of a key or value name: every letter in upper case, for all scripts
// the C library knows (Latin, Greek, Cyrillic and the rest), so "Ärger" and "ärger"
// name the same key. Bytes that are not valid UTF-8 are kept as they are.
std::string TvRegFoldName(std::string_view name);

// Number of characters (Unicode code points) in UTF-8 text. A byte that does not start
// a valid sequence counts as one character of its own, so the count never falls below
// a quarter of the byte count.
std::size_t TvUtf8CharCount(std::string_view text);
