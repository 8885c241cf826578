#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The names of the data sources on the command line (--source, tbm sources) and
// the item kinds they stand for.
struct TbmSourceName
{
    const char* name;
    std::uint32_t kind;
    const char* description;
};

class CTbmSourceNames
{
public:
    // In the order tbm sources lists them.
    static const std::vector<TbmSourceName>& All();
    static std::optional<std::uint32_t> KindOf(const std::string& name);
    static const char* NameOf(std::uint32_t kind);
    // "myfiles, favorites, ..." for messages.
    static std::string List();
};
