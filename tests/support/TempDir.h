#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tbmtest {

// A fresh folder for one test, below the process's test root. It is removed when
// the test passes and kept when it fails, so the files can be inspected.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string Str() const { return m_path.string(); }
    // Path of a child entry, as a string.
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Test fixture that gives every test its own TempDir.
class TempDirTest : public ::testing::Test
{
protected:
    TempDir m_dir;
};

// Whole-file helpers for tests.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The lines of a text, without their "\n".
std::vector<std::string> Lines(const std::string& text);

} // namespace tbmtest
