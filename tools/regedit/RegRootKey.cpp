#include "RegRootKey.h"

#include <cctype>

namespace {

struct RootName
{
    const char* longName;
    const char* shortName;
    HKEY root;
};

const RootName* Roots()
{
    // A function, not a global table: the roots are casts that are not constants.
    static const RootName roots[] = {
        {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", "HKU", HKEY_USERS},
        {nullptr, nullptr, nullptr},
    };
    return roots;
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::optional<HKEY> RegFindRoot(std::string_view name)
{
    for (const RootName* r = Roots(); r->longName; ++r)
        if (SameIgnoringCase(name, r->longName) || SameIgnoringCase(name, r->shortName))
            return r->root;
    return std::nullopt;
}

const char* RegRootName(HKEY root)
{
    for (const RootName* r = Roots(); r->longName; ++r)
        if (r->root == root)
            return r->longName;
    return "";
}

std::optional<TvRegKeyPath> RegSplitKeyPath(std::string_view fullPath)
{
    if (!fullPath.empty() && fullPath.back() == '\\')
        fullPath.remove_suffix(1);
    const std::size_t cut = fullPath.find('\\');
    const std::optional<HKEY> root = RegFindRoot(fullPath.substr(0, cut));
    if (!root)
        return std::nullopt;
    TvRegKeyPath key;
    key.root = *root;
    if (cut != std::string_view::npos)
        key.path = std::string(fullPath.substr(cut + 1));
    return key;
}
