#include "Globals.h"

#include "FileTools.h"
#include "FolderTools.h"
#include "ModulePath.h"
#include "Prompt.h"
#include "ResourceLibrary.h"
#include "SizeText.h"
#include "Spawn.h"
#include "UniqueNames.h"
#include "WriteLog.h"
#include "XdgFolders.h"

#include <cstdlib>

CGlobals g_Globals;

namespace {

// Text resource shown when a size text cannot be read.
constexpr unsigned kIdsInvalidSize = 136;

// An argument that starts with "-" would read as an option to the opener.
std::string AsOperand(const std::string& address)
{
    return !address.empty() && address[0] == '-' ? "./" + address : address;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

std::string CGlobals::GetProgramFolder() const
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_programFolder.empty())
            return m_programFolder;
    }
    return TvGetModuleFolder();
}

void CGlobals::SetProgramFolder(const std::string& folder)
{
    std::lock_guard lock(m_mutex);
    m_programFolder = folder;
}

std::string CGlobals::GetResourceLibraryPath() const
{
    return GetProgramPath(kTextResFileName);
}

std::string CGlobals::GetProgramPath(const std::string& name) const
{
    const std::string folder = GetProgramFolder();
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string CGlobals::FormatSize(std::uint64_t bytes) const
{
    return FormatSizeText(bytes);
}

std::uint64_t CGlobals::ParseSize(const std::string& text) const
{
    std::uint64_t bytes = 0;
    if (!ParseSizeText(text, bytes)) {
        MessageBoxRes(kIdsInvalidSize);
        return 0;
    }
    return bytes;
}

bool CGlobals::IsValidFileName(const std::string& name) const
{
    return tbm::IsValidFileName(name);
}

std::string CGlobals::MakeUniqueName(const std::string& base,
                                     const std::vector<std::string>& existing) const
{
    return tbm::MakeUniqueName(base, existing);
}

std::string CGlobals::MakeUniqueFileName(const std::string& path) const
{
    return tbm::MakeUniqueFileName(path);
}

std::string CGlobals::MakeNumberedFileName(const std::string& path) const
{
    return tbm::MakeNumberedFileName(path);
}

int CGlobals::CreateFolderPath(const std::string& path) const
{
    return tbm::CreateFolderPath(path);
}

std::string CGlobals::CreateTempFolder(const std::string& parent) const
{
    return tbm::CreateTempFolder(parent);
}

bool CGlobals::ListFolder(const std::string& folder, std::vector<std::string>& names,
                          const std::string& pattern, bool usePattern) const
{
    return tbm::ListFolder(folder, pattern, usePattern, names);
}

bool CGlobals::ListFiles(const std::string& folder, std::vector<std::string>& names) const
{
    return tbm::ListFiles(folder, names);
}

bool CGlobals::DeleteFolderFiles(const std::string& folder) const
{
    return tbm::DeleteFolderFiles(folder);
}

bool CGlobals::DeleteFolderTree(const std::string& folder) const
{
    return tbm::DeleteFolderTree(folder);
}

bool CGlobals::RenameFile(const std::string& from, const std::string& to) const
{
    return tbm::RenameFile(from, to);
}

std::uint32_t CGlobals::GetFileLength(const std::string& path) const
{
    return tbm::GetFileLength(path);
}

bool CGlobals::IsFileInUse(const std::string& path) const
{
    return tbm::IsFileInUse(path);
}

bool CGlobals::WriteTextFile(const std::string& path, const std::string& text) const
{
    return tbm::WriteTextFile(path, text);
}

std::string CGlobals::GetSpecialFolder(int id) const
{
    if (id & ~CSIDL_FLAG_CREATE)
        id |= CSIDL_FLAG_CREATE;
    return CXdgFolders::GetFolder(id);
}

std::string CGlobals::BrowseForFolder(const std::string& title) const
{
    FolderPicker picker;
    {
        std::lock_guard lock(m_mutex);
        picker = m_folderPicker;
    }
    return picker ? picker(title) : std::string();
}

void CGlobals::SetFolderPicker(FolderPicker picker)
{
    std::lock_guard lock(m_mutex);
    m_folderPicker = std::move(picker);
}

std::string CGlobals::LoadResourceText(const std::string& library, const std::string& name,
                                       const std::string& type) const
{
    // A bare name must not send dlopen searching the system's library folders.
    const std::string path =
        library.find('/') == std::string::npos ? GetProgramPath(library) : library;
    CResourceLibrary resources;
    std::string text;
    if (library.empty() || !resources.Load(path) || !resources.FindResource(name, type, text))
        return {};
    return text;
}

int CGlobals::FindString(const std::vector<std::string>& list, const std::string& text) const
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == text)
            return static_cast<int>(i);
    }
    return -1;
}

bool CGlobals::OpenDocument(const std::string& address, bool useShell) const
{
    if (RunProcess({OpenCommand(), AsOperand(address)}, false) == 0)
        return true;
    if (!useShell) {
        Log("Failed to get IWebBrowser2 interface. HRESULT");
        Log("Line number : 1958 File : Globals");
    }
    return false;
}

bool CGlobals::OpenFolder(const std::string& path) const
{
    const bool hasExtension = tbm::ExtensionOffset(path) != std::string::npos;
    const std::string folder = hasExtension ? FolderOf(path) : path;
    return RunProcess({OpenCommand(), AsOperand(folder)}, false) == 0;
}

void CGlobals::SetOpenCommand(const std::string& program)
{
    std::lock_guard lock(m_mutex);
    m_openCommand = program;
}

void CGlobals::SetLogHook(LogHook hook)
{
    std::lock_guard lock(m_mutex);
    m_logHook = std::move(hook);
}

std::string CGlobals::OpenCommand() const
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_openCommand.empty())
            return m_openCommand;
    }
    const char* command = std::getenv("TBM_OPEN_COMMAND");
    return command && *command ? std::string(command) : std::string("xdg-open");
}

void CGlobals::Log(const std::string& line) const
{
    LogHook hook;
    {
        std::lock_guard lock(m_mutex);
        hook = m_logHook;
    }
    if (hook)
        hook(line);
    else
        WriteLog("%s", line.c_str());
}
