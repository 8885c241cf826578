#include "XdgFolders.h"

#include "FolderTools.h"
#include "UserDirs.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

// user-dirs.dirs is a few hundred bytes; more is not a settings file.
constexpr std::size_t kMaxUserDirsSize = 64 * 1024;

std::string AbsoluteEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string HomeFromPasswd()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) != 0 || !result ||
        !result->pw_dir || result->pw_dir[0] != '/')
        return {};
    return result->pw_dir;
}

std::string EnvOrHome(const char* name, const char* underHome)
{
    std::string value = AbsoluteEnv(name);
    if (!value.empty())
        return value;
    const std::string home = CXdgFolders::Home();
    return home.empty() ? std::string() : home + "/" + underHome;
}

std::string ReadSmallFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text;
    text.resize(kMaxUserDirsSize);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

struct Place
{
    std::string path;
    mode_t mode; // for folders that have to be created
};

constexpr mode_t kPrivate = 0700;
constexpr mode_t kShared = 0777; // less the umask

std::string Sub(const std::string& base, const char* name)
{
    return base.empty() ? std::string() : base + "/" + name;
}

Place PlaceOf(int id)
{
    switch (id) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
        return {CXdgFolders::UserDir("XDG_DESKTOP_DIR", "Desktop"), kShared};
    case CSIDL_PERSONAL:
        return {CXdgFolders::UserDir("XDG_DOCUMENTS_DIR", "Documents"), kShared};
    case CSIDL_MYMUSIC:
        return {CXdgFolders::UserDir("XDG_MUSIC_DIR", "Music"), kShared};
    case CSIDL_MYVIDEO:
        return {CXdgFolders::UserDir("XDG_VIDEOS_DIR", "Videos"), kShared};
    case CSIDL_MYPICTURES:
        return {CXdgFolders::UserDir("XDG_PICTURES_DIR", "Pictures"), kShared};
    case CSIDL_TEMPLATES:
        return {CXdgFolders::UserDir("XDG_TEMPLATES_DIR", "Templates"), kShared};
    case CSIDL_FAVORITES:
        return {Sub(CXdgFolders::DataHome(), "TBManager/Favorites"), kPrivate};
    case CSIDL_RECENT:
        return {Sub(CXdgFolders::DataHome(), "TBManager/Recent"), kPrivate};
    case CSIDL_COOKIES:
        return {Sub(CXdgFolders::DataHome(), "TBManager/Cookies"), kPrivate};
    case CSIDL_HISTORY:
        return {Sub(CXdgFolders::DataHome(), "TBManager/History"), kPrivate};
    case CSIDL_STARTUP:
        return {Sub(CXdgFolders::ConfigHome(), "autostart"), kPrivate};
    case CSIDL_STARTMENU:
        return {Sub(CXdgFolders::DataHome(), "applications"), kPrivate};
    case CSIDL_FONTS:
        return {Sub(CXdgFolders::DataHome(), "fonts"), kPrivate};
    case CSIDL_APPDATA:
        return {CXdgFolders::ConfigHome(), kPrivate};
    case CSIDL_LOCAL_APPDATA:
        return {CXdgFolders::DataHome(), kPrivate};
    case CSIDL_INTERNET_CACHE:
        return {CXdgFolders::CacheHome(), kPrivate};
    case CSIDL_COMMON_APPDATA:
        return {CXdgFolders::CommonConfig(), kShared};
    case CSIDL_PROFILE:
        return {CXdgFolders::Home(), kPrivate};
    default:
        return {{}, kPrivate};
    }
}

bool IsFolder(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string CXdgFolders::Home()
{
    const std::string home = AbsoluteEnv("HOME");
    return home.empty() ? HomeFromPasswd() : home;
}

std::string CXdgFolders::ConfigHome()
{
    return EnvOrHome("XDG_CONFIG_HOME", ".config");
}

std::string CXdgFolders::DataHome()
{
    return EnvOrHome("XDG_DATA_HOME", ".local/share");
}

std::string CXdgFolders::CacheHome()
{
    return EnvOrHome("XDG_CACHE_HOME", ".cache");
}

std::string CXdgFolders::CommonConfig()
{
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    const std::string list = dirs ? dirs : "";
    const std::string first = list.substr(0, list.find(':'));
    return !first.empty() && first[0] == '/' ? first : std::string("/etc/xdg");
}

std::string CXdgFolders::UserDir(const std::string& key, const std::string& fallback)
{
    const std::string home = Home();
    if (home.empty())
        return {};
    const std::string config = ConfigHome();
    if (!config.empty()) {
        const auto dirs = ParseUserDirs(ReadSmallFile(config + "/user-dirs.dirs"), home);
        const auto found = dirs.find(key);
        if (found != dirs.end())
            return found->second;
    }
    return home + "/" + fallback;
}

std::string CXdgFolders::GetFolder(int id)
{
    const Place place = PlaceOf(id & ~CSIDL_FLAG_CREATE);
    if (place.path.empty() || !(id & CSIDL_FLAG_CREATE))
        return place.path;
    if (!IsFolder(place.path))
        tbm::CreateFolderPath(place.path, place.mode);
    return IsFolder(place.path) ? place.path : std::string();
}
