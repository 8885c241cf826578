#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Face names of the user-interface fonts.
inline constexpr const char* g_szFontTahoma = "Tahoma";
inline constexpr const char* g_szFontMsSansSerif = "MS Sans Serif";
inline constexpr const char* g_szFontArial = "Arial";

// The program's small, widely used services: its folder, size texts, name checks
// and unique names, folder creation and removal, temporary folders, special folders,
// resource texts, and opening documents and folders for the user.
//
// None of them throws; failure shows in the result (false, -1, 0 or empty text).
// Only ParseSize talks to the user (through the prompt) and only OpenDocument
// writes to the status log. The settings (program folder,
// hooks, open command) are meant to be made at start-up; they are guarded anyway so
// a worker thread never reads a half-written one.
class CGlobals
{
public:
    using FolderPicker = std::function<std::string(const std::string& title)>;
    using LogHook = std::function<void(const std::string& line)>;

    // The folder the program file lies in, unless start-up or a test set another.
    std::string GetProgramFolder() const;
    void SetProgramFolder(const std::string& folder);
    // The user-interface text library: program folder + "/TextRes.so".
    std::string GetResourceLibraryPath() const;
    // Program folder + "/" + name; with an empty name the folder and a trailing "/".
    std::string GetProgramPath(const std::string& name) const;

    // Size texts ("1.50 MB"); ParseSize shows text 136 and returns 0 for a text it
    // cannot read.
    std::string FormatSize(std::uint64_t bytes) const;
    std::uint64_t ParseSize(const std::string& text) const;

    bool IsValidFileName(const std::string& name) const;
    std::string MakeUniqueName(const std::string& base,
                               const std::vector<std::string>& existing) const;
    std::string MakeUniqueFileName(const std::string& path) const;
    std::string MakeNumberedFileName(const std::string& path) const;

    // Folder and file services; their rules are told in FolderTools.h and FileTools.h.
    // Listings are sorted by byte value, so every run gives the same order; hidden
    // means a name that starts with "."; Linux has no "system" files.
    int CreateFolderPath(const std::string& path) const;
    std::string CreateTempFolder(const std::string& parent = {}) const;
    bool ListFolder(const std::string& folder, std::vector<std::string>& names,
                    const std::string& pattern = {}, bool usePattern = false) const;
    bool ListFiles(const std::string& folder, std::vector<std::string>& names) const;
    bool DeleteFolderFiles(const std::string& folder) const;
    bool DeleteFolderTree(const std::string& folder) const;
    bool RenameFile(const std::string& from, const std::string& to) const;
    std::uint32_t GetFileLength(const std::string& path) const;
    // Linux has no exclusive opens: "in use" means another holder locks the file.
    bool IsFileInUse(const std::string& path) const;
    bool WriteTextFile(const std::string& path, const std::string& text) const;

    // A special folder by Windows number (see XdgFolders.h). Every number but the
    // desktop (0) gets the create flag, so the folder exists afterwards.
    std::string GetSpecialFolder(int id) const;

    // Asks the installed folder picker (the GUI installs a dialog); empty when none
    // is installed or the user cancels.
    std::string BrowseForFolder(const std::string& title) const;
    void SetFolderPicker(FolderPicker picker);

    // The resource `name` of `type` in a resource library, as text; empty on any
    // failure. A library file without "/" is looked up in the program folder.
    std::string LoadResourceText(const std::string& library, const std::string& name,
                                 const std::string& type) const;

    // Index of the first entry equal to `text`, or -1.
    int FindString(const std::vector<std::string>& list, const std::string& text) const;

    // Opens an address or file with the desktop's opener (xdg-open). With `useShell`
    // false the address is meant for a browser window; the opener picks it as well,
    // and when it cannot be started the log hook gets two lines. False when the
    // opener could not be started.
    bool OpenDocument(const std::string& address, bool useShell) const;
    // Opens the folder of `path` (its file name removed when it has an extension).
    bool OpenFolder(const std::string& path) const;

    // The opener program: this one when set, else $TBM_OPEN_COMMAND, else "xdg-open".
    void SetOpenCommand(const std::string& program);
    // Where OpenDocument's failure lines go instead of the status log (tests use it).
    void SetLogHook(LogHook hook);

    // Operating-system families the Windows code told apart; none applies on Linux.
    bool m_bNTBefore5 = false;
    bool m_bNT = false;
    bool m_bNT5OrLater = false;
    bool m_bWin9x = false;
    bool m_bWinMe = false;

private:
    std::string OpenCommand() const;
    void Log(const std::string& line) const;

    mutable std::mutex m_mutex;
    std::string m_programFolder; // empty: the running program's folder
    std::string m_openCommand;
    FolderPicker m_folderPicker;
    LogHook m_logHook;
};

extern CGlobals g_Globals;
