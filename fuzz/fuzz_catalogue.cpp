// Reads arbitrary bytes as the engine's catalogue files: "treeobj.tdat" (catalogue
// items), a per-source ".tdat" (file entries) and "ProjectData.xdat" (a job). What
// reads must write back to bytes that read to the same values.
#include "AddInfo.h"
#include "BackupTreeItem.h"
#include "CatalogueFile.h"
#include "ProjectData.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

template <class T> Bytes Rewrite(const std::vector<std::unique_ptr<T>>& objects)
{
    CObjectWriter out;
    out.WriteObjects(objects);
    return out.GetBytes();
}

// A catalogue that reads writes a canonical form that reads to itself.
template <class T> void Catalogue(const Bytes& bytes)
{
    std::vector<std::unique_ptr<T>> objects;
    try {
        objects = CCatalogueFile::Parse<T>(bytes);
    } catch (const CObjectStreamError&) {
        return;
    }
    const Bytes once = Rewrite(objects);
    const Bytes twice = Rewrite(CCatalogueFile::Parse<T>(once));
    if (once != twice)
        std::abort();
}

void JobFile(const Bytes& bytes)
{
    CProjectData job;
    try {
        job.FromBytes(bytes);
    } catch (const CObjectStreamError&) {
        return;
    }
    const Bytes once = job.ToBytes();
    CProjectData again;
    again.FromBytes(once);
    if (again.ToBytes() != once)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    Catalogue<CBackupTreeItem>(bytes);
    Catalogue<CAddInfo>(bytes);
    JobFile(bytes);
    return 0;
}
