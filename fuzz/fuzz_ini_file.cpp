// Feeds arbitrary bytes to CIniFile as a file: read, query, write, read back. Whatever
// was read must write and read back to the very same bytes.
#include "IniFile.h"
#include "TempFileName.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string ScratchPath(const char* tag)
{
    return TvGetTempPath() + "/fuzz_ini_" + std::to_string(getpid()) + tag + ".ini";
}

void Store(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Section and value names as the reader sees them, to query what it stored.
void CollectNames(const std::string& text, std::vector<std::string>& keys,
                  std::vector<std::string>& names)
{
    keys.push_back("");
    size_t start = 0;
    while (start < text.size() && keys.size() + names.size() < 64) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line[0] == '[')
            keys.push_back(line.substr(1, line.find(']') - 1));
        else if (line.find('=') != std::string::npos)
            names.push_back(line.substr(0, line.find('=')));
    }
}

void Query(CIniFile& ini, const std::vector<std::string>& keys,
           const std::vector<std::string>& names)
{
    for (const std::string& key : keys) {
        ini.GetNumValues(key);
        for (const std::string& name : names) {
            ini.GetValue(key, name);
            ini.GetValueI(key, name);
            ini.GetValueF(key, name);
            ini.GetValueRGB(key, name);
            ini.GetValuePO(key, name);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = ScratchPath("in");
    const std::string output = ScratchPath("out");
    Store(input, data, size);

    CIniFile first(input);
    if (!first.ReadFile())
        std::abort();
    std::vector<std::string> keys;
    std::vector<std::string> names;
    CollectNames(std::string(reinterpret_cast<const char*>(data), size), keys, names);
    Query(first, keys, names);
    first.SetPath(output);
    if (!first.WriteFile())
        std::abort();
    const std::string written = Load(output);

    CIniFile second(output);
    if (!second.ReadFile() || second.GetNumKeys() > first.GetNumKeys())
        std::abort();
    if (!second.WriteFile() || Load(output) != written)
        std::abort(); // what was read did not survive a write and a read
    std::remove(input.c_str());
    std::remove(output.c_str());
    return 0;
}
