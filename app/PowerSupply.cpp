#include "PowerSupply.h"

#include <dirent.h>

#include <cstdlib>
#include <fstream>

namespace {

std::string ReadWord(const std::string& path)
{
    std::ifstream in(path);
    std::string word;
    in >> word;
    return word;
}

} // namespace

bool CPowerSupply::IsOnBattery(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    bool battery = false;
    bool outsideOnline = false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        const std::string supply = folder + "/" + name + "/";
        const std::string type = ReadWord(supply + "type");
        // A mouse's or a headset's battery says nothing about the machine's power.
        if (type == "Battery" && ReadWord(supply + "scope") != "Device")
            battery = true;
        else if ((type == "Mains" || type.rfind("USB", 0) == 0) && ReadWord(supply + "online") == "1")
            outsideOnline = true;
    }
    closedir(dir);
    return battery && !outsideOnline;
}

bool CPowerSupply::MustWaitForMains(const std::string& folder)
{
    const char* value = std::getenv(kOnlyOnMains);
    return value && std::string(value) == "1" && IsOnBattery(folder);
}
