// Tests every entry of an archive with 65,536-byte chunks, as verifying a backup
// does, and prints the seconds it took. Usage: zip_test_bench ARCHIVE [PASSWORD]
#include "ZipContainer.h"
#include "ZipException.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ARCHIVE [PASSWORD]\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    int failed = 0;
    try {
        CZipContainer zip;
        zip.Open(argv[1], CZipContainer::ArcOpenReadOnly);
        if (argc > 2)
            zip.SetPassword(argv[2]);
        for (int i = 0; i < static_cast<int>(zip.GetCount()); ++i)
            failed += zip.TestFile(i, 65536) ? 0 : 1;
        zip.Close();
    } catch (const CZipException& e) {
        std::fprintf(stderr, "%s: %s\n", e.GetFileName().c_str(), e.what());
        return 1;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", took.count());
    return failed == 0 ? 0 : 1;
}
