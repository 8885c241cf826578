#include "ExpandEnvironment.h"

#include "TempFileName.h"
#include "XdgFolders.h"

#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

std::optional<std::string> FolderVariable(const std::string& name)
{
    const char* n = name.c_str();
    if (!strcasecmp(n, "UserProfile") || !strcasecmp(n, "HomePath"))
        return CXdgFolders::Home();
    if (!strcasecmp(n, "HomeDrive"))
        return std::string();
    if (!strcasecmp(n, "AppData"))
        return CXdgFolders::ConfigHome();
    if (!strcasecmp(n, "LocalAppData"))
        return CXdgFolders::DataHome();
    if (!strcasecmp(n, "Temp") || !strcasecmp(n, "Tmp"))
        return TvGetTempPath();
    return std::nullopt;
}

std::optional<std::string> EnvironmentVariable(const std::string& name)
{
    if (const char* value = std::getenv(name.c_str()))
        return std::string(value);
    for (char** entry = environ; entry && *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (equals && static_cast<std::size_t>(equals - *entry) == name.size() &&
            strncasecmp(*entry, name.c_str(), name.size()) == 0)
            return std::string(equals + 1);
    }
    return std::nullopt;
}

std::optional<std::string> Lookup(const std::string& name)
{
    // "=" cannot be part of a variable name; getenv would match a longer entry.
    if (name.empty() || name.find('=') != std::string::npos)
        return std::nullopt;
    if (auto folder = FolderVariable(name))
        return folder;
    return EnvironmentVariable(name);
}

} // namespace

std::string ExpandEnvironmentStrings(const std::string& text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('%', i);
        const std::size_t close =
            open == std::string::npos ? std::string::npos : text.find('%', open + 1);
        if (close == std::string::npos) {
            out.append(text, i, std::string::npos);
            break;
        }
        out.append(text, i, open - i);
        if (const auto value = Lookup(text.substr(open + 1, close - open - 1))) {
            out += *value;
            i = close + 1;
        } else {
            out.append(text, open, close - open); // "%NAME", the closing "%" is read again
            i = close;
        }
    }
    return out;
}
