#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "Usage: tbm COMMAND [OPTIONS]\n"
    "\n"
    "Tovan Backup Manager on the command line.\n"
    "\n"
    "Commands:\n"
    "  backup    write a backup of the chosen files or of a saved job\n"
    "  verify    test every entry of a backup file\n"
    "  list      list the entries of a backup file\n"
    "  extract   extract entries of a backup file into a folder\n"
    "  restore   put the files of a backup back in their places\n"
    "\n"
    "Options:\n"
    "  -h, --help      show this help\n"
    "      --version   show the version\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 usage error, 3 cancelled.\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help")) {
        std::fputs(kUsage, stdout);
        return argc < 2 ? 2 : 0;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::puts("tbm (Tovan Backup Manager) 1.1");
        return 0;
    }
    std::fprintf(stderr, "tbm: the command '%s' is not available in this build yet\n", argv[1]);
    std::fputs(kUsage, stderr);
    return 2;
}
