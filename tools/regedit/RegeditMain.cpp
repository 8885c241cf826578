// regedit: writes registry keys to registry files and imports such files, over the
// program's registry store. The program starts it with "-e FILE KEY" and "-s FILE";
// users may run it by hand.
#include "RegExporter.h"
#include "RegFileError.h"
#include "RegImporter.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "Usage: regedit -e FILE KEY   write KEY and all its sub-keys to the registry file FILE\n"
    "       regedit -s FILE       import the registry file FILE without asking\n"
    "\n"
    "KEY is a full key path such as \"HKEY_CURRENT_USER\\Software\\Tovan-Soft\"; the roots\n"
    "are HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT and HKEY_USERS (or\n"
    "HKCU, HKLM, HKCR, HKU). Exports are UTF-16 files of \"Windows Registry Editor\n"
    "Version 5.00\"; imports read that form and \"REGEDIT4\". An import changes all or\n"
    "nothing. The registry is the file named by TBM_REGISTRY, else the user's own.\n"
    "\n"
    "Exit status: 0 success, 1 failure (reason on standard error), 2 usage error.\n";

int Usage(const char* problem)
{
    std::fprintf(stderr, "regedit: %s\n", problem);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

int Fail(const std::string& file, const CRegFileError& error)
{
    if (error.Line() > 0)
        std::fprintf(stderr, "regedit: %s:%u: %s\n", file.c_str(), error.Line(), error.what());
    else
        std::fprintf(stderr, "regedit: %s\n", error.what());
    return kExitFailure;
}

int Run(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "-h" || command == "--help") {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (command == "-e" && argc == 4) {
        try {
            CRegExporter::ExportToFile(argv[2], argv[3]);
        } catch (const CRegFileError& error) {
            return Fail(argv[2], error);
        }
        return kExitSuccess;
    }
    if (command == "-s" && argc == 3) {
        try {
            CRegImporter::ImportFile(argv[2]);
        } catch (const CRegFileError& error) {
            return Fail(argv[2], error);
        }
        return kExitSuccess;
    }
    if (command == "-e" || command == "-s")
        return Usage(command == "-e" ? "-e needs a file and a key" : "-s needs one file");
    return Usage(command.empty() ? "no command given" : "unknown command");
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("regedit: out of memory\n", stderr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "regedit: %s\n", error.what());
    }
    return kExitFailure;
}
