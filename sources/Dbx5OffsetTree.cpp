#include "Dbx5OffsetTree.h"

#include "Dbx5Bytes.h"
#include "Dbx5Exception.h"
#include "Dbx5InputFile.h"

#include <array>

struct CDbx5OffsetTree::CNode
{
    struct CEntry
    {
        std::uint32_t value = 0;
        std::uint32_t child = 0;
        std::uint32_t childValues = 0;
    };

    std::uint32_t leadingChild = 0;
    std::uint32_t leadingChildValues = 0;
    unsigned entryCount = 0;
    std::array<CEntry, kMaxEntries> entries{};
};

void CDbx5OffsetTree::Read(const CDbx5InputFile& file, std::uint32_t rootOffset,
                           std::uint32_t valueCount)
{
    m_pFile = &file;
    m_room = valueCount;
    m_offsets.clear();
    m_visited.clear();
    m_listed.clear();
    ReadNode(rootOffset, 0, 0, valueCount, 0);
}

// `start` is the position of the node's first value in the list, `expected` the
// number of values its subtree must hold. Sums are 64-bit: the counts come from the
// file and may be anything up to 2^32 - 1.
void CDbx5OffsetTree::ReadNode(std::uint32_t offset, std::uint32_t parent, std::uint64_t start,
                               std::uint64_t expected, unsigned depth)
{
    if (start + expected > m_room)
        throw CDbx5Exception("To many values to read !");
    if (depth >= kMaxDepth)
        throw CDbx5Exception("Tree too deep !");
    if (!m_visited.insert(offset).second)
        throw CDbx5Exception("Node read twice !");
    const CNode node = LoadNode(offset, parent);
    std::uint64_t found = 0;
    if (node.leadingChild != 0) {
        ReadNode(node.leadingChild, offset, start, node.leadingChildValues, depth + 1);
        found = node.leadingChildValues;
    }
    for (unsigned i = 0; i < node.entryCount; ++i) {
        const CNode::CEntry& entry = node.entries[i];
        if (entry.value != 0) {
            if (start + found + 1 > m_room)
                throw CDbx5Exception("To many values !");
            if (!m_listed.insert(entry.value).second)
                throw CDbx5Exception("Value listed twice !");
            // Every subtree before this value held exactly what it announced, so the
            // value's position is the next one of the list.
            m_offsets.push_back(entry.value);
            ++found;
        }
        if (entry.child != 0) {
            ReadNode(entry.child, offset, start + found, entry.childValues, depth + 1);
            found += entry.childValues;
        }
    }
    if (found != expected)
        throw CDbx5Exception("Wrong number of values found!");
}

CDbx5OffsetTree::CNode CDbx5OffsetTree::LoadNode(std::uint32_t offset, std::uint32_t parent) const
{
    std::array<std::uint8_t, kNodeSize> bytes{};
    if (!m_pFile->ReadAt(offset, bytes.data(), bytes.size()))
        throw CDbx5Exception("Error reading node from input stream !");
    if (dbx5::GetU32(&bytes[0x00]) != offset)
        throw CDbx5Exception("Wrong object marker !");
    if (dbx5::GetU32(&bytes[0x0C]) != parent)
        throw CDbx5Exception("Wrong parent !");
    CNode node;
    node.entryCount = bytes[0x11];
    if (node.entryCount > kMaxEntries)
        throw CDbx5Exception("Wrong value for entries !");
    node.leadingChild = dbx5::GetU32(&bytes[0x08]);
    node.leadingChildValues = dbx5::GetU32(&bytes[0x14]);
    for (unsigned i = 0; i < node.entryCount; ++i) {
        const std::uint8_t* entry = &bytes[0x18 + 12 * i];
        node.entries[i] = {dbx5::GetU32(entry), dbx5::GetU32(entry + 4), dbx5::GetU32(entry + 8)};
    }
    return node;
}
