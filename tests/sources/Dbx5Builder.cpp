#include "Dbx5Builder.h"

#include <limits>

namespace tbmtest {

namespace {

constexpr std::uint32_t kHeaderSize = 0x24BC;
constexpr std::uint32_t kNodeSize = 0x27C;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

} // namespace

Dbx5Field Dbx5Field::Direct(std::uint8_t index, std::uint32_t number)
{
    return {index, true, number, {}};
}

Dbx5Field Dbx5Field::Number(std::uint8_t index, std::uint32_t number)
{
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<char>(number >> (8 * i));
    return {index, false, 0, data};
}

Dbx5Field Dbx5Field::Text(std::uint8_t index, const std::string& text)
{
    return {index, false, 0, text + std::string(1, '\0')};
}

std::vector<Dbx5Field> Dbx5Builder::Folder(std::int32_t index, std::int32_t parent,
                                           const std::string& name, const std::string& dbx,
                                           std::uint32_t messages)
{
    std::vector<Dbx5Field> fields{Dbx5Field::Direct(0x00, static_cast<std::uint32_t>(index))};
    if (parent != -1)
        fields.push_back(Dbx5Field::Number(0x01, static_cast<std::uint32_t>(parent)));
    fields.push_back(Dbx5Field::Text(0x02, name));
    if (!dbx.empty())
        fields.push_back(Dbx5Field::Text(0x03, dbx));
    fields.push_back(Dbx5Field::Number(0x07, messages));
    return fields;
}

struct Dbx5Builder::Node
{
    struct Entry
    {
        std::size_t value = 0;
        std::size_t child = kNone;
    };
    std::size_t leading = kNone;
    std::size_t values = 0; // in the whole subtree
    std::vector<Entry> entries;
};

namespace {

// Values [first, first + count) in order: a leaf when they fit one node, else as many
// entries as fit with the rest spread over the leading child and the entries' children.
template <typename Node>
std::size_t Plan(std::vector<Node>& nodes, std::size_t first, std::size_t count, unsigned perNode)
{
    const std::size_t id = nodes.size();
    nodes.emplace_back();
    nodes[id].values = count;
    const std::size_t entries = count < perNode ? count : perNode;
    const std::size_t rest = count - entries;
    const std::size_t parts = entries + 1;
    const auto partSize = [&](std::size_t part) {
        return rest / parts + (part < rest % parts ? 1 : 0);
    };
    std::size_t next = first;
    if (const std::size_t size = partSize(0); size > 0) {
        const std::size_t child = Plan(nodes, next, size, perNode);
        nodes[id].leading = child;
        next += size;
    }
    for (std::size_t e = 0; e < entries; ++e) {
        typename Node::Entry entry{next++, kNone};
        if (const std::size_t size = partSize(e + 1); size > 0) {
            entry.child = Plan(nodes, next, size, perNode);
            next += size;
        }
        nodes[id].entries.push_back(entry);
    }
    return id;
}

} // namespace

std::string Dbx5Builder::Object(const std::vector<Dbx5Field>& fields, std::uint32_t at) const
{
    std::string index;
    std::string data;
    for (const Dbx5Field& field : fields) {
        const std::uint32_t entry =
            field.direct ? (field.index | 0x80u | field.number << 8)
                         : (field.index | static_cast<std::uint32_t>(data.size()) << 8);
        index.append(4, '\0');
        PutU32(index, static_cast<std::uint32_t>(index.size() - 4), entry);
        if (!field.direct)
            data += field.data;
    }
    std::string object(12, '\0');
    PutU32(object, 0, at);
    PutU32(object, 4, static_cast<std::uint32_t>(index.size() + data.size()));
    PutU8(object, 10, static_cast<std::uint8_t>(fields.size()));
    return object + index + data;
}

std::string Dbx5Builder::Build(bool nodesFirst)
{
    std::vector<Node> nodes;
    Plan(nodes, 0, m_folders.size(), m_perNode);
    std::vector<std::string> objects;
    std::uint32_t objectBytes = 0;
    for (const auto& fields : m_folders) {
        objects.push_back(Object(fields, 0));
        objectBytes += static_cast<std::uint32_t>(objects.back().size());
    }
    const auto nodeBytes = static_cast<std::uint32_t>(nodes.size() * kNodeSize);
    const std::uint32_t nodeStart = nodesFirst ? kHeaderSize : kHeaderSize + objectBytes;
    std::uint32_t objectAt = nodesFirst ? kHeaderSize + nodeBytes : kHeaderSize;

    std::string file(kHeaderSize + nodeBytes + objectBytes, '\0');
    m_objects.clear();
    for (std::size_t i = 0; i < m_folders.size(); ++i) {
        m_objects.push_back(objectAt);
        file.replace(objectAt, objects[i].size(), Object(m_folders[i], objectAt));
        objectAt += static_cast<std::uint32_t>(objects[i].size());
    }
    m_nodes.clear();
    for (std::size_t i = 0; i < nodes.size(); ++i)
        m_nodes.push_back(nodeStart + static_cast<std::uint32_t>(i * kNodeSize));
    std::vector<std::uint32_t> parents(nodes.size(), 0);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const std::uint32_t at = m_nodes[i];
        const Node& node = nodes[i];
        PutU32(file, at, at);
        PutU32(file, at + 0x0C, parents[i]);
        PutU8(file, at + 0x11, static_cast<std::uint8_t>(node.entries.size()));
        if (node.leading != kNone) {
            parents[node.leading] = at;
            PutU32(file, at + 0x08, m_nodes[node.leading]);
            PutU32(file, at + 0x14, static_cast<std::uint32_t>(nodes[node.leading].values));
        }
        for (std::size_t e = 0; e < node.entries.size(); ++e) {
            const auto entryAt = static_cast<std::uint32_t>(at + 0x18 + 12 * e);
            PutU32(file, entryAt, m_objects[node.entries[e].value]);
            if (const std::size_t child = node.entries[e].child; child != kNone) {
                parents[child] = at;
                PutU32(file, entryAt + 4, m_nodes[child]);
                PutU32(file, entryAt + 8, static_cast<std::uint32_t>(nodes[child].values));
            }
        }
    }
    PutU32(file, 0xCC, static_cast<std::uint32_t>(m_folders.size()));
    PutU32(file, 0xEC, m_nodes.front());
    return file;
}

void Dbx5Builder::PutU32(std::string& file, std::uint32_t at, std::uint32_t value)
{
    for (std::uint32_t i = 0; i < 4; ++i)
        file[at + i] = static_cast<char>(value >> (8 * i));
}

void Dbx5Builder::PutU8(std::string& file, std::uint32_t at, std::uint8_t value)
{
    file[at] = static_cast<char>(value);
}

std::uint32_t Dbx5Builder::GetU32(const std::string& file, std::uint32_t at)
{
    std::uint32_t value = 0;
    for (std::uint32_t i = 4; i > 0; --i)
        value = value << 8 | static_cast<unsigned char>(file[at + i - 1]);
    return value;
}

} // namespace tbmtest
