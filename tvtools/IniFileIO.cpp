#include "IniFile.h"

#include "WholeFile.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <string_view>

// Reading and writing of CIniFile. Lines of any length are read whole: a long value
// must come back as it was written, never cut or split into two entries.

namespace {

const char* const kCannotOpen = "Unable to open ini file.";

// A link is followed, so the file it points at is replaced and the link stays.
std::string ResolveTarget(const std::string& path)
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string_view SectionName(std::string_view line)
{
    while (!line.empty() && line.front() == '[')
        line.remove_prefix(1);
    while (!line.empty() && line.back() == ']')
        line.remove_suffix(1);
    return line;
}

} // namespace

bool CIniFile::ReadFile()
{
    struct stat st
    {
    };
    if (stat(m_path.c_str(), &st) != 0)
        return false;
    std::vector<std::uint8_t> bytes;
    if (!TvReadWholeFile(m_path, bytes)) {
        error = kCannotOpen;
        return false;
    }
    ParseText(std::string(bytes.begin(), bytes.end()));
    return true;
}

void CIniFile::ParseText(const std::string& text)
{
    std::string_view rest(text);
    // Editors on Windows like to start UTF-8 files with a byte-order mark; it would
    // hide the first section line.
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3);
    std::string key;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        if (line.front() == '[' && line.back() == ']') {
            key = SectionName(line);
            continue;
        }
        const std::size_t equals = line.find('=');
        // Lines without "=" (comments and the like) carry nothing to keep.
        if (equals != std::string_view::npos)
            SetValue(key, std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)),
                     true);
    }
}

bool CIniFile::WriteFile()
{
    if (m_path.empty())
        return false;
    const std::string text = Serialise();
    return TvReplaceFile(ResolveTarget(m_path),
                         std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string CIniFile::Serialise() const
{
    std::string out;
    for (std::size_t k = 0; k < m_keys.size(); ++k) {
        const Key& key = m_keys[k];
        if (key.names.empty())
            continue;
        out += "[" + m_keyNames[k] + "]\r\n";
        for (std::size_t v = 0; v < key.names.size(); ++v)
            out += key.names[v] + "=" + key.values[v] + "\r\n";
        out += "\r\n";
    }
    return out;
}
