#pragma once

#include "RegTypes.h"

#include <string_view>
#include <vector>

// Copying results into the callers' buffers with the Windows size rules.

// Copies a name and its terminating zero into name[*size]. On success *size is the
// name's length without the zero; when the buffer is too small the result is
// ERROR_MORE_DATA, *size the size needed and the buffer untouched.
LONG TvRegCopyName(std::string_view source, char* name, DWORD* size);

// Copies data into data[*size]; a null `data` only reports the size. On
// ERROR_MORE_DATA *size is the size needed and the buffer is untouched.
LONG TvRegCopyData(const std::vector<BYTE>& source, BYTE* data, DWORD* size);
