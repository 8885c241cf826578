#include "ResultCodes.h"

namespace result {
namespace {

const char* const kNames[kCount] = {
    "The operation was successful",
    "Could not find Outlook 2000/XP",
    "Could not find Outlook Express Identities",
    "Outlook Express UnSupported Version",
    "No Registry Entry for Outlook Express",
    "File is locked",
    "Error Reading file",
    "Error While Backup : Cancel",
    "Ship this file",
    "Invalid Backup File",
    "Error While Extracting the file",
    "Bad Password",
    "Abort scanning items",
    "Nothing to restore",
    "Couldn't Find Windows Fonts",
    "Error While testing backup files",
    "Restore Cancel",
};

bool InTable(int code)
{
    return code >= 0 && code < kCount;
}

} // namespace

const char* GetName(int code)
{
    return InTable(code) ? kNames[code] : "";
}

const char* GetDescription(int code)
{
    switch (code) {
    case kFileLocked:
        return "File is locked; please try to close the application that is using the file";
    case kReadError:
        return "Error Reading file, unable to read the file";
    default:
        return GetName(code);
    }
}

} // namespace result
