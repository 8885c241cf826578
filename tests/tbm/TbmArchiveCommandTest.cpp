#include "TbmCommandFixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

using tbmtest::Quote;
using tbmtest::Shell;
using tbmtest::TbmCommandTest;

TEST_F(TbmCommandTest, ListJsonParsesAndExtractGivesTheFilesBack)
{
    const std::string src = MakeTree();
    const std::string out = m_dir / "tree.tbm";
    ASSERT_EQ(Tbm().Run({"backup", "--no-verify", "--output", out, src}).status, 0);

    const auto listed = Tbm().Run({"list", out, "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    tbmtest::WriteFileBytes(m_dir / "list.json", listed.out);
    // Every entry with its fields, the same names zipfile sees, sizes that agree.
    const std::string check = R"(
import json, sys, zipfile
entries = json.load(open(sys.argv[1]))
z = zipfile.ZipFile(sys.argv[2])
assert [e["name"] for e in entries] == z.namelist()
for e in entries:
    i = z.getinfo(e["name"])
    assert e["size"] == i.file_size and e["compressed_size"] == i.compress_size
    assert int(e["crc"], 16) == i.CRC and len(e["time"]) == 19
    assert e["directory"] == e["name"].endswith("/") and e["encrypted"] is False
    assert e["encryption"] == "none"
)";
    tbmtest::WriteFileBytes(m_dir / "check.py", check);
    EXPECT_EQ(Shell("python3 " + Quote(m_dir / "check.py") + " " + Quote(m_dir / "list.json") +
                    " " + Quote(out)),
              0);

    const std::string to = m_dir / "restored";
    const auto extracted = Tbm().Run({"extract", out, "--to", to});
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(tbmtest::ReadFileBytes(to + src + "/nested/deeper/notes.txt"), "line\n");
    EXPECT_EQ(tbmtest::ReadFileBytes(to + src +
                                     "/gr\xC3\xBC\xC3\x9F"
                                     "e \xC3\xA9t\xC3\xA9.txt"),
              "bonjour\n");
    EXPECT_EQ(tbmtest::ReadFileBytes(to + "/maindata.ini").empty(), false);
}

TEST_F(TbmCommandTest, ExtractKeepsHostileNamesInsideTheTarget)
{
    // An archive made by another tool with names that try to climb out.
    const std::string make = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("../../escaped.txt", "out")
    z.writestr("/etc/absolute.txt", "abs")
    z.writestr("fine/ok.txt", "ok")
)";
    tbmtest::WriteFileBytes(m_dir / "make.py", make);
    const std::string archive = m_dir / "deep/er/hostile.zip";
    ASSERT_EQ(Shell("mkdir -p " + Quote(m_dir / "deep/er") + " && python3 " +
                    Quote(m_dir / "make.py") + " " + Quote(archive)),
              0);
    const std::string to = m_dir / "deep/er/target";
    Tbm().Run({"extract", archive, "--to", to});
    EXPECT_EQ(tbmtest::ReadFileBytes(to + "/fine/ok.txt"), "ok");
    struct stat st
    {
    };
    EXPECT_NE(stat((m_dir / "deep/escaped.txt").c_str(), &st), 0);
    EXPECT_NE(stat((m_dir / "escaped.txt").c_str(), &st), 0);
    EXPECT_NE(stat("/etc/absolute.txt", &st), 0);
}

TEST_F(TbmCommandTest, DamagedOrMissingBackupFails)
{
    const std::string src = MakeTree();
    const std::string out = m_dir / "tree.tbm";
    ASSERT_EQ(Tbm().Run({"backup", "--no-verify", "--output", out, src}).status, 0);
    // Flip bytes inside the compressed data of the big file, well past the headers.
    std::string bytes = tbmtest::ReadFileBytes(out);
    const std::size_t at = bytes.find("big.txt");
    ASSERT_NE(at, std::string::npos);
    for (std::size_t i = at + 200; i < at + 260; ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    tbmtest::WriteFileBytes(out, bytes);
    const auto verified = Tbm().Run({"verify", out});
    EXPECT_EQ(verified.status, 1);
    EXPECT_NE(verified.err.find("big.txt"), std::string::npos) << verified.err;

    for (const char* command : {"verify", "list"})
        EXPECT_EQ(Tbm().Run({command, m_dir / "missing.tbm"}).status, 1) << command;
    tbmtest::WriteFileBytes(m_dir / "junk.tbm", "this is not a zip file at all");
    EXPECT_EQ(Tbm().Run({"list", m_dir / "junk.tbm"}).status, 1);

    // An archive that cannot be opened is a failed verification, not a count of
    // damaged entries: neither junk, nor a backup cut short, nor a missing file.
    tbmtest::WriteFileBytes(m_dir / "cut.tbm", bytes.substr(0, bytes.size() / 2));
    for (const char* name : {"junk.tbm", "cut.tbm", "missing.tbm"}) {
        const auto run = Tbm().Run({"verify", m_dir / name});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_NE(run.out.find("the archive cannot be read"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("damaged entries"), std::string::npos) << run.out;
    }
}

TEST_F(TbmCommandTest, NamesShownOnTheTerminalHaveTheirControlCharactersEscaped)
{
    const std::string make = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("red\x1b[31mname\x07.txt", "x")
    z.writestr("c1\u009b2J.txt", "y")
    z.writestr("caf\u00e9.txt", "z")
)";
    tbmtest::WriteFileBytes(m_dir / "make.py", make);
    const std::string archive = m_dir / "names.zip";
    ASSERT_EQ(Shell("python3 " + Quote(m_dir / "make.py") + " " + Quote(archive)), 0);

    const auto listed = Tbm().Run({"list", archive});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("red\\x1b[31mname\\x07.txt"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("c1\\u009b2J.txt"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("caf\xC3\xA9.txt"), std::string::npos) << listed.out;
    EXPECT_EQ(listed.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(listed.out.find("\xC2\x9B"), std::string::npos);
    // JSON keeps escapes of its own.
    const auto json = Tbm().Run({"list", archive, "--json"});
    EXPECT_NE(json.out.find("red\\u001b[31mname\\u0007.txt"), std::string::npos) << json.out;

    // Messages naming an entry escape it too: the entry's place is taken by a folder.
    const std::string to = m_dir / "to";
    ASSERT_EQ(mkdir(to.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((to + "/red\x1b[31mname\x07.txt").c_str(), 0755), 0);
    const auto extracted = Tbm().Run({"extract", archive, "--to", to});
    EXPECT_EQ(extracted.status, 1);
    EXPECT_NE(extracted.err.find("red\\x1b[31mname"), std::string::npos) << extracted.err;
    EXPECT_EQ(extracted.err.find('\x1b'), std::string::npos) << extracted.err;
}

class TbmUsageTest : public TbmCommandTest,
                     public ::testing::WithParamInterface<std::vector<std::string>>
{
};

TEST_P(TbmUsageTest, GivesTwoAndTheShortUsage)
{
    std::vector<std::string> args = GetParam();
    for (std::string& arg : args)
        if (arg == "DIR")
            arg = m_dir.Str();
    const auto run = Tbm().Run(args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("tbm: "), std::string::npos);
    EXPECT_NE(run.err.find("Usage:"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TbmUsageTest,
    ::testing::Values(std::vector<std::string>{}, std::vector<std::string>{"frobnicate"},
                      std::vector<std::string>{"backup", "--colour"},
                      std::vector<std::string>{"backup", "--type", "full", "DIR"},
                      std::vector<std::string>{"backup", "/no/such/path"},
                      std::vector<std::string>{"backup", "--job", "Nobody"},
                      std::vector<std::string>{"backup", "--password-env", "TBM_UNSET_VAR", "DIR"},
                      std::vector<std::string>{"backup", "--password-file", "/no/file", "DIR"},
                      std::vector<std::string>{"backup", "--output", "DIR", "DIR"},
                      std::vector<std::string>{"backup", "--encryption", "aes256", "DIR"},
                      std::vector<std::string>{"extract", "a.tbm"},
                      std::vector<std::string>{"list"}));

} // namespace
