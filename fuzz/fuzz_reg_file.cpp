// Parses arbitrary bytes as a registry file and imports what parses into a registry
// of its own. Whatever an import puts into the store must export, and the export must
// import into an empty registry to the same export again.
#include "RegApi.h"
#include "RegExporter.h"
#include "RegFileError.h"
#include "RegImporter.h"
#include "RegistryStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                  "HKEY_USERS"};

// A registry file in a folder of its own below the temporary folder, never the user's.
void UsePrivateRegistry()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_reg_file.XXXXXX";
    if (!mkdtemp(folder.data()))
        std::abort();
    setenv("TBM_REGISTRY", (folder + "/registry.sqlite").c_str(), 1);
    CRegistryStore::Reset();
}

void ClearRoots()
{
    for (const HKEY root : kRoots)
        TvRegDeleteTree(root, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool ready = (UsePrivateRegistry(), true);
    (void)ready;
    ClearRoots();
    try {
        CRegImporter::ImportBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const CRegFileError&) {
        return 0;
    }
    for (int i = 0; i < 4; ++i) {
        std::string first;
        std::string second;
        try {
            first = CRegExporter::ExportKey(kRootNames[i]);
            TvRegDeleteTree(kRoots[i], nullptr);
            CRegImporter::ImportBytes(first);
            second = CRegExporter::ExportKey(kRootNames[i]);
        } catch (const CRegFileError&) {
            std::abort(); // what an import stored must export and import again
        }
        if (first != second)
            std::abort();
    }
    return 0;
}
