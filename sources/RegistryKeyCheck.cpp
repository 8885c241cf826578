#include "RegistryKeyCheck.h"

#include "ItemKinds.h"

#include "CaseFold.h"
#include "RegFileError.h"
#include "RegFileIo.h"
#include "RegFileParser.h"
#include "RegTypes.h"

#include <cctype>

namespace {

std::vector<std::string> Components(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool Fits(const std::vector<std::string>& key, const std::string& pattern)
{
    const std::vector<std::string> wanted = Components(pattern);
    if (key.size() < wanted.size())
        return false;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (wanted[i] != "*" && !EqualsNoCase(key[i], wanted[i]))
            return false;
    return true;
}

bool KeyFits(const std::string& path, const std::vector<std::string>& allowed)
{
    const std::vector<std::string> key = Components(path);
    // An empty component could be read as another key than the one checked.
    for (const std::string& part : key)
        if (part.empty())
            return false;
    for (const std::string& pattern : allowed)
        if (Fits(key, pattern))
            return true;
    return false;
}

// Outlook 2000 and XP keep their options and categories below their own version's
// key; those are the only places such an export is taken from, so the only ones it
// may go back to (not the bare Office key, nor another program's key below it).
std::vector<std::string> OutlookVersionKeys(const std::string& office, const std::string& leaf)
{
    std::vector<std::string> keys;
    for (const char* version : {"8.0", "9.0", "10.0"})
        keys.push_back(office + version + "\\Outlook\\" + leaf);
    return keys;
}

} // namespace

bool CRegistryKeyCheck::IsGuidForm(const std::string& text)
{
    static constexpr const char* kForm = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    const std::string form = kForm;
    if (text.size() != form.size())
        return false;
    for (std::size_t i = 0; i < form.size(); ++i) {
        const bool fits = form[i] == 'x' ? std::isxdigit(static_cast<unsigned char>(text[i])) != 0
                                         : text[i] == form[i];
        if (!fits)
            return false;
    }
    return true;
}

std::vector<std::string> CRegistryKeyCheck::AllowedKeys(int kind, const std::string& guid, int step)
{
    using namespace itemkind;
    const std::string accounts = "Software\\Microsoft\\Internet Account Manager";
    const std::string identity = "Identities\\" + guid + "\\";
    const std::string express = identity + "Software\\Microsoft\\Outlook Express\\*\\";
    const std::string office = "Software\\Microsoft\\Office\\";
    const bool identityKind = kind == static_cast<int>(kOEAccounts) ||
                              (kind >= static_cast<int>(kOERules) &&
                               kind <= static_cast<int>(kOEIdentityAccounts));
    if (identityKind && !IsGuidForm(guid))
        return {};
    switch (static_cast<std::uint32_t>(kind)) {
    case kOEAccounts:
        return {step == 0 ? accounts : identity + accounts};
    case kOERules:
        return {express + "Rules"};
    case kOESignatures:
        return {express + "signatures"};
    case kOEMailPrefs:
        return {express + "Mail"};
    case kOEBlockedSenders:
        return {express + "Block Senders"};
    case kOEIdentityAccounts:
        return {step == 0 ? identity + accounts : accounts};
    case kOLRegAccounts:
        return {office + "Outlook\\OMI Account Manager"};
    case kOLRegOptions:
        return OutlookVersionKeys(office, "Options");
    case kOLRegCategories:
        return OutlookVersionKeys(office, "Categories");
    default:
        return {};
    }
}

bool CRegistryKeyCheck::KeysFit(const std::string& path, const std::vector<std::string>& allowed,
                                std::string& why)
{
    try {
        return KeysFitBytes(RegReadFile(path), allowed, why);
    } catch (const CRegFileError& e) {
        why = e.what();
        return false;
    }
}

bool CRegistryKeyCheck::KeysFitBytes(std::string_view bytes, const std::vector<std::string>& allowed,
                                     std::string& why)
{
    try {
        // The editor's own parser: the keys checked are the keys it will write.
        for (const TvRegOperation& operation : CRegFileParser::Parse(bytes)) {
            if (operation.root != HKEY_CURRENT_USER || !KeyFits(operation.path, allowed)) {
                why = "key " + operation.path + " lies outside the place of its data";
                return false;
            }
        }
    } catch (const CRegFileError& e) {
        why = e.what();
        return false;
    }
    return true;
}
