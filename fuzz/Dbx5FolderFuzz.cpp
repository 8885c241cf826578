// Reads arbitrary bytes as a mail store's folder index ("Folders.dbx") and fills the
// mail folder tree: every folder read must be shown exactly once, with its tag.
#include "CheckTreeModel.h"
#include "DataSource.h"
#include "Dbx5FolderReader.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The reader opens a path, so the input goes into a memory file named through /proc.
int InputFile()
{
    static const int fd = memfd_create("Folders.dbx", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    return fd;
}

std::size_t CountBelow(const CCheckTreeModel& tree, TvTreeItem item)
{
    std::size_t count = 0;
    for (TvTreeItem next = tree.GetNextItemEx(item); next; next = tree.GetNextItemEx(next))
        ++count;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = InputFile();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    CDataSource tags;
    CDbx5FolderReader reader;
    reader.SetPaths("/proc/self/fd/" + std::to_string(fd), "/nonexistent-store", &tags);
    CCheckTreeModel tree;
    if (!reader.Read(&tree, {}, true)) {
        if (!reader.GetFolders().empty() || tree.GetCount() != 0)
            std::abort();
        return 0;
    }
    const std::size_t folders = reader.GetFolders().size();
    if (tree.GetCount() != folders + 1 || CountBelow(tree, tree.GetRootItem()) != folders ||
        tags.GetTagCount() != folders)
        std::abort();
    return 0;
}
