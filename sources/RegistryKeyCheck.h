#pragma once

#include <string>
#include <string_view>
#include <vector>

// Where a restored registry file may write. A backup can be crafted, and the editor
// imports whatever keys a file names: before each import, every key the file touches
// (created, deleted, or given values) must lie at or below one of the keys its item
// kind stands for, all below HKEY_CURRENT_USER. Patterns are "\"-separated key paths
// in which "*" matches any one component (a version number); names compare ignoring
// case, as the store does.
class CRegistryKeyCheck
{
public:
    // The keys of a kind's file as it is imported at `step` (0 the first import, 1
    // the one after its rewrite); `guid` is the target identity's. Empty for kinds
    // that are no registry exports, or an identity GUID of another form: nothing is
    // allowed then.
    static std::vector<std::string> AllowedKeys(int kind, const std::string& guid, int step);

    // True when the file parses and every key it names fits `allowed`; otherwise
    // false with the reason in `why` (the offending key, or the parse error).
    static bool KeysFit(const std::string& path, const std::vector<std::string>& allowed,
                        std::string& why);
    // The same for the bytes of a registry file.
    static bool KeysFitBytes(std::string_view bytes, const std::vector<std::string>& allowed,
                             std::string& why);

    // "{8-4-4-4-12}" of hexadecimal digits.
    static bool IsGuidForm(const std::string& text);
};
