#include "UserDirs.h"

#include <optional>
#include <sstream>

namespace {

std::string Trim(const std::string& text)
{
    const std::size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return {};
    const std::size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

// The text between double quotes, with backslash escapes undone; nothing when the
// closing quote is missing or something other than a comment follows it.
std::optional<std::string> Unquote(const std::string& value)
{
    std::string out;
    for (std::size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            out += value[++i];
        } else if (c == '"') {
            const std::string rest = Trim(value.substr(i + 1));
            if (!rest.empty() && rest[0] != '#')
                return std::nullopt;
            return out;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

// "$HOME/x" or "${HOME}/x" becomes home + "/x"; an absolute path stays; anything
// else is not a usable folder.
std::optional<std::string> Resolve(const std::string& value, const std::string& home)
{
    for (const char* prefix : {"$HOME", "${HOME}"}) {
        const std::string p = prefix;
        if (value.compare(0, p.size(), p) == 0 &&
            (value.size() == p.size() || value[p.size()] == '/'))
            return home + value.substr(p.size());
    }
    if (!value.empty() && value[0] == '/')
        return value;
    return std::nullopt;
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

void ParseLine(const std::string& line, const std::string& home,
               std::map<std::string, std::string>& dirs)
{
    const std::string trimmed = Trim(line);
    const std::size_t equals = trimmed.find('=');
    if (trimmed.empty() || trimmed[0] == '#' || equals == std::string::npos)
        return;
    const std::string key = Trim(trimmed.substr(0, equals));
    std::string value = Trim(trimmed.substr(equals + 1));
    if (key.empty() || value.find('\0') != std::string::npos)
        return;
    if (!value.empty() && value[0] == '"') {
        const auto unquoted = Unquote(value);
        if (!unquoted)
            return;
        value = *unquoted;
    }
    if (const auto path = Resolve(value, home))
        dirs[key] = WithoutTrailingSlashes(*path);
}

} // namespace

std::map<std::string, std::string> ParseUserDirs(const std::string& text, const std::string& home)
{
    std::map<std::string, std::string> dirs;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        ParseLine(line, home, dirs);
    return dirs;
}
