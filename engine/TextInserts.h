#pragma once

#include <string>
#include <vector>

// Fills the places of a text resource ("%s", "%d") with the inserts in order, and
// writes "%%" as "%". Resource texts are data, not code: they never reach printf, so
// a text with an unexpected conversion cannot read past the arguments. Places beyond
// the inserts are left out; anything else after "%" is kept as it is.
std::string FillInserts(const std::string& text, const std::vector<std::string>& inserts);
