#include "RegistryImport.h"

#include "ItemKinds.h"
#include "Prompt.h"
#include "Registry.h"
#include "RegistryEditor.h"
#include "RegistryKeyCheck.h"
#include "RegistryLines.h"
#include "TempFileName.h"
#include "WriteLog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace {

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0;
}

// "TBM<hex>.tmp" made in the folder and moved to "TBM<hex>.reg", a name nobody else
// holds: link() refuses to replace an existing file as rename() would.
std::string MakeWorkingFile(const std::string& folder)
{
    const std::string temp = TvCreateTempFileName(folder, kRegistryImportTempPrefix);
    if (temp.empty())
        return {};
    const std::string working = temp.substr(0, temp.rfind('.')) + ".reg";
    const bool moved = link(temp.c_str(), working.c_str()) == 0;
    unlink(temp.c_str());
    return moved ? working : std::string();
}

std::string Replaced(std::string text, const std::string& mark, const std::string& value)
{
    const std::size_t at = text.find(mark);
    if (at != std::string::npos)
        text.replace(at, mark.size(), value);
    return text;
}

} // namespace

CRegistryImport::CRegistryImport(const std::string& workFolder)
    : m_workFolder(workFolder.empty() ? TvGetTempPath() : workFolder)
{
}

bool CRegistryImport::ImportRegistryFile(const std::string& path)
{
    if (!Exists(path))
        return false;
    const std::vector<std::string> arguments{kRegistryImportSwitch, path};
    const std::string parameters = std::string(kRegistryImportSwitch) + " " + path;
    WriteLog("Run regedit : %s", parameters.c_str());
    const int status = RunRegistryEditor(arguments);
    if (status < 0) {
        WriteLog("Cant Start Regedit Porcess");
        return false;
    }
    WriteLog("Regedit exit status %d : %s", status, parameters.c_str());
    return status == 0;
}

bool CRegistryImport::RewriteRegistryFile(const std::string& path, const std::string& find,
                                          const std::string& replace)
{
    const std::string working = MakeWorkingFile(m_workFolder);
    if (working.empty()) {
        Prompt().MessageBox("Fail to rename file", MB_OK | MB_ICONWARNING);
        return false;
    }
    const RegistryLinesResult result = RewriteRegistryLines(path, working, find, replace);
    if (result == RegistryLinesResult::Done)
        return ReplaceRegistryFile(working, path);
    if (result == RegistryLinesResult::WriteFailed)
        WriteLog("Fail to write File : %s", working.c_str());
    else
        WriteLog("Fail  Open File : %s",
                 result == RegistryLinesResult::SourceNotOpened ? path.c_str() : working.c_str());
    unlink(working.c_str());
    return false;
}

bool CRegistryImport::RestoreRegistryItem(const std::string& path, int kind,
                                          const std::string& backupGuid,
                                          const std::string& targetGuid)
{
    using namespace itemkind;
    switch (static_cast<std::uint32_t>(kind)) {
    case kOEAccounts:
        return RestoreGlobalAccounts(path, targetGuid);
    case kOERules:
    case kOESignatures:
    case kOEMailPrefs:
    case kOEBlockedSenders:
        return RewriteRegistryFile(path, backupGuid, targetGuid) &&
               ImportChecked(path, kind, targetGuid, 0);
    case kOEIdentityAccounts:
        return RestoreIdentityAccounts(path, backupGuid, targetGuid);
    case kOLRegAccounts:
    case kOLRegOptions:
    case kOLRegCategories:
        return ImportChecked(path, kind, targetGuid, 0);
    default:
        return true;
    }
}

bool CRegistryImport::RestoreGlobalAccounts(const std::string& path, const std::string& targetGuid)
{
    // A rewrite that fails stops the chain: importing the file unchanged again would
    // put the data in the wrong place.
    const int kind = static_cast<int>(itemkind::kOEAccounts);
    // A file that reaches outside the accounts is not imported anywhere.
    if (!KeysFit(path, kind, targetGuid, 0))
        return false;
    const bool global = ImportRegistryFile(path);
    const std::string below = Replaced(kIdentityKeyTemplate, "$1$", targetGuid);
    return RewriteRegistryFile(path, "Software\\Microsoft\\", below) &&
           ImportChecked(path, kind, targetGuid, 1) && global;
}

bool CRegistryImport::RestoreIdentityAccounts(const std::string& path,
                                              const std::string& backupGuid,
                                              const std::string& targetGuid)
{
    const int kind = static_cast<int>(itemkind::kOEIdentityAccounts);
    if (!RewriteRegistryFile(path, backupGuid, targetGuid))
        return false;
    bool ok = ImportChecked(path, kind, targetGuid, 0);
    if (ok && ReadIdentityUserName(targetGuid) == kMainIdentity) {
        ok = RewriteRegistryFile(path, "\\Identities\\" + targetGuid + "\\", "\\") &&
             ImportChecked(path, kind, targetGuid, 1);
    }
    return ok;
}

bool CRegistryImport::KeysFit(const std::string& path, int kind, const std::string& targetGuid,
                              int step)
{
    std::string why;
    if (CRegistryKeyCheck::KeysFit(path, CRegistryKeyCheck::AllowedKeys(kind, targetGuid, step),
                                   why))
        return true;
    WriteLog("Fail to import registry file %s: %s", path.c_str(), why.c_str());
    return false;
}

bool CRegistryImport::ImportChecked(const std::string& path, int kind,
                                    const std::string& targetGuid, int step)
{
    return KeysFit(path, kind, targetGuid, step) && ImportRegistryFile(path);
}

std::string CRegistryImport::ReadIdentityUserName(const std::string& guid)
{
    CRegistry registry(HKEY_CURRENT_USER);
    std::string name;
    if (!registry.Open(HKEY_CURRENT_USER, "Identities\\" + guid, KEY_READ) ||
        !registry.Read("Username", name))
        return {};
    return name;
}
