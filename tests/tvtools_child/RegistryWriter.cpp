// tbm_registry_writer NAME COUNT: writes COUNT values into a key of its own and COUNT
// values into keys shared with other writers, through CRegistry, in the registry file
// that TBM_REGISTRY names. Run by the tests as one of several processes at once.
// Exit code 0 when every write succeeded.
#include "Registry.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool WriteOne(const std::string& name, int i)
{
    const std::string text = name + "-" + std::to_string(i);
    CRegistry own(HKEY_CURRENT_USER);
    if (!own.CreateKey(HKEY_CURRENT_USER, "Software\\Writers\\" + name) ||
        !own.Write("V" + std::to_string(i), text)) {
        std::fprintf(stderr, "%s: own write %d failed: %d\n", name.c_str(), i, own.GetLastResult());
        return false;
    }
    CRegistry shared(HKEY_CURRENT_USER);
    if (!shared.CreateKey(HKEY_CURRENT_USER, "Software\\Shared\\K" + std::to_string(i % 10)) ||
        !shared.Write(text, std::int32_t{i})) {
        std::fprintf(stderr, "%s: shared write %d failed: %d\n", name.c_str(), i,
                     shared.GetLastResult());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tbm_registry_writer NAME COUNT\n");
        return 2;
    }
    const std::string name = argv[1];
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i)
        if (!WriteOne(name, i))
            return 1;
    return 0;
}
