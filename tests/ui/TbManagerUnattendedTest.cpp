// TBManager's unattended run ("-e -job NAME") on a machine without a display, as a
// scheduler starts it: the job runs without a window and the process ends with the
// code a script reads, whatever the run met. The jobs are saved with tbm first.
#include "TbmCommandFixture.h"

#include "Globals.h"
#include "ProjectData.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using tbmtest::ReadFileBytes;
using tbmtest::TbmRun;
using tbmtest::WriteFileBytes;

const char kJob[] = "My Weekly Job";

class TbManagerUnattendedTest : public tbmtest::TbmCommandTest
{
protected:
    void SetUp() override
    {
        TbmCommandTest::SetUp();
        m_out = m_dir / "weekly.tbm";
        m_manager = std::make_unique<tbmtest::CTbmRunner>(m_dir.Str(), m_home);
        m_manager->SetProgram(g_Globals.GetProgramPath("TBManager"));
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
            m_manager->SetEnv(name, "");
        m_manager->SetEnv("QT_QPA_PLATFORM", "offscreen");
    }

    // Saves the job `kJob` over `src` through tbm (its first backup, unverified).
    void SaveJob(const std::string& src)
    {
        const TbmRun saved = Tbm().Run({"backup", "--job", kJob, "--no-verify", "--output", m_out, src});
        ASSERT_EQ(saved.status, 0) << saved.err;
    }
    TbmRun Manager(const std::vector<std::string>& args) const { return m_manager->Run(args); }

    std::string m_out;
    std::unique_ptr<tbmtest::CTbmRunner> m_manager;
};

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

bool HasTemporary(const std::string& folder)
{
    bool found = false;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            found = found || Has(entry->d_name, "~tbm");
        closedir(dir);
    }
    return found;
}

} // namespace

TEST_F(TbManagerUnattendedTest, SavedJobRunsVerifiedAndEndsWithTheScriptCodes)
{
    const std::string src = MakeTree();
    SaveJob(src);
    WriteFileBytes(src + "/nested/added.txt", "new since the first backup\n");

    const TbmRun run = Manager({"-e", "-job", kJob, "-quick"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "verification passed")) << run.err;
    EXPECT_TRUE(Has(Tbm().Run({"list", m_out}).out, "added.txt"));
    const std::size_t report = run.out.find("Report: ");
    ASSERT_NE(report, std::string::npos) << run.out;
    const std::string reportPath = run.out.substr(report + 8, run.out.find('\n', report) - report - 8);
    EXPECT_TRUE(Has(ReadFileBytes(reportPath), "Backup finished successfully"));

    const TbmRun unverified = Manager({"-e", "-job", kJob, "-novalidate", "-showlogfile"});
    EXPECT_EQ(unverified.status, 0) << unverified.err;
    EXPECT_FALSE(Has(unverified.err, "verification")) << unverified.err;

    // A name that is no saved job would back up an empty job and look done.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-e", "-job", "No Such Job", "-quick"},
          std::vector<std::string>{"-e", "-quick"}, std::vector<std::string>{"-e", "-job"}}) {
        const TbmRun wrong = Manager(args);
        EXPECT_EQ(wrong.status, 1) << wrong.err;
        EXPECT_TRUE(Has(wrong.err, "job")) << wrong.err;
    }
    // A job file that cannot be read stops the run before anything is written.
    const std::string before = ReadFileBytes(m_out);
    const std::string jobFile = m_home + "/.config/Tovan-Soft/Tovan Backup Manager/" + kJob + "/ProjectData.xdat";
    ASSERT_FALSE(ReadFileBytes(jobFile).empty());
    WriteFileBytes(jobFile, "not a job");
    const TbmRun damaged = Manager({"-e", "-job", kJob, "-quick"});
    EXPECT_EQ(damaged.status, 1) << damaged.err;
    EXPECT_TRUE(Has(damaged.err, "Fail to load project name")) << damaged.err;
    EXPECT_EQ(ReadFileBytes(m_out), before);
}

// A job saved for a removable disk, as the window's removable medium page saves it:
// the archive asks for disk 1 before it writes, and nobody is there to insert it.
TEST_F(TbManagerUnattendedTest, ADiskRequestNobodyCanAnswerFailsTheRunAndSaysWhy)
{
    const std::string src = MakeTree();
    SaveJob(src);
    const std::string before = ReadFileBytes(m_out);
    const std::string stick = m_dir / "stick";
    // The job folder is the children's: this process writes it under their home.
    const std::string ownConfig = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", (m_home + "/.config").c_str(), 1);
    g_ProjectData.NewJob();
    const bool loaded = g_ProjectData.LoadJob(kJob) != 0;
    g_ProjectData.SetMedium(1);
    g_ProjectData.SetRemovableFolder(stick);
    const bool saved = loaded && g_ProjectData.SaveJob();
    g_ProjectData.NewJob();
    setenv("XDG_CONFIG_HOME", ownConfig.c_str(), 1);
    ASSERT_TRUE(saved);

    const TbmRun run = Manager({"-e", "-job", kJob, "-quick"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(Has(run.err, "insert disk 1")) << run.err;
    EXPECT_TRUE(Has(run.err, "nobody to answer")) << run.err;
    EXPECT_EQ(ReadFileBytes(m_out), before);
    EXPECT_NE(access((stick + "/weekly.tbm").c_str(), F_OK), 0);
}

// tbm schedule set writes the crontab line (no user service manager here); the line,
// run by a shell as cron runs it, starts TBManager on exactly the named job.
TEST_F(TbManagerUnattendedTest, ScheduledCommandRunsTheNamedJob)
{
    const std::string job = "Mum's \"daily\" 100% $HOME; rm -rf ~ `id`";
    const std::string src = MakeTree();
    ASSERT_EQ(Tbm().Run({"backup", "--job", job, "--no-verify", "--output", m_out, src}).status, 0);
    const std::string table = m_dir / "table";
    WriteFileBytes(m_dir / "systemctl", "#!/bin/sh\nexit 1\n");
    WriteFileBytes(m_dir / "crontab", "#!/bin/sh\nif [ \"$1\" = -l ]; then [ -f '" + table +
                                          "' ] && { cat '" + table + "'; exit; }\n"
                                          "echo 'no crontab for tester' >&2; exit 1; fi\n"
                                          "cp \"$1\" '" + table + "'\n");
    chmod((m_dir / "systemctl").c_str(), 0755);
    chmod((m_dir / "crontab").c_str(), 0755);
    Tbm().SetEnv("TBM_SYSTEMCTL", m_dir / "systemctl");
    Tbm().SetEnv("TBM_CRONTAB", m_dir / "crontab");

    EXPECT_EQ(Tbm().Run({"schedule", "set", "--job", "No Such Job"}).status, 1);
    const TbmRun set = Tbm().Run({"schedule", "set", "--job", job, "--weekly", "sun", "--at", "21:05"});
    ASSERT_EQ(set.status, 0) << set.err;
    std::string line = ReadFileBytes(table);
    ASSERT_EQ(line.rfind("5 21 * * 0 ", 0), 0u) << line;
    const std::string shown = Tbm().Run({"schedule", "show"}).out;
    EXPECT_TRUE(Has(shown, "crontab line") && Has(shown, "weekly on Sunday at 21:05")) << shown;
    EXPECT_TRUE(Has(shown, "Job:     " + job + "\n")) << shown;
    line = line.substr(std::string("5 21 * * 0 ").size());
    for (std::size_t at; (at = line.find("\\%")) != std::string::npos;)
        line.erase(at, 1);
    WriteFileBytes(src + "/nested/later.txt", "added before the scheduled run\n");
    WriteFileBytes(m_dir / "cron-run", line);
    m_manager->SetProgram("/bin/sh");
    const TbmRun run = m_manager->Run({m_dir / "cron-run"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(Tbm().Run({"list", m_out}).out, "later.txt"));

    // At log-on the task is an autostart entry; show reads it back with the options.
    ASSERT_EQ(Tbm().Run({"schedule", "set", "--job", job, "--logon", "--no-battery", "--no-verify"}).status, 0);
    EXPECT_FALSE(Has(ReadFileBytes(table), "TBManager_SC"));
    const std::string logOn = Tbm().Run({"schedule", "show"}).out;
    EXPECT_TRUE(Has(logOn, "autostart entry") && Has(logOn, "Runs:    at log-on\n")) << logOn;
    EXPECT_TRUE(Has(logOn, "not on battery, no verification, exit when done")) << logOn;

    EXPECT_EQ(Tbm().Run({"schedule", "remove"}).status, 0);
    EXPECT_TRUE(Has(Tbm().Run({"schedule", "show"}).out, "not installed"));
}

// With a display (a virtual X server) the run goes through the window: the pages
// are walked, the backup written and verified, and the program ends with the code.
TEST_F(TbManagerUnattendedTest, WithADisplayTheWindowRunsTheJobAndEndsWithTheCode)
{
    if (tbmtest::Shell("command -v xvfb-run && command -v Xvfb") != 0)
        GTEST_SKIP() << "no virtual X server";
    const std::string src = MakeTree();
    SaveJob(src);
    WriteFileBytes(src + "/nested/added.txt", "new since the first backup\n");
    const std::string runtime = m_dir / "runtime";
    mkdir(runtime.c_str(), 0700);
    m_manager->SetProgram("/usr/bin/xvfb-run");
    m_manager->SetEnv("QT_QPA_PLATFORM", "");
    m_manager->SetEnv("XDG_RUNTIME_DIR", runtime);
    // The X libraries' own allocations outlive the program.
    m_manager->SetEnv("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1");
    const std::string program = g_Globals.GetProgramPath("TBManager");

    const TbmRun run = m_manager->Run({"-a", program, "-e", "-job", kJob, "-quick"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(Tbm().Run({"list", m_out}).out, "added.txt"));
    const TbmRun unverified = m_manager->Run({"-a", program, "-e", "-job", kJob, "-quick", "-novalidate"});
    EXPECT_EQ(unverified.status, 0) << unverified.err;
}

TEST_F(TbManagerUnattendedTest, UnreadableFileIsSkippedNamedAndFailsTheRun)
{
    const std::string src = MakeTree();
    SaveJob(src);
    const std::string locked = src + "/nested/locked.txt";
    WriteFileBytes(locked, "private");
    chmod(locked.c_str(), 0);
    if (!tbmtest::UnreadableToPrograms(locked))
        GTEST_SKIP() << "cannot make a file unreadable here";
    m_manager->SetHonourPermissions(true);

    const TbmRun run = Manager({"-e", "-job", kJob, "-quick"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(Has(run.err, "locked.txt")) << run.err;
    // Everything else was stored: the run did not wait for an answer.
    EXPECT_TRUE(Has(Tbm().Run({"list", m_out}).out, "big.txt"));
}

TEST_F(TbManagerUnattendedTest, TerminatedRunKeepsThePreviousBackupAndEndsCancelled)
{
    const std::string src = MakeTree();
    SaveJob(src);
    const std::string previous = ReadFileBytes(m_out);
    // Enough to still be writing when the signal comes.
    for (int i = 0; i < 12; ++i)
        WriteFileBytes(src + "/noise" + std::to_string(i) + ".bin", Noise(4 << 20, i + 1));

    const TbmRun run = m_manager->Run({"-e", "-job", kJob, "-quick"}, [&](pid_t pid) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!HasTemporary(m_dir.Str()) && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        kill(pid, SIGTERM);
    });
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(ReadFileBytes(m_out), previous);
    EXPECT_FALSE(HasTemporary(m_dir.Str()));
}
