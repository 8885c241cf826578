#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

// The store folder of a mail identity as the folder index names its files: every
// ".dbx" file lies directly in it. Names come from the index, so they are taken only
// as plain names, and a name that is not on disk as written may be there in another
// letter case (the index was written where names ignore case). Each file is handed
// out once, so two folders naming one file (by any name or link) do not back it up
// twice; files reserved beforehand (the index itself, which goes into every backup of
// the store) are not handed out at all.
class CDbx5StoreFolder
{
public:
    enum class Result
    {
        Taken,       // path set; the size is 0 when the file is not there
        NotPlain,    // empty, ".", "..", or holding a separator
        TakenBefore, // handed out or reserved before
    };

    // Keeps the folder with a trailing "/" and forgets the files handed out.
    void SetPath(const std::string& folder);
    const std::string& GetPath() const { return m_strPath; }
    void Forget();
    // Counts the file with this device and inode number as handed out.
    void Reserve(std::uint64_t device, std::uint64_t inode);

    Result Take(const std::string& name, std::string& path, std::uint64_t& size);

    // True for a name that stays inside the folder it is joined to.
    static bool IsPlainName(const std::string& name);

private:
    std::string FindOnDisk(const std::string& name) const;

    std::string m_strPath;
    // Files on disk by device and inode; names not on disk by path.
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_TakenFiles;
    std::set<std::string> m_TakenPaths;
};
