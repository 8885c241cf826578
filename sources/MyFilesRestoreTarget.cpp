#include "MyFilesRestoreTarget.h"

#include "CaseFold.h"
#include "Prompt.h"
#include "ResultCodes.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace {

// Components of `text` between any of `separators`, with "." and empty ones left
// out and ".." taking the one before it away (never more than there are).
std::vector<std::string> Components(const std::string& text, const char* separators)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
        const std::string part = text.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return parts;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

} // namespace

CMyFilesRestoreTarget::CStoredPath CMyFilesRestoreTarget::Split(const std::string& stored)
{
    CStoredPath split;
    std::vector<std::string> parts;
    if (stored.size() >= 2 && IsSeparator(stored[0]) && IsSeparator(stored[1])) {
        parts = Components(stored, "\\/");
        // The server and the share make the root; what follows lies on the share.
        const std::size_t rootParts = std::min<std::size_t>(2, parts.size());
        split.root = "\\\\";
        for (std::size_t i = 0; i < rootParts; ++i)
            split.root += (i ? "\\" : "") + parts[i];
        parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(rootParts));
    } else if (stored.size() >= 2 && stored[1] == ':' &&
               std::isalpha(static_cast<unsigned char>(stored[0]))) {
        // Drive letters know no case: "c:" and "C:" are one drive, asked for once.
        split.root =
            std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(stored[0])))) +
            ":\\";
        parts = Components(stored.substr(2), "\\/");
    } else if (!stored.empty() && stored[0] == '/') {
        split.root = "/";
        split.posix = true;
        parts = Components(stored, "/"); // "\" is an ordinary character of a POSIX name
    } else {
        parts = Components(stored, "\\/");
    }
    if (!parts.empty()) {
        split.name = parts.back();
        parts.pop_back();
    }
    split.folders = std::move(parts);
    return split;
}

std::string CMyFilesRestoreTarget::Join(const std::string& base,
                                        const std::vector<std::string>& folders)
{
    std::string joined = base;
    for (const std::string& folder : folders) {
        if (joined.empty() || joined.back() != '/')
            joined += '/';
        joined += folder;
    }
    return joined;
}

void CMyFilesRestoreTarget::Clear()
{
    m_PresentRoots.clear();
    m_MissingRoots.clear();
}

int CMyFilesRestoreTarget::GetTargetFolder(const std::string& stored, std::string& folder)
{
    folder.clear();
    const CStoredPath split = Split(stored);
    switch (m_nLocation) {
    case 1:
        if (!m_strFolder.empty())
            folder = Join(m_strFolder, split.folders);
        return result::kSuccess;
    case 2:
        folder = m_strFolder;
        return result::kSuccess;
    default:
        return GetOriginalPlace(stored, split, folder);
    }
}

int CMyFilesRestoreTarget::GetOriginalPlace(const std::string& stored, const CStoredPath& split,
                                            std::string& folder)
{
    const auto present = [this](const std::string& root) {
        return std::find(m_PresentRoots.begin(), m_PresentRoots.end(), root) !=
               m_PresentRoots.end();
    };
    if (split.posix && present(split.root)) {
        folder = Join("/", split.folders);
        return result::kSuccess;
    }
    // A folder chosen for a missing root stands for the root itself: the files keep
    // their folders below it, so two files of the same name from different folders
    // never land on one another.
    // Windows names know no case: "\\SERVER\share" is the share of "\\server\Share".
    const std::string key = split.posix ? split.root : FoldCase(split.root);
    if (const auto mapped = m_MissingRoots.find(key); mapped != m_MissingRoots.end()) {
        if (!mapped->second.empty())
            folder = Join(mapped->second, split.folders);
        return result::kSuccess;
    }
    struct stat st
    {
    };
    // Only a POSIX root can be present here: "C:\" or a share never is, even when a
    // file of that odd name lies in the current folder.
    if (split.posix && stat(split.root.c_str(), &st) == 0) {
        m_PresentRoots.push_back(split.root);
        folder = Join("/", split.folders);
        return result::kSuccess;
    }
    const std::string shown = split.root.empty() ? std::string("(no drive)") : split.root;
    std::string chosen;
    if (!Prompt().AskFolder("The file " + stored + " was backed up from " + shown +
                                ", which is not available.\nChoose a folder to restore the "
                                "files of " +
                                shown + " to.",
                            chosen))
        return result::kCancel;
    m_MissingRoots[key] = chosen;
    if (!chosen.empty())
        folder = Join(chosen, split.folders);
    return result::kSuccess;
}
