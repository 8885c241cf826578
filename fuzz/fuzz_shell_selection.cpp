// Reads arbitrary bytes as a selection file (".tbs", "Shell.xsel"): what reads must
// write back to bytes that read to the same items.
#include "CheckTreeModel.h"
#include "FolderTree.h"
#include "ShellSelectionFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    CCheckTreeModel tree;
    CFolderTree folders(tree);
    CShellSelectionFile selection(folders);
    try {
        selection.FromBytes(bytes);
    } catch (const CObjectStreamError&) {
        return 0;
    }
    const std::vector<std::uint8_t> once = selection.ToBytes();
    CShellSelectionFile again(folders);
    again.FromBytes(once);
    if (again.ToBytes() != once)
        std::abort();
    return 0;
}
