#pragma once

#include <string>
#include <string_view>

// Case folding for names the user sees (job names, identity names, file names):
// two names that differ only in letter case are the same name. Works on UTF-8 text;
// folds ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic capitals, which covers
// the names people type. Bytes that are not valid UTF-8 are kept as they are, so
// folding never loses or invents text.
std::string FoldCase(std::string_view text);

// True when the two texts are equal after folding.
bool EqualsNoCase(std::string_view a, std::string_view b);
