#include "RegPath.h"

#include "RegError.h"
#include "RegText.h"

namespace {

constexpr std::size_t kMaxKeyNameChars = 255;

} // namespace

std::vector<std::string_view> TvRegSplitPath(const char* path)
{
    std::vector<std::string_view> names;
    std::string_view rest = path ? std::string_view(path) : std::string_view();
    if (!rest.empty() && rest.back() == '\\')
        rest.remove_suffix(1);
    while (!rest.empty()) {
        const std::size_t cut = rest.find('\\');
        const std::string_view name = rest.substr(0, cut);
        if (name.empty())
            throw CRegError(ERROR_BAD_PATHNAME);
        if (TvUtf8CharCount(name) > kMaxKeyNameChars)
            throw CRegError(ERROR_INVALID_PARAMETER);
        names.push_back(name);
        if (cut == std::string_view::npos)
            break;
        rest.remove_prefix(cut + 1);
        if (rest.empty())
            throw CRegError(ERROR_BAD_PATHNAME);
    }
    return names;
}
