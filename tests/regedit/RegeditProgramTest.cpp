// The regedit program as the registry export starts it and as users run it by hand.
#include "RegTextCodec.h"

#include "RegeditFixture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;

namespace {

struct RunResult
{
    int status = -1;
    std::string out;
    std::string err;
};

std::string ProgramFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

class RegeditProgramTest : public RegeditFixture
{
protected:
    // Runs regedit from the program folder with its output caught in files.
    RunResult Run(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> argv{ProgramFolder() + "/regedit"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> args;
        for (std::string& arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        const std::string outFile = m_dir / "stdout.txt";
        const std::string errFile = m_dir / "stderr.txt";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t pid = 0;
        RunResult result;
        const int started = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(0, started) << "cannot start " << argv[0];
        int status = 0;
        if (started == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            result.status = WEXITSTATUS(status);
        result.out = ReadFileBytes(outFile);
        result.err = ReadFileBytes(errFile);
        return result;
    }

    static std::size_t LineCount(const std::string& text)
    {
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }
};

} // namespace

TEST_F(RegeditProgramTest, HelpTellsTheUsage)
{
    const RunResult result = Run({"--help"});
    EXPECT_EQ(0, result.status);
    EXPECT_NE(std::string::npos, result.out.find("regedit -e FILE KEY"));
    EXPECT_NE(std::string::npos, result.out.find("regedit -s FILE"));
    EXPECT_TRUE(result.err.empty());
}

TEST_F(RegeditProgramTest, WrongArgumentsAreAUsageError)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"-x"}, {"-e", "file"}, {"-s"}, {"-s", "a", "b"}}) {
        const RunResult result = Run(args);
        EXPECT_EQ(2, result.status);
        EXPECT_EQ(0u, result.err.find("regedit: ")) << result.err;
    }
}

TEST_F(RegeditProgramTest, ExportsAKeyAndImportsItBack)
{
    SetText("Software\\Tovan", "Name", "Tovan");
    SetValue("Software\\Tovan\\Sub", "n", REG_DWORD, std::string("\x07\0\0\0", 4));
    const std::string file = m_dir / "Tovan.reg";
    const RunResult exported = Run({"-e", file, "HKEY_CURRENT_USER\\Software\\Tovan"});
    ASSERT_EQ(0, exported.status) << exported.err;
    EXPECT_TRUE(exported.out.empty() && exported.err.empty());
    const std::string bytes = ReadFileBytes(file);
    EXPECT_EQ(0u, bytes.find(Utf16Bytes(u"Windows Registry Editor Version 5.00\r\n", true)));

    const std::vector<TvRegKeyContent> before = Dump();
    UseRegistry(m_dir / "second.sqlite");
    const RunResult imported = Run({"-s", file});
    EXPECT_EQ(0, imported.status) << imported.err;
    EXPECT_TRUE(imported.out.empty() && imported.err.empty());
    EXPECT_EQ(before, Dump());
}

TEST_F(RegeditProgramTest, AMissingKeyFailsWithoutAFile)
{
    const std::string file = m_dir / "none.reg";
    const RunResult result = Run({"-e", file, "HKCU\\Software\\Nothing"});
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(1u, LineCount(result.err)) << result.err;
    EXPECT_NE(std::string::npos, result.err.find("does not exist"));
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(RegeditProgramTest, ABrokenFileFailsWithItsLineAndChangesNothing)
{
    const std::string file = m_dir / "broken.reg";
    WriteFileBytes(file, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"1\"\r\n\"w\"=what\r\n");
    const RunResult result = Run({"-s", file});
    EXPECT_EQ(1, result.status);
    EXPECT_EQ("regedit: " + file + ":5: unknown value data: what\n", result.err);
    EXPECT_FALSE(KeyExists("A"));
}

TEST_F(RegeditProgramTest, AMissingFileFails)
{
    const RunResult result = Run({"-s", m_dir / "absent.reg"});
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(1u, LineCount(result.err));
    EXPECT_NE(std::string::npos, result.err.find("absent.reg"));
}
