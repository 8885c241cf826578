#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tbmtest {

// One value of an info object: direct (three bytes held in the index entry) or
// indirect (bytes in the body's data).
struct Dbx5Field
{
    std::uint8_t index = 0;
    bool direct = false;
    std::uint32_t number = 0; // direct values
    std::string data;         // indirect values

    static Dbx5Field Direct(std::uint8_t index, std::uint32_t number);
    static Dbx5Field Number(std::uint8_t index, std::uint32_t number);
    static Dbx5Field Text(std::uint8_t index, const std::string& text); // zero added
};

// Builds folder index files ("Folders.dbx") for the tests and the fuzz seeds: the
// header, the folder tree as nodes of up to `entriesPerNode` entries (more values make
// more levels), and one info object per folder. Offsets of what was laid out are kept,
// so a test can damage exactly one field of a valid file.
class Dbx5Builder
{
public:
    explicit Dbx5Builder(unsigned entriesPerNode = 51) : m_perNode(entriesPerNode) {}

    // A folder with the usual fields: index (direct), parent (indirect, left out when
    // -1), name, dbx file name (left out when empty) and message count.
    static std::vector<Dbx5Field> Folder(std::int32_t index, std::int32_t parent,
                                         const std::string& name, const std::string& dbx,
                                         std::uint32_t messages = 0);

    void Add(std::vector<Dbx5Field> fields) { m_folders.push_back(std::move(fields)); }
    // The whole file; nodes are laid out after the info objects unless `nodesFirst`.
    std::string Build(bool nodesFirst = false);

    // Filled by Build: nodes in walk order (the root first), objects in value order.
    std::vector<std::uint32_t> m_nodes;
    std::vector<std::uint32_t> m_objects;

    static void PutU32(std::string& file, std::uint32_t at, std::uint32_t value);
    static void PutU8(std::string& file, std::uint32_t at, std::uint8_t value);
    static std::uint32_t GetU32(const std::string& file, std::uint32_t at);

private:
    struct Node;
    std::string Object(const std::vector<Dbx5Field>& fields, std::uint32_t at) const;

    unsigned m_perNode;
    std::vector<std::vector<Dbx5Field>> m_folders;
};

} // namespace tbmtest
