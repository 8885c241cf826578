#include "ZipWriterTestUtil.h"

#include <cstdio>
#include <random>

namespace tbmtest {

std::uint16_t At16(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(offset)) |
                                      (static_cast<unsigned char>(bytes.at(offset + 1)) << 8));
}

std::uint32_t At32(const std::string& bytes, std::size_t offset)
{
    return At16(bytes, offset) | (std::uint32_t{At16(bytes, offset + 2)} << 16);
}

std::vector<std::size_t> FindSignatures(const std::string& bytes, std::uint32_t signature)
{
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (At32(bytes, i) == signature)
            found.push_back(i);
    return found;
}

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 engine(seed);
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(engine() & 0xFF);
    return out;
}

int RunCommand(const std::string& command, std::string* output)
{
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        if (output)
            output->append(buffer, got);
    return pclose(pipe);
}

std::string Quote(const std::string& path)
{
    return "'" + path + "'";
}

bool HaveProgram(const std::string& name)
{
    return RunCommand("command -v " + name + " >/dev/null") == 0;
}

} // namespace tbmtest
