// Adds a folder tree to a new archive with CZipContainer (one thread, level 6),
// as the backup engine does, and prints the seconds it took.
#include "ZipContainer.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER ARCHIVE\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path root = fs::absolute(argv[1]);
    const auto start = std::chrono::steady_clock::now();
    CZipContainer zip;
    zip.SetBuffers(1500000, 65536, 32768);
    zip.Open(argv[2], CZipContainer::ArcCreate);
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        CZipAddInfo info;
        info.m_path = item.path().string();
        info.m_nameInArchive = fs::relative(item.path(), root.parent_path()).string();
        info.m_level = 6;
        if (!zip.AddNewFile(info))
            std::fprintf(stderr, "skipped %s\n", info.m_path.c_str());
    }
    zip.Close();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", took.count());
    return 0;
}
