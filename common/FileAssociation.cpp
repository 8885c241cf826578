#include "FileAssociation.h"

#include "FileTools.h"

#include "Registry.h"
#include "Spawn.h"
#include "XdgFolders.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char kExtension[] = ".tbm";
const char kClass[] = "TBMFile";

// Quotes an Exec argument of a desktop entry: inside double quotes, the characters
// '"', '`', '$' and '\' are escaped with a backslash.
std::string QuoteExecArgument(const std::string& arg)
{
    std::string quoted = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string MimePackageText()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" +
           std::string(CFileAssociation::kMimeType) +
           "\">\n"
           "    <comment>Tovan Backup Manager backup</comment>\n"
           "    <sub-class-of type=\"application/zip\"/>\n"
           "    <glob pattern=\"*.tbm\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

} // namespace

CFileAssociation::CFileAssociation(std::string programFile) : m_programFile(std::move(programFile))
{
}

void CFileAssociation::Register()
{
    PointExtensionAtClass();
    const bool created = CreateClassKeys();
    if (WriteDesktopFiles(created))
        RefreshDesktopDatabases();
}

void CFileAssociation::PointExtensionAtClass()
{
    CRegistry reg(HKEY_CLASSES_ROOT);
    if (!reg.VerifyKey(HKEY_CLASSES_ROOT, kExtension, KEY_ALL_ACCESS)) {
        if (reg.CreateKey(HKEY_CLASSES_ROOT, kExtension))
            reg.Write("", std::string(kClass));
        return;
    }
    std::string previous;
    const bool hadValue = reg.Read("", previous);
    if (hadValue && previous == kClass)
        return;
    reg.Write("", std::string(kClass));
    if (hadValue)
        reg.Write("Old", previous);
}

bool CFileAssociation::CreateClassKeys()
{
    CRegistry reg(HKEY_CLASSES_ROOT);
    // An existing class is left alone, even when it names another program file.
    if (reg.VerifyKey(HKEY_CLASSES_ROOT, kClass, KEY_ALL_ACCESS))
        return false;
    if (!reg.CreateKey(HKEY_CLASSES_ROOT, kClass))
        return false;
    reg.Write("", std::string());
    if (reg.CreateKey(HKEY_CLASSES_ROOT, std::string(kClass) + "\\DefaultIcon"))
        reg.Write("", m_programFile + ",0");
    if (reg.CreateKey(HKEY_CLASSES_ROOT, std::string(kClass) + "\\shell\\open\\Command"))
        reg.Write("", m_programFile + " %1");
    return true;
}

std::string CFileAssociation::MimePackagePath()
{
    return CXdgFolders::DataHome() + "/mime/packages/x-tbmanager-backup.xml";
}

std::string CFileAssociation::DesktopEntryPath()
{
    return CXdgFolders::DataHome() + "/applications/tbmanager.desktop";
}

std::string CFileAssociation::DesktopEntryText(const std::string& programFile)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tovan Backup Manager\n"
           "Comment=Back up and restore your files and settings\n"
           "Exec=" +
           QuoteExecArgument(programFile) +
           " %f\n"
           "MimeType=" +
           std::string(kMimeType) +
           ";\n"
           "Categories=Utility;Archiving;\n"
           "Terminal=false\n";
}

bool CFileAssociation::WriteDesktopFiles(bool replace)
{
    std::error_code ec;
    bool wrote = false;
    if (replace || !fs::exists(MimePackagePath(), ec))
        wrote |= tbm::WriteWholeFile(MimePackagePath(), MimePackageText());
    if (replace || !fs::exists(DesktopEntryPath(), ec))
        wrote |= tbm::WriteWholeFile(DesktopEntryPath(), DesktopEntryText(m_programFile));
    return wrote;
}

// Tells the desktop that associations changed; the tools are optional.
void CFileAssociation::RefreshDesktopDatabases()
{
    RunProcess({"update-mime-database", CXdgFolders::DataHome() + "/mime"});
    RunProcess({"update-desktop-database", CXdgFolders::DataHome() + "/applications"});
}
