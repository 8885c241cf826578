#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CZipEntryHeader;

// Entries ordered by system-form name for binary search: pairs of header and
// index, kept sorted with one comparison (byte order, or ASCII case folded). Equal
// names keep index order, so a search finds the first of them as a scan would.
class CZipLookup
{
public:
    struct Pair
    {
        const CZipEntryHeader* header;
        std::size_t index;
    };
    using Headers = std::vector<std::unique_ptr<CZipEntryHeader>>;

    static int Compare(const std::string& a, const std::string& b, bool caseSensitive);
    // The name's last part, after the final separator.
    static std::string TitleOf(const std::string& name);

    bool Exists() const { return m_exists; }
    bool IsCaseSensitive() const { return m_caseSensitive; }
    const std::vector<Pair>& GetPairs() const { return m_pairs; }

    void Build(const Headers& headers, bool caseSensitive);
    void Drop();
    // Keeps the array in step with the directory (no-ops while it does not exist).
    void Rebuild(const Headers& headers);
    void Insert(const CZipEntryHeader& header, std::size_t index);
    // Removes the pair of entry `index`; `shift` lowers every greater index by 1.
    void Erase(std::size_t index, bool shift);

    // Index of the first entry whose name equals `name`; -1 when none does.
    int Find(const std::string& name) const;

private:
    bool m_exists = false;
    bool m_caseSensitive = true;
    std::vector<Pair> m_pairs;
};
