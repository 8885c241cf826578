#pragma once

#include "RegTypes.h"
#include "RegValue.h"

#include <string>
#include <vector>

// One change that a registry file asks for. Every operation names its key in full, so
// a list of them can be checked whole before anything is applied.
struct TvRegOperation
{
    enum class Kind
    {
        CreateKey,   // [Key]: the key and every missing key above it
        DeleteKey,   // [-Key]: the key with everything below it
        SetValue,    // "name"=data
        DeleteValue, // "name"=-
    };

    Kind kind = Kind::CreateKey;
    HKEY root = nullptr;
    std::string path;
    TvRegValue value; // name for the value operations; type and data for SetValue
};

// The contents of one key, for an export: its path below the exported key ("" for
// that key itself, else "\Sub\Sub2" with the names as stored) and its values.
struct TvRegKeyContent
{
    std::string relativePath;
    std::vector<TvRegValue> values;
};
