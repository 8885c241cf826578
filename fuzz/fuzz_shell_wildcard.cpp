// Wildcard patterns and path lists come from users and from folder listings; the
// matcher must end quickly on any input and the shell-form list must give back
// exactly the paths it accepted.
#include "ShellFileOpList.h"
#include "ShellFileOpPath.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void CheckMatcher(const std::string& pattern, const std::string& name)
{
    const bool matches = tvshell::MatchWildcard(pattern, name);
    if (pattern.find_first_of("*?") == std::string::npos && matches != (pattern == name))
        std::abort();
    if (!tvshell::MatchWildcard("*", name))
        std::abort();
    if (name.find_first_of("*?") == std::string::npos && !tvshell::MatchWildcard(name, name))
        std::abort();
}

void CheckList(const std::string& text)
{
    CShellFileOpList list;
    std::vector<std::string> accepted;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string path = text.substr(start, end - start);
        if (list.Add(path))
            accepted.push_back(path);
        start = end + 1;
    }
    if (list.Paths() != accepted || list.Data()[list.UsedLength()] != '\0')
        std::abort();
    if (!accepted.empty() && list.UsedLength() >= list.AllocatedLength())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string pattern = input.substr(0, split);
    const std::string name = split == std::string::npos ? "" : input.substr(split + 1);
    CheckMatcher(pattern, name);
    CheckList(input);
    return 0;
}
