// Backup runs stopped from outside: killed at any moment, interrupted, or meeting a
// file they cannot read. The previous backup must come through every one of them
// byte for byte, and the next complete run must leave no temporary archive behind.

#include "TbmCommandFixture.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using tbmtest::Quote;
using tbmtest::Shell;
using tbmtest::TbmRun;
using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;
using Clock = std::chrono::steady_clock;

constexpr int kKillPoints = 20;
constexpr int kInterruptPoints = 10;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Names in `folder` that hold "~tbm": the runs' temporary archives.
std::set<std::string> TemporaryNames(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            if (std::string(entry->d_name).find("~tbm") != std::string::npos)
                names.insert(entry->d_name);
        closedir(dir);
    }
    return names;
}

bool HasNewTemporary(const std::string& folder, const std::set<std::string>& before)
{
    const auto now = TemporaryNames(folder);
    return std::any_of(now.begin(), now.end(),
                       [&](const std::string& name) { return !before.count(name); });
}

// Whether the child has ended, without reaping it (the runner waits for it).
bool Ended(pid_t pid)
{
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
           info.si_pid != 0;
}

std::optional<std::string> ReadIfExists(const std::string& path)
{
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return ReadFileBytes(path);
}

int FailureCount()
{
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

bool PeersPass(const std::string& archive)
{
    return Shell("unzip -tq " + Quote(archive)) == 0 && Shell("7zz t " + Quote(archive)) == 0;
}

// Text of `bytes` bytes from a small vocabulary: compressible like documents.
std::string Text(std::size_t bytes, std::uint32_t seed)
{
    static const char* const kWords[] = {"backup",  "archive", "folder", "letter",  "invoice",
                                         "holiday", "photo",   "report", "minutes", "draft",
                                         "2024",    "Tovan",   "budget", "garden",  "recipe"};
    std::string text;
    text.reserve(bytes + 16);
    while (text.size() < bytes) {
        seed = seed * 1664525u + 1013904223u;
        text += kWords[(seed >> 16) % std::size(kWords)];
        text += (seed >> 8) % 9 == 0 ? '\n' : ' ';
    }
    text.resize(bytes);
    return text;
}

// When a run's stages happened, in seconds after its start: the whole run, and the
// span in which its temporary archive was seen (negative when none was).
struct RunShape
{
    double total = 0;
    double writeFrom = -1;
    double writeTo = -1;
};

// A moment to signal a run: seconds after its start, or, for the moments while
// the archive is written, after its temporary archive appeared, so that how long
// the run takes to get there (which varies with the load) does not move them out.
struct SignalPoint
{
    double seconds = 0;
    bool afterTemporary = false;
};

// Points spread over the run: a few while it starts and gathers the files, most
// while the archive is written, a few after it. Without a temporary archive seen
// they are spread evenly over the whole run.
std::vector<SignalPoint> SpreadPoints(const RunShape& shape, int count)
{
    std::vector<SignalPoint> points;
    auto spread = [&](double from, double to, int n, bool afterTemporary) {
        for (int i = 0; i < n; ++i)
            points.push_back({from + (to - from) * (i + 0.5) / n, afterTemporary});
    };
    if (shape.writeFrom < 0 || shape.writeTo <= shape.writeFrom) {
        spread(0, shape.total, count, false);
        return points;
    }
    const int before = (count * 3 + 10) / 20; // 15 %
    const int after = (count + 10) / 20 + 1;  // 5 % and the end itself
    spread(0, shape.writeFrom, before, false);
    spread(0, shape.writeTo - shape.writeFrom, count - before - after, true);
    spread(shape.writeTo, shape.total, after, false);
    return points;
}

class TbmFaultTest : public tbmtest::TbmCommandTest
{
protected:
    // 1.5 MB each: the big file is one of each, the small files are cut from them
    // (generating every file afresh is slow in a sanitised build).
    static constexpr std::size_t kPool = 1500000;
    static const std::string& TextPool()
    {
        static const std::string pool = Text(kPool, 5);
        return pool;
    }
    static const std::string& NoisePool()
    {
        static const std::string pool = Noise(kPool, 99);
        return pool;
    }

    // About `folders` x `perFolder` small files of varied content (text, noise, empty),
    // some in nested folders, plus, when `big`, one 3 MB file of noise and text that
    // spans several write buffers. m_files keeps every file's bytes by relative path.
    std::string MakeFaultTree(int folders, int perFolder, bool big)
    {
        const std::string src = m_dir / "tree";
        mkdir(src.c_str(), 0755);
        std::uint32_t seed = 2024;
        for (int d = 0; d < folders; ++d) {
            char folder[32];
            std::snprintf(folder, sizeof folder, d % 3 == 2 ? "f%02d/inner" : "f%02d", d);
            if (d % 3 == 2)
                mkdir((src + "/" + std::string(folder, 3)).c_str(), 0755);
            mkdir((src + "/" + folder).c_str(), 0755);
            for (int f = 0; f < perFolder; ++f) {
                seed = seed * 1664525u + 1013904223u;
                const std::size_t size = 100 + (seed >> 8) % 6000;
                const std::size_t offset = (seed >> 4) % (kPool - size);
                char name[32];
                std::string bytes;
                // Every file is cut from its own place in a pool, after its own name.
                if (f % 7 == 3) {
                    std::snprintf(name, sizeof name, "blob%03d.bin", f);
                    bytes = NoisePool().substr(offset, size / 2);
                } else if (f % 50 == 49) {
                    std::snprintf(name, sizeof name, "empty%03d", f);
                } else {
                    std::snprintf(name, sizeof name, "note%03d.txt", f);
                    bytes = TextPool().substr(offset, size);
                }
                const std::string rel = std::string(folder) + "/" + name;
                Put(src, rel, bytes.empty() ? bytes : rel + "\n" + bytes);
            }
        }
        if (big) {
            mkdir((src + "/media").c_str(), 0755);
            Put(src, "media/big.bin", NoisePool() + TextPool());
        }
        return src;
    }

    void Put(const std::string& src, const std::string& rel, const std::string& bytes)
    {
        WriteFileBytes(src + "/" + rel, bytes);
        m_files[rel] = bytes;
    }

    static void SetTime(const std::string& path, std::time_t when)
    {
        const timespec times[2] = {{when, 0}, {when, 0}};
        utimensat(AT_FDCWD, path.c_str(), times, 0);
    }

    // The work between the previous backup and the next run: files grown, files of the
    // same size with other bytes and a time moved back or forward, files and a folder
    // added, files deleted.
    void ChangeTree(const std::string& src)
    {
        std::vector<std::string> notes;
        for (const auto& [rel, bytes] : m_files)
            if (rel.find("/note") != std::string::npos)
                notes.push_back(rel);
        int n = 0;
        for (std::size_t i = 0; i < notes.size(); i += 37, ++n) {
            const std::string& rel = notes[i];
            const std::string path = src + "/" + rel;
            struct stat st
            {
            };
            stat(path.c_str(), &st);
            const std::size_t size = m_files[rel].size();
            switch (n % 3) {
            case 0:
                Put(src, rel, m_files[rel] + "\nedited " + std::to_string(n));
                break;
            case 1: // same size, older time
                Put(src, rel, Text(size, 7000 + n));
                SetTime(path, st.st_mtime - 3600);
                break;
            default: // same size, newer time
                Put(src, rel, Text(size, 8000 + n));
                SetTime(path, st.st_mtime + 3600);
                break;
            }
            m_changed.push_back(rel);
        }
        for (std::size_t i = 11; i < notes.size(); i += 71) {
            if (std::find(m_changed.begin(), m_changed.end(), notes[i]) != m_changed.end())
                continue;
            m_deleted[notes[i]] = m_files[notes[i]];
            m_files.erase(notes[i]);
            unlink((src + "/" + notes[i]).c_str());
        }
        mkdir((src + "/added").c_str(), 0755);
        for (int i = 0; i < 20; ++i)
            Put(src, "added/new" + std::to_string(i) + ".txt", Text(300 + 97 * i, 9000 + i));
        for (int i = 0; i < 10; ++i)
            Put(src, "f0" + std::to_string(i) + "/fresh.bin", Noise(2000 + i, 9100 + i));
    }

    // Extracts `archive` with unzip and compares it with the tree: every file of
    // m_files with its bytes, and the deleted files present (with their old bytes)
    // exactly when `keepsDeleted`.
    void ExpectBackupHolds(const std::string& archive, const std::string& src, bool keepsDeleted)
    {
        const std::string to = m_dir / "extracted";
        std::filesystem::remove_all(to);
        ASSERT_EQ(Shell("unzip -qq -o " + Quote(archive) + " -d " + Quote(to)), 0);
        int wrong = 0;
        for (const auto& [rel, bytes] : m_files) {
            const auto stored = ReadIfExists(to + src + "/" + rel);
            if (stored != bytes && ++wrong <= 5)
                ADD_FAILURE() << (stored ? "stale bytes: " : "missing: ") << rel;
        }
        for (const auto& [rel, bytes] : m_deleted) {
            const auto stored = ReadIfExists(to + src + "/" + rel);
            if (keepsDeleted ? stored != bytes : stored.has_value())
                if (++wrong <= 5)
                    ADD_FAILURE() << (keepsDeleted ? "deleted file lost: " : "deleted file kept: ")
                                  << rel;
        }
        EXPECT_EQ(wrong, 0);
        std::filesystem::remove_all(to);
    }

    // Runs `args` to the end, watching `folder` for a temporary archive.
    RunShape MeasureRun(const std::vector<std::string>& args, const std::string& folder)
    {
        RunShape shape;
        const auto before = TemporaryNames(folder);
        Clock::time_point start;
        const TbmRun run = Tbm().Run(args, [&](pid_t pid) {
            start = Clock::now();
            while (!Ended(pid)) {
                if (HasNewTemporary(folder, before)) {
                    const double at = Seconds(Clock::now() - start);
                    if (shape.writeFrom < 0)
                        shape.writeFrom = at;
                    shape.writeTo = at;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        shape.total = Seconds(Clock::now() - start);
        EXPECT_EQ(run.status, 0) << run.err;
        return shape;
    }

    // Sends `signal` to runs of `args` at each of `points` (seconds after the start).
    // After each the backup `out` must still be `previous` byte for byte (which the
    // peers' tests passed); only a run that got past its last step may have replaced
    // it, with a complete new backup that passes them (and is then put back to
    // `previous`). Returns how many signals met a run while its temporary archive
    // existed.
    int SignalSeries(const std::vector<std::string>& args, const std::string& out,
                     const std::string& previous, const std::vector<SignalPoint>& points,
                     int signal)
    {
        const std::string folder = std::filesystem::path(out).parent_path();
        const int stopped = signal == SIGKILL ? 128 + SIGKILL : 3;
        int whileWriting = 0;
        int failedPoints = 0;
        for (std::size_t k = 0; k < points.size() && failedPoints < 3; ++k) {
            SCOPED_TRACE("signal " + std::to_string(signal) + " at point " + std::to_string(k) +
                         ", " + std::to_string(points[k].seconds) +
                         (points[k].afterTemporary ? " s into the writing" : " s into the run"));
            const int failuresBefore = FailureCount();
            const auto before = TemporaryNames(folder);
            bool writing = false;
            const TbmRun run = Tbm().Run(args, [&](pid_t pid) {
                auto start = Clock::now();
                if (points[k].afterTemporary) {
                    while (!HasNewTemporary(folder, before) && !Ended(pid))
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    start = Clock::now();
                }
                std::this_thread::sleep_until(
                    start + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(points[k].seconds)));
                writing = HasNewTemporary(folder, before);
                kill(pid, signal);
            });
            // A signal that comes while the program is still starting, before it
            // handles SIGINT, ends it like a kill; it had not begun writing then.
            const bool early = !writing && run.status == 128 + signal;
            EXPECT_TRUE(run.status == stopped || run.status == 0 || early)
                << "exit " << run.status << "\n"
                << run.err;
            whileWriting += writing ? 1 : 0;
            const std::string now = ReadFileBytes(out);
            if (now == previous) {
                // The peers passed these very bytes before the series.
                EXPECT_TRUE(run.status != 0) << "a finished run left the old backup";
            } else {
                // Only a run past its rename may have changed the backup, and then the
                // backup is the new one, whole.
                EXPECT_TRUE(run.status == 0 || signal == SIGKILL)
                    << "a cancelled run changed the backup";
                if (!PeersPass(out))
                    ADD_FAILURE() << "the backup was damaged";
                else
                    EXPECT_NE(Tbm().Run({"list", out}).out.find("added/new19.txt"),
                              std::string::npos)
                        << "the backup changed but is not the new one";
                WriteFileBytes(out, previous);
            }
            if (FailureCount() != failuresBefore)
                ++failedPoints;
        }
        return whileWriting;
    }

    // The whole fault series for one run type over a tree of 2,000+ files: a
    // previous backup, the tree changed, one measured run, kills and interrupts spread
    // over the run, and complete runs that must clear every leftover temporary archive.
    void FaultSeries(const std::string& type)
    {
        const std::string src = MakeFaultTree(30, 70, true);
        ASSERT_GE(m_files.size(), 2000u);
        const std::string folder = m_dir / "backups";
        mkdir(folder.c_str(), 0755);
        const std::string out = folder + "/home.tbm";
        const TbmRun first = Tbm().Run({"backup", "--output", out, "--no-verify", src});
        ASSERT_EQ(first.status, 0) << first.err;
        const std::string previous = ReadFileBytes(out);
        ASSERT_TRUE(PeersPass(out));
        ChangeTree(src);
        const std::vector<std::string> args = {"backup",   "--type", type, "--no-verify",
                                               "--output", out,      src};
        const bool keepsDeleted = type == "update";

        const RunShape shape = MeasureRun(args, folder);
        ASSERT_FALSE(HasFailure());
        std::printf("%s run: %.2f s, temporary archive seen from %.2f s to %.2f s\n", type.c_str(),
                    shape.total, shape.writeFrom, shape.writeTo);
        EXPECT_TRUE(TemporaryNames(folder).empty());
        ExpectBackupHolds(out, src, keepsDeleted);
        WriteFileBytes(out, previous);

        const int killed =
            SignalSeries(args, out, previous, SpreadPoints(shape, kKillPoints), SIGKILL);
        // Most points fall while the archive is written; timing may move a few.
        EXPECT_GE(killed, kKillPoints / 4) << "kills that met the temporary archive";
        const TbmRun afterKills = Tbm().Run(args);
        EXPECT_EQ(afterKills.status, 0) << afterKills.err;
        EXPECT_EQ(TemporaryNames(folder), std::set<std::string>{})
            << "leftovers of killed runs outlive the next complete run";
        EXPECT_TRUE(PeersPass(out));
        ExpectBackupHolds(out, src, keepsDeleted);
        WriteFileBytes(out, previous);

        const int interrupted =
            SignalSeries(args, out, previous, SpreadPoints(shape, kInterruptPoints), SIGINT);
        EXPECT_GE(interrupted, kInterruptPoints / 4) << "interrupts that met the temporary archive";
        const TbmRun afterInterrupts = Tbm().Run(args);
        EXPECT_EQ(afterInterrupts.status, 0) << afterInterrupts.err;
        EXPECT_EQ(TemporaryNames(folder), std::set<std::string>{});
        EXPECT_TRUE(PeersPass(out));
        ExpectBackupHolds(out, src, keepsDeleted);
    }

    std::map<std::string, std::string> m_files;
    std::map<std::string, std::string> m_deleted;
    std::vector<std::string> m_changed;
};

TEST_F(TbmFaultTest, NormalRunKilledOrInterruptedKeepsThePreviousBackup)
{
    FaultSeries("normal");
}

TEST_F(TbmFaultTest, UpdateRunKilledOrInterruptedKeepsThePreviousBackup)
{
    FaultSeries("update");
}

TEST_F(TbmFaultTest, SynchroniseRunKilledOrInterruptedKeepsThePreviousBackup)
{
    FaultSeries("sync");
}

// With no backup before it, an interrupted run keeps what it wrote as a readable
// backup and says it is incomplete; the next run completes it.
TEST_F(TbmFaultTest, InterruptedFirstBackupLeavesAReadableArchive)
{
    const std::string src = MakeFaultTree(30, 70, true);
    const std::string folder = m_dir / "backups";
    mkdir(folder.c_str(), 0755);
    const std::string out = folder + "/home.tbm";
    bool caught = false;
    const TbmRun run = Tbm().Run({"backup", "--no-verify", "--output", out, src}, [&](pid_t pid) {
        // Interrupt as soon as the archive is being written, under either name.
        while (!Ended(pid) && !caught) {
            caught = !TemporaryNames(folder).empty() || ReadIfExists(out).has_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        kill(pid, SIGINT);
    });
    ASSERT_TRUE(caught) << "the run ended before its archive appeared\n" << run.err;
    EXPECT_EQ(run.status, 3) << run.err;
    ASSERT_TRUE(ReadIfExists(out).has_value()) << "no archive left at " << out;
    EXPECT_TRUE(PeersPass(out));
    const std::size_t at = run.out.find("Report: ");
    const std::string report =
        at == std::string::npos
            ? std::string()
            : ReadFileBytes(run.out.substr(at + 8, run.out.find('\n', at) - at - 8));
    std::string said = run.err + report;
    std::transform(said.begin(), said.end(), said.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_NE(said.find("incomplete"), std::string::npos) << run.err;

    const TbmRun next = Tbm().Run({"backup", "--no-verify", "--output", out, src});
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(TemporaryNames(folder), std::set<std::string>{});
    ExpectBackupHolds(out, src, false);
}

// A file that cannot be read is skipped and named, the run fails, and every other
// file is stored: in a normal run and in an update run.
TEST_F(TbmFaultTest, UnreadableFileIsNamedAndTheRestStored)
{
    const std::string src = MakeFaultTree(4, 25, false);
    const std::string locked = src + "/f01/unreadable.txt";
    WriteFileBytes(locked, "private");
    chmod(locked.c_str(), 0);
    // As root the file is unreadable only to a program without the override
    // capabilities; the runner starts tbm that way.
    if (!tbmtest::UnreadableToPrograms(locked))
        GTEST_SKIP() << "cannot make a file unreadable here";
    Tbm().SetHonourPermissions(true);
    const std::string out = m_dir / "unreadable.tbm";

    const TbmRun normal = Tbm().Run({"backup", "--no-verify", "--output", out, src});
    EXPECT_EQ(normal.status, 1) << normal.err;
    EXPECT_NE(normal.err.find("unreadable.txt"), std::string::npos) << normal.err;
    EXPECT_TRUE(PeersPass(out));
    ExpectBackupHolds(out, src, false);
    EXPECT_EQ(Tbm().Run({"list", out}).out.find("unreadable.txt"), std::string::npos);

    Put(src, "f00/later.txt", "added after the first run");
    const TbmRun update =
        Tbm().Run({"backup", "--type", "update", "--no-verify", "--output", out, src});
    EXPECT_EQ(update.status, 1) << update.err;
    EXPECT_NE(update.err.find("unreadable.txt"), std::string::npos) << update.err;
    ExpectBackupHolds(out, src, false);
    EXPECT_EQ(TemporaryNames(m_dir.Str()), std::set<std::string>{});
}

// A read that fails in the middle of a file, as on a failing disk, costs that file
// only: the run names it and fails, every other file of thousands is stored and the
// archive is whole; an update run keeps the copy it stored before.
TEST_F(TbmFaultTest, ReadFailingMidFileCostsThatFileOnly)
{
    const std::string src = MakeFaultTree(30, 70, true);
    ASSERT_GE(m_files.size(), 2000u);
    const std::string failing = src + "/f10/failing.bin"; // checked by hand, not in m_files
    const std::string stored = Text(3 << 20, 7);
    WriteFileBytes(failing, stored);
    const auto storedCopy = [&](const std::string& archive) {
        const std::string to = m_dir / "one";
        std::filesystem::remove_all(to);
        Shell("unzip -qq -o " + Quote(archive) + " '*/failing.bin' -d " + Quote(to));
        return ReadIfExists(to + failing);
    };
    const std::string out = m_dir / "failing.tbm";
    const TbmRun first = Tbm().Run({"backup", "--no-verify", "--output", out, src});
    ASSERT_EQ(first.status, 0) << first.err;

    WriteFileBytes(failing, Text((3 << 20) + 1000, 8));
    Put(src, "f00/later.txt", "added after the first run");
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    Tbm().SetEnv("ASAN_OPTIONS",
                 std::string(sanitizer ? sanitizer : "") + ":verify_asan_link_order=0");
    Tbm().SetEnv("LD_PRELOAD", TBM_READFAULT_LIB);
    Tbm().SetEnv("TBM_READFAULT_NAME", "failing.bin");
    Tbm().SetEnv("TBM_READFAULT_AT", "1500000");
    const TbmRun update =
        Tbm().Run({"backup", "--type", "update", "--no-verify", "--output", out, src});
    EXPECT_EQ(update.status, 1) << update.err;
    EXPECT_NE(update.err.find("failing.bin"), std::string::npos) << update.err;
    EXPECT_TRUE(PeersPass(out));
    ExpectBackupHolds(out, src, false);
    EXPECT_EQ(storedCopy(out), stored);

    const std::string fresh = m_dir / "fresh.tbm";
    const TbmRun normal = Tbm().Run({"backup", "--no-verify", "--output", fresh, src});
    EXPECT_EQ(normal.status, 1) << normal.err;
    EXPECT_NE(normal.err.find("failing.bin"), std::string::npos) << normal.err;
    EXPECT_TRUE(PeersPass(fresh));
    ExpectBackupHolds(fresh, src, false);
    EXPECT_FALSE(storedCopy(fresh));
    EXPECT_EQ(TemporaryNames(m_dir.Str()), std::set<std::string>{});
}

} // namespace
