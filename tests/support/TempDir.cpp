#include "TempDir.h"

#include "TestEnvironment.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace tbmtest {

TempDir::TempDir()
{
    std::string pattern = TestRoot() + "/case-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a test folder");
    m_path = pattern;
}

TempDir::~TempDir()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info && info->result()->Failed()) {
        std::fprintf(stderr, "test files kept in %s\n", m_path.c_str());
        return;
    }
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

// In one read: tests compare whole archives, and a character-wise read is slow in a
// sanitised build.
std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    const std::streamoff size = in.tellg();
    if (size < 0) { // not a regular file: read as it comes
        in.clear();
        in.seekg(0);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace tbmtest
