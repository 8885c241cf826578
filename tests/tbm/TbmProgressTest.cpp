#include "TbmProgress.h"
#include "TbmConsole.h"

#include "BackupProgress.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class CRecordingConsole : public CTbmConsole
{
public:
    std::string m_written;
    void Write(const std::string& text) override { m_written += text; }
};

char* HeapCopy(const std::string& text)
{
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void PostEvent(CTbmProgress& progress, int code, std::intptr_t value)
{
    progress.post(notify::kEvent, static_cast<std::uintptr_t>(code), value);
}

TEST(TbmProgressTest, KeepsHowTheRunEndedAndItsCounts)
{
    CRecordingConsole console;
    CTbmProgress progress(console, false);
    progress.SetPhase("Backing up");
    EXPECT_EQ(progress.GetEndCode(), -1);
    PostEvent(progress, notify::kAddedCount, 4);
    PostEvent(progress, notify::kReplacedCount, 2);
    PostEvent(progress, notify::kUnchangedCount, 7);
    PostEvent(progress, notify::kObsoleteCount, 1);
    PostEvent(progress, notify::kBackupDone, 0);
    EXPECT_EQ(progress.GetEndCode(), notify::kBackupDone);
    EXPECT_EQ(progress.GetCount(notify::kAddedCount), 4);
    EXPECT_EQ(progress.GetCount(notify::kReplacedCount), 2);
    EXPECT_EQ(progress.GetCount(notify::kUnchangedCount), 7);
    EXPECT_EQ(progress.GetCount(notify::kObsoleteCount), 1);
    // A new phase forgets the end of the last one.
    progress.SetPhase("Verifying");
    EXPECT_EQ(progress.GetEndCode(), -1);
    PostEvent(progress, notify::kVerifyEnded, 3);
    EXPECT_EQ(progress.GetEndCode(), notify::kVerifyEnded);
    EXPECT_EQ(progress.GetFailedCount(), 3);
}

TEST(TbmProgressTest, PlainLinesAreFewAndTerminalLinesRedraw)
{
    CRecordingConsole plainConsole;
    CTbmProgress plain(plainConsole, false);
    plain.SetPhase("Backing up");
    const std::string first = "/home/u/a.txt";
    const std::string second = "/home/u/b.txt";
    // Many files in a moment give one line, not one each.
    for (int i = 0; i < 50; ++i)
        PostEvent(plain, notify::kFilePath,
                  reinterpret_cast<std::intptr_t>((i % 2 ? second : first).c_str()));
    plain.Finish();
    EXPECT_EQ(plainConsole.m_written.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(plainConsole.m_written.begin(), plainConsole.m_written.end(), '\n'), 1);
    EXPECT_NE(plainConsole.m_written.find("Backing up: "), std::string::npos);

    CRecordingConsole terminalConsole;
    CTbmProgress terminal(terminalConsole, true, 60);
    terminal.SetPhase("Backing up");
    CBackupProgress job;
    job.m_qwJobTotal = 1000;
    job.m_qwJobDone = 500;
    terminal.post(notify::kProgress, reinterpret_cast<std::uintptr_t>(&job), 0);
    PostEvent(terminal, notify::kBackupDone, 0);
    terminal.Finish();
    const std::string& drawn = terminalConsole.m_written;
    EXPECT_EQ(drawn.front(), '\r');
    EXPECT_EQ(drawn.back(), '\n');
    EXPECT_NE(drawn.find("50%"), std::string::npos) << drawn;
}

TEST(TbmProgressTest, TakesOverTheScanningCopies)
{
    // The receiver frees the heap copy of every scanned path; the leak checker of the
    // sanitizer build catches a copy that is not freed.
    CRecordingConsole console;
    CTbmProgress progress(console, true);
    progress.SetPhase("Scanning");
    for (int i = 0; i < 20; ++i)
        progress.post(notify::kScanning, 0,
                      reinterpret_cast<std::intptr_t>(HeapCopy("/home/u/f" + std::to_string(i))));
    progress.post(notify::kScanning, 0, 0);
    progress.Finish();
    EXPECT_NE(console.m_written.find("Scanning 1 files: /home/u/f0"), std::string::npos);
}

} // namespace
