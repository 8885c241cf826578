#pragma once

#include "TbmRunner.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

namespace tbmtest {

// Runs the tbm program in a home folder of the test's own, next to a source tree of
// real files: nested and empty folders, an empty file, non-ASCII names and an
// executable.
class TbmCommandTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        m_home = m_dir / "home";
        mkdir(m_home.c_str(), 0700);
        m_runner = std::make_unique<CTbmRunner>(m_dir.Str(), m_home);
    }

    CTbmRunner& Tbm() { return *m_runner; }

    std::string MakeTree()
    {
        const std::string src = m_dir / "src";
        for (const char* folder : {"", "/nested", "/nested/deeper", "/empty folder"})
            mkdir((src + folder).c_str(), 0755);
        WriteFileBytes(src + "/nested/deeper/notes.txt", "line\n");
        WriteFileBytes(src + "/empty.bin", "");
        WriteFileBytes(src + "/gr\xC3\xBC\xC3\x9F"
                             "e \xC3\xA9t\xC3\xA9.txt",
                       "bonjour\n");
        WriteFileBytes(src + "/run.sh", "#!/bin/sh\necho hi\n");
        chmod((src + "/run.sh").c_str(), 0755);
        std::string text;
        for (int i = 0; text.size() < 300000; ++i)
            text += "line " + std::to_string(i) + " of a compressible file\n";
        WriteFileBytes(src + "/nested/big.txt", text);
        return src;
    }

    // `bytes` of noise that deflate cannot shrink.
    static std::string Noise(std::size_t bytes, std::uint32_t seed)
    {
        std::string noise(bytes, '\0');
        for (char& c : noise) {
            seed = seed * 1664525u + 1013904223u;
            c = static_cast<char>(seed >> 24);
        }
        return noise;
    }

    std::string m_home;
    std::unique_ptr<CTbmRunner> m_runner;
};

} // namespace tbmtest
