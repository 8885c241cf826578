#include "ItemKinds.h"

namespace itemkind {
namespace {

const char* const kArchiveFolders[kCount] = {
    "",
    "",
    "",
    "",
    "",
    "FilePersonal",
    "FileSettings",
    "Forms",
    "Stationery",
    "Signatures",
    "",
    "",
    "",
    "Fav",
    "",
    "Wab",
    "",
    "",
    "",
    "",
    "",
    "dbx",
    "App",
    "App",
    "Fonts",
    "IAccounts",
    "OLReg",
    "OLReg",
    "OLReg",
};

} // namespace

const char* GetArchiveFolder(std::uint32_t kind)
{
    return kind < kCount ? kArchiveFolders[kind] : "";
}

bool IsTopLevelSource(std::uint32_t kind)
{
    switch (kind) {
    case kOutlook:
    case kOEGroup:
    case kOEIdentity:
    case kRoot:
    case kMyFiles:
    case kFavorites:
    case kAddressBook:
    case kApplications:
    case kFonts:
        return true;
    default:
        return false;
    }
}

bool IsRegistryExport(std::uint32_t kind)
{
    switch (kind) {
    case kOEAccounts:
    case kOERules:
    case kOESignatures:
    case kOEMailPrefs:
    case kOEBlockedSenders:
    case kOEIdentityAccounts:
    case kOLRegAccounts:
    case kOLRegOptions:
    case kOLRegCategories:
        return true;
    default:
        return false;
    }
}

} // namespace itemkind
