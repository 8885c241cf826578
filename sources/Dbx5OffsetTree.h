#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

class CDbx5InputFile;

// The folder tree of the index: nodes of up to 51 entries, each entry a value (the
// offset of a folder's info object) and a child node, every node with a leading child
// before its entries. Read walks it in order and lists the value offsets, checking
// each node's marker, parent, entry count and the value counts it announces.
//
// Damaged files cannot make it run away: the list grows only with values actually
// found and never beyond the count the header announced, each node is read at most
// once (a node listed twice by its parent would repeat its whole subtree), each value
// is listed once (a folder listed again would be read again, body and all) and the
// walk goes no deeper than kMaxDepth. After a throw the offsets found before the
// fault stay listed, in order.
class CDbx5OffsetTree
{
public:
    static constexpr std::uint32_t kNodeSize = 0x27C;
    static constexpr unsigned kMaxEntries = 0x33;
    // Far beyond any real tree: 51 entries a node make a few levels hold thousands.
    static constexpr unsigned kMaxDepth = 64;

    // Throws CDbx5Exception at the first fault.
    void Read(const CDbx5InputFile& file, std::uint32_t rootOffset, std::uint32_t valueCount);
    const std::vector<std::uint32_t>& GetOffsets() const { return m_offsets; }

private:
    struct CNode;

    void ReadNode(std::uint32_t offset, std::uint32_t parent, std::uint64_t start,
                  std::uint64_t expected, unsigned depth);
    CNode LoadNode(std::uint32_t offset, std::uint32_t parent) const;

    const CDbx5InputFile* m_pFile = nullptr;
    std::uint64_t m_room = 0;
    std::vector<std::uint32_t> m_offsets;
    std::unordered_set<std::uint32_t> m_visited;
    std::unordered_set<std::uint32_t> m_listed;
};
