#pragma once

#include <map>
#include <string>
#include <vector>

// Where My Files puts a stored file back: by the restore location (0 the original
// place, 1 a chosen folder keeping the folder structure, 2 a chosen folder, flat),
// with the roots found present during this restore and, for a root that is missing
// (a Windows drive or share, which no Linux system has), the folder the user chose
// in its place. The question is asked once per root.
//
// Stored paths come in three forms: POSIX ("/home/u/a.txt", root "/", only "/"
// separates), drive ("C:\Docs\a.txt", root "C:\") and network ("\\server\share\x.txt",
// root "\\server\share"); the last two accept "\" and "/". "." and ".." are resolved
// by name and never climb above the root, so below a chosen folder a stored path
// never leads outside it.
class CMyFilesRestoreTarget
{
public:
    struct CStoredPath
    {
        std::string root; // "/", "C:\", "\\server\share"; empty for a relative path
        bool posix = false;
        std::vector<std::string> folders; // below the root
        std::string name;                 // the file name; empty when there is none
    };

    static CStoredPath Split(const std::string& stored);
    // `base` + "/" + the folders, without doubled separators.
    static std::string Join(const std::string& base, const std::vector<std::string>& folders);

    void SetLocation(int type, const std::string& folder)
    {
        m_nLocation = type;
        m_strFolder = folder;
    }
    int GetLocationType() const { return m_nLocation; }
    const std::string& GetFolder() const { return m_strFolder; }

    // Forgets the present roots and the replaced ones (a new restore).
    void Clear();
    // 0 with the target folder of the stored path (empty: the file is not restored),
    // or 7 when the user cancelled the question about a missing root.
    int GetTargetFolder(const std::string& stored, std::string& folder);

    const std::vector<std::string>& GetPresentRoots() const { return m_PresentRoots; }
    const std::map<std::string, std::string>& GetMissingRoots() const { return m_MissingRoots; }

private:
    int GetOriginalPlace(const std::string& stored, const CStoredPath& split, std::string& folder);

    int m_nLocation = 0;
    std::string m_strFolder;
    std::vector<std::string> m_PresentRoots;
    std::map<std::string, std::string> m_MissingRoots;
};
