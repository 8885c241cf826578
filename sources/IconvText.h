#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Converts text between two code sets known to iconv. A character the target cannot
// hold, and input that is no valid text in its code set, each become `replacement`
// (given in the target code set) and set `replaced`; bad input is skipped one code
// unit (`unitSize` bytes: 2 for UTF-16, 1 otherwise) at a time, a character the target
// lacks as a whole. Nothing when iconv does not know one of the code sets.
std::optional<std::string> IconvConvert(std::string_view input, const std::string& from,
                                        const std::string& to, std::string_view replacement,
                                        std::size_t unitSize, bool& replaced);
