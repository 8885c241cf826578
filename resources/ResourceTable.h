#pragma once

// Layout of the data table that every resource library (TextRes, PageRes) exports
// under the symbol kResourceTableSymbol. The libraries hold data only; the loader
// finds the table with dlsym and reads it.

#include <cstddef>

extern "C" {

// Resource types by number, as the resource compilers number them.
enum TbmResourceType : unsigned {
    kResTypeCustom = 0, // type given by name in typeName
    kResTypeDialog = 5,
    kResTypeString = 6,
    kResTypeHtml = 23,
};

struct TbmResourceEntry
{
    unsigned type;            // a TbmResourceType
    const char* typeName;     // for kResTypeCustom, else nullptr
    unsigned id;              // number of a numbered resource (texts, dialogs), else 0
    const char* name;         // name of a named resource (pages), else nullptr
    const unsigned char* data;
    std::size_t size;
};

struct TbmResourceTable
{
    unsigned magic;   // kResourceTableMagic
    unsigned version; // kResourceTableVersion
    std::size_t count;
    const TbmResourceEntry* entries;
};

} // extern "C"

constexpr unsigned kResourceTableMagic = 0x53455254; // "TRES"
constexpr unsigned kResourceTableVersion = 1;
constexpr const char* kResourceTableSymbol = "tbm_resource_table";
