#pragma once

#include <string>

// A path split into prefix, drive, folder, title and extension, and rebuilt from
// them. Paths of both systems are understood: "C:\x\y.txt", "\\server\share\y.txt",
// the long forms "\\?\C:\..." and "\\?\UNC\server\...", and "/home/u/y.txt".
//
// The prefix is "\\", "\\?\" or "\\?\UNC\" (any letter case), found by comparing the
// lower-cased start of the path with "\\?\unc\": exactly 2, 4 or 8 matching
// characters make the prefix. The drive is "X:", or for a rooted path without one
// the root separator itself, so that "/home/u" rebuilds as an absolute path. The
// folder has no leading or trailing separator; the extension has no leading dot.
//
// Native paths (ForNative) split on '/' only and know no prefixes or drive letters:
// on Linux "\" and "C:" are ordinary characters of a name.
class CZipPathParts
{
public:
    enum Syntax
    {
        AnySyntax,
        NativeSyntax
    };

    CZipPathParts() = default;
    explicit CZipPathParts(const std::string& path, Syntax syntax = AnySyntax)
    {
        SetPath(path, syntax);
    }

    void SetPath(const std::string& path, Syntax syntax = AnySyntax);

    // title, plus "." and the extension when there is one
    std::string GetFileName() const;
    // prefix + drive + separator (when drive and folder are both set) + folder
    std::string GetFolderPath() const;
    // folder path + separator + file name; no separator is added to an empty
    // folder path, so a bare name stays relative
    std::string GetFullPath() const;
    // folder + separator (when both are set) + file name
    std::string GetPathWithoutDrive() const;

    std::string m_prefix;
    std::string m_drive;
    std::string m_folder;
    std::string m_title;
    std::string m_extension;
    char m_separator = '/'; // put between parts when rebuilding

private:
    bool IsSeparator(char c) const { return c == '/' || (m_syntax == AnySyntax && c == '\\'); }
    void SplitDrive(std::string& rest);
    void SplitName(const std::string& rest);

    Syntax m_syntax = AnySyntax;
};
