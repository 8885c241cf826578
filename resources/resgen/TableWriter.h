#pragma once

#include <string>
#include <vector>

// Writes the C++ source of a resource library: one byte array per resource and
// the exported table "tbm_resource_table" (layout in ResourceTable.h) that the
// loader finds with dlsym.
class CTableWriter
{
public:
    void AddText(unsigned id, const std::string& bytes);
    void AddPage(const std::string& name, const std::string& bytes);

    // The whole generated file; `sourceName` is named in its header comment.
    std::string Generate(const std::string& sourceName) const;

private:
    struct Item
    {
        unsigned type;
        unsigned id;
        std::string name;
        std::string bytes;
    };

    static void WriteArray(std::string& out, std::size_t index, const std::string& bytes);
    static void WriteEntry(std::string& out, std::size_t index, const Item& item);

    std::vector<Item> m_items;
};
