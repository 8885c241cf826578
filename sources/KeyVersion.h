#pragma once

#include <string>

// The number a version sub-key stands for: its leading digits ("9.0" is 9, "5.0"
// is 5); names without them count 0. Capped, so no name overflows.
int KeyVersionOf(const std::string& name);
