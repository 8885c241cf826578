// Untrusted archives read end to end: opened, listed, looked up, tested and
// extracted into a private temporary folder, without and with a password. Every
// failure must be a CZipException; memory and output stay bounded because a
// progress callback stops any entry after a few megabytes.
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipMemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class CBoundedCallback : public CZipProgressCallback
{
public:
    bool Callback(int) override { return m_processed < (4u << 20); }
};

const std::string& Folder()
{
    static const std::string folder = [] {
        std::string templ = std::filesystem::temp_directory_path().string() + "/fuzzzipXXXXXX";
        if (!mkdtemp(templ.data()))
            std::abort();
        return templ;
    }();
    return folder;
}

void Exercise(CZipContainer& zip, bool extract)
{
    for (int i = 0; i < static_cast<int>(zip.GetCount()) && i < 64; ++i) {
        try {
            CZipEntryHeader info;
            zip.GetFileInfo(info, i);
            zip.FindFile(info.m_fileName);
            zip.FindFile(info.m_fileName, 2, true);
            zip.TestFile(i, 4096);
            if (extract)
                zip.ExtractFile(i, Folder(), true, {}, 4096);
        } catch (const CZipException&) {
        }
        if (zip.GetEntryState() != 0)
            std::abort(); // a failed entry must never stay open
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 20)
        return 0;
    CBoundedCallback callback;
    for (const char* password : {"", "pw"}) {
        CZipMemoryFile memory;
        memory.Write(data, static_cast<std::uint32_t>(size));
        try {
            CZipContainer zip;
            zip.SetBuffers(1024, 1024, 1024);
            zip.SetCallback(&callback);
            zip.Open(memory, CZipContainer::ArcOpenReadOnly);
            zip.SetPassword(password);
            Exercise(zip, *password == '\0');
            zip.Close();
        } catch (const CZipException&) {
        }
    }
    std::error_code ignored;
    for (const auto& child : std::filesystem::directory_iterator(Folder(), ignored))
        std::filesystem::remove_all(child.path(), ignored);
    return 0;
}
