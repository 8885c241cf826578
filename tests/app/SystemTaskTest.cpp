// The scheduled task in each of its forms, with stand-ins for systemctl and crontab
// (TBM_SYSTEMCTL, TBM_CRONTAB): the command written into a form must start the
// program with exactly the job name, however it is spelled, and there is never more
// than one task, nor less than the previous one when a registration fails.
#include "AutostartTaskForm.h"
#include "BackupCommandLineInfo.h"
#include "RunOptions.h"
#include "SystemTask.h"
#include "SystemdTaskForm.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;

const char kName[] = "TBManager_SC";
const char kJob[] = "Mum's \"daily\" 100% $HOME; rm -rf ~ `id` \\n";

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The words of an ExecStart= line as systemd reads them: blanks separate words, a
// double-quoted word takes backslash escapes, "%%" is "%" and "$$" is "$"; a lone
// "%" or "$" would be replaced by systemd, so it stands for something else here.
std::vector<std::string> SystemdWords(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        std::string word;
        const bool quoted = line[i] == '"';
        i += quoted ? 1 : 0;
        for (; i < line.size() && (quoted ? line[i] != '"' : line[i] != ' '); ++i) {
            if (line[i] == '\\' && i + 1 < line.size())
                ++i;
            else if (line[i] == '%' || line[i] == '$') {
                if (i + 1 >= line.size() || line[i + 1] != line[i]) {
                    word += "<replaced>";
                    continue;
                }
                ++i;
            }
            word += line[i];
        }
        i += quoted ? 1 : 0;
        words.push_back(word);
    }
    return words;
}

std::string LineStarting(const std::string& text, const std::string& start)
{
    const std::size_t at = text.find("\n" + start);
    if (at == std::string::npos)
        return {};
    const std::size_t begin = at + 1 + start.size();
    return text.substr(begin, text.find('\n', begin) - begin);
}

std::vector<std::string> SplitNul(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find('\0', begin)) != std::string::npos; begin = end + 1)
        words.push_back(text.substr(begin, end - begin));
    return words;
}

int RunArgv(const std::vector<std::string>& argv)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> pointers;
        for (const std::string& word : argv)
            pointers.push_back(const_cast<char*>(word.c_str()));
        pointers.push_back(nullptr);
        execvp(pointers[0], pointers.data());
        _exit(127);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class SystemTaskTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        // systemctl: every call logged; "show-environment" answers as the file
        // "manager" says, every other call as "status" says.
        Script("systemctl", "echo \"$*\" >> '" + m_dir / "systemctl.log" + "'\n"
                            "if [ \"$2\" = show-environment ]; then [ -f '" + m_dir / "manager" + "' ]; exit; fi\n"
                            "exit $(cat '" + m_dir / "status" + "' 2>/dev/null || echo 0)\n");
        // crontab as cron's own: "-l" fails without a table ("no crontab for"), and
        // with the file "deny" it fails as a table it cannot read.
        Script("crontab", "if [ \"$1\" = -l ]; then\n"
                          "  [ -f '" + m_dir / "deny" + "' ] && { echo 'crontab: Permission denied' >&2; exit 1; }\n"
                          "  [ -f '" + m_dir / "table" + "' ] && { cat '" + m_dir / "table" + "'; exit; }\n"
                          "  echo 'no crontab for tester' >&2; exit 1\n"
                          "fi\n"
                          "cp \"$1\" '" + m_dir / "table" + "'\n");
        // The program a task starts: its folder and arguments, NUL-separated, and
        // whether it was told to wait for mains power.
        Script("TBManager", "printf '%s' \"$TBM_ONLY_ON_MAINS\" > '" + m_dir / "mains" + "'\n"
                            "{ pwd; printf '%s\\0' \"$@\"; } > '" + m_dir / "started" + "'\n");
        setenv("TBM_SYSTEMCTL", (m_dir / "systemctl").c_str(), 1);
        setenv("TBM_CRONTAB", (m_dir / "crontab").c_str(), 1);
        std::filesystem::create_directories(m_dir / "program folder");
        m_task.m_strProgram = m_dir / "TBManager";
        m_task.m_strWorkingFolder = m_dir / "program folder";
        m_task.m_Arguments = {"-e", "-job", std::string("\"") + kJob + "\"", "-novalidate"};
        m_task.m_nHour = 21;
        m_task.m_nMinute = 5;
    }
    void TearDown() override
    {
        unsetenv("TBM_SYSTEMCTL");
        unsetenv("TBM_CRONTAB");
        CSystemTask::Remove(kName);
    }
    void Script(const std::string& name, const std::string& body)
    {
        WriteFileBytes(m_dir / name, "#!/bin/sh\n" + body);
        chmod((m_dir / name).c_str(), 0755);
    }
    void SetManager(bool runs)
    {
        if (runs)
            WriteFileBytes(m_dir / "manager", "");
        else
            std::filesystem::remove(m_dir / "manager");
    }
    // What the program was started with, read back as TBManager reads its command line.
    void ExpectStartedWithTheJob()
    {
        const std::string started = ReadFileBytes(m_dir / "started");
        const std::size_t line = started.find('\n');
        ASSERT_NE(line, std::string::npos) << "the program was not started";
        EXPECT_EQ(started.substr(0, line), m_task.m_strWorkingFolder);
        std::vector<std::string> argv = SplitNul(started.substr(line + 1));
        EXPECT_EQ(argv, m_task.m_Arguments);
        argv.insert(argv.begin(), m_task.m_strProgram);
        g_strJobName.clear();
        CBackupCommandLineInfo info(argv);
        ParseCommandLine(info);
        EXPECT_EQ(g_strJobName, kJob);
        EXPECT_FALSE(g_bValidate);
        std::filesystem::remove(m_dir / "started");
        std::filesystem::remove(m_dir / "mains");
    }
    std::string Service() const { return ReadFileBytes(CSystemdTaskForm::Folder() + "/TBManager_SC.service"); }
    std::string Timer() const { return ReadFileBytes(CSystemdTaskForm::Folder() + "/TBManager_SC.timer"); }
    std::string Table() const { return ReadFileBytes(m_dir / "table"); }

    CSystemTask m_task;
};

} // namespace

TEST_F(SystemTaskTest, JobNameArrivesUnchangedFromEveryForm)
{
    // Not on battery: the timer says so itself, the other forms tell the program.
    m_task.m_bNoBattery = true;
    // A crontab line: cron turns "\%" into "%" and hands the rest to the shell.
    SetManager(false);
    ASSERT_EQ(m_task.Register(kName, false), CSystemTask::kSuccess);
    std::string line = Table();
    ASSERT_TRUE(Has(line, "5 21 * * * ")) << line;
    line = line.substr(std::string("5 21 * * * ").size());
    for (std::size_t at; (at = line.find("\\%")) != std::string::npos;)
        line.erase(at, 1);
    EXPECT_EQ(RunArgv({"/bin/sh", "-c", line}), 0) << line;
    EXPECT_EQ(ReadFileBytes(m_dir / "mains"), "1");
    ExpectStartedWithTheJob();

    // The systemd service, its ExecStart= read by systemd's rules.
    SetManager(true);
    ASSERT_EQ(m_task.Register(kName, false), CSystemTask::kSuccess);
    EXPECT_EQ(LineStarting(Service(), "WorkingDirectory="), m_task.m_strWorkingFolder);
    std::vector<std::string> words{"/bin/sh", "-c", "cd \"$0\" && exec \"$@\"",
                                   LineStarting(Service(), "WorkingDirectory=")};
    for (const std::string& word : SystemdWords(LineStarting(Service(), "ExecStart=")))
        words.push_back(word);
    EXPECT_EQ(RunArgv(words), 0);
    EXPECT_TRUE(Has(Service(), "\nConditionACPower=true\n"));
    ExpectStartedWithTheJob();

    // The autostart entry, started by GLib's launcher as a desktop session would.
    m_task.m_nFrequency = CSystemTask::kAtLogOn;
    ASSERT_EQ(m_task.Register(kName, false), CSystemTask::kSuccess);
    if (RunArgv({"sh", "-c", "command -v gio >/dev/null"}) != 0)
        GTEST_SKIP() << "no gio to start the autostart entry";
    EXPECT_EQ(RunArgv({"gio", "launch", CAutostartTaskForm::Path(kName)}), 0);
    for (int i = 0; i < 200 && !std::filesystem::exists(m_dir / "started"); ++i)
        usleep(20000);
    usleep(50000);
    EXPECT_EQ(ReadFileBytes(m_dir / "mains"), "1");
    ExpectStartedWithTheJob();
}

TEST_F(SystemTaskTest, OneTaskAtATimeAndAFailedRegistrationKeepsThePrevious)
{
    WriteFileBytes(m_dir / "table", "0 3 * * * /usr/bin/true # the user's own\n");
    SetManager(true);
    m_task.m_bNoBattery = true;
    ASSERT_EQ(m_task.Register(kName, false), CSystemTask::kSuccess);
    EXPECT_TRUE(Has(Timer(), "OnCalendar=*-*-* 21:05:00\n")) << Timer();
    EXPECT_TRUE(Has(Timer(), "Persistent=true\n"));
    EXPECT_TRUE(Has(Service(), "ConditionACPower=true\n"));
    EXPECT_TRUE(Has(Service(), "Type=simple\n"));
    EXPECT_TRUE(Has(Service(), "Environment=\"TBM_REGISTRY=")) << Service();
    EXPECT_TRUE(Has(ReadFileBytes(m_dir / "systemctl.log"), "--user enable --now TBManager_SC.timer"));

    m_task.m_nFrequency = CSystemTask::kWeekly;
    m_task.m_wWeekDays = 1; // Sunday
    m_task.m_bNoBattery = false;
    ASSERT_EQ(m_task.Register(kName, false), CSystemTask::kSuccess);
    const std::string weekly = Timer();
    EXPECT_TRUE(Has(weekly, "OnCalendar=Sun *-*-* 21:05:00\n")) << weekly;
    EXPECT_FALSE(Has(Service(), "ConditionACPower"));
    EXPECT_EQ(m_task.Register(kName, true), CSystemTask::kExists);

    // systemd refuses the new timer: the weekly one stays.
    WriteFileBytes(m_dir / "status", "1");
    m_task.m_nFrequency = CSystemTask::kDaily;
    EXPECT_EQ(m_task.Register(kName, false), CSystemTask::kFailed);
    EXPECT_EQ(Timer(), weekly);
    WriteFileBytes(m_dir / "status", "0");

    // Another form replaces the timer; the user's own crontab lines stay.
    SetManager(false);
    ASSERT_EQ(m_task.Register(kName, false), CSystemTask::kSuccess);
    EXPECT_TRUE(Timer().empty() && Service().empty());
    EXPECT_TRUE(Has(Table(), "# the user's own\n"));
    EXPECT_TRUE(Has(Table(), "# TBManager_SC\n")) << Table();
    m_task.m_nFrequency = CSystemTask::kAtLogOn;
    ASSERT_EQ(m_task.Register(kName, false), CSystemTask::kSuccess);
    EXPECT_FALSE(Has(Table(), "TBManager_SC"));
    EXPECT_TRUE(Has(Table(), "# the user's own\n"));
    EXPECT_TRUE(CSystemTask::Exists(kName));

    EXPECT_EQ(CSystemTask::Remove(kName), CSystemTask::kSuccess);
    EXPECT_FALSE(CSystemTask::Exists(kName));
    EXPECT_EQ(Table(), "0 3 * * * /usr/bin/true # the user's own\n");

    // A crontab that cannot be read is never replaced by one holding only our line.
    WriteFileBytes(m_dir / "deny", "");
    m_task.m_nFrequency = CSystemTask::kDaily;
    EXPECT_EQ(m_task.Register(kName, false), CSystemTask::kFailed);
    EXPECT_EQ(Table(), "0 3 * * * /usr/bin/true # the user's own\n");
    std::filesystem::remove(m_dir / "deny");
}
