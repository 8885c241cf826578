#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CZipContainer;

// Runs one action per entry of an archive on several threads and hands the results
// back on the caller's thread in entry order, so testing and extracting use every
// core while what the user sees stays in order. Every thread reads through an
// archive object of its own, opened by the caller's opener (read-only, on the same
// file, with the same password), so the archive classes stay single-threaded.
//
// With one thread, or when an archive of a worker cannot be opened, the actions run
// one after another on the caller's own archive.
class CZipEntryWorkers
{
public:
    struct Result
    {
        bool ok = false;
        bool skipped = false;     // the preparation passed the entry over
        std::exception_ptr error; // what the action threw
    };
    // Opens `archive` as the caller's own (read-only, password set); throws on failure.
    using Opener = std::function<void(CZipContainer& archive)>;
    // Runs on any thread with that thread's archive.
    using Action = std::function<bool(CZipContainer& archive, int index)>;
    // On the caller's thread, in the order of the indexes; false stops the run.
    using Report = std::function<bool(int index, const Result& result)>;
    // On the caller's thread, now and then while it waits, with the bytes the actions
    // processed since the last call; false stops the run.
    using Progress = std::function<bool(std::uint64_t bytes)>;
    // On the caller's thread, in order, shortly before the entry is handed to a
    // thread (at most the run-ahead window before its report); false passes the
    // entry over: no action, and its report says skipped.
    using Prepare = std::function<bool(int index)>;

    // `threads`: 0 takes one per core.
    CZipEntryWorkers(CZipContainer& own, unsigned threads, Opener opener);
    ~CZipEntryWorkers();
    CZipEntryWorkers(const CZipEntryWorkers&) = delete;
    CZipEntryWorkers& operator=(const CZipEntryWorkers&) = delete;

    // False when a report or the progress stopped the run; the actions under way are
    // asked to stop (their archives' callbacks return false) and waited for.
    bool Run(const std::vector<int>& indexes, const Action& action, const Report& report,
             const Progress& progress = {}, const Prepare& prepare = {});
    // The folders extracted by every archive get their modes and times; returns
    // those that could not be set.
    std::vector<std::string> FinishFolders();
    std::size_t GetThreadCount() const { return m_workers.empty() ? 1 : m_workers.size(); }

    // The indexes first, first + 1, ... of `count` entries, in order.
    static std::vector<int> Indexes(std::size_t count, int first = 0);
    // What a failed action threw: its text, and its archive error cause (0 for
    // anything else or when it threw nothing).
    static std::string ErrorText(const Result& result);
    static int ErrorCause(const Result& result);

private:
    class Counter;
    struct Worker;

    bool RunHere(const std::vector<int>& indexes, const Action& action, const Report& report,
                 const Progress& progress, const Prepare& prepare);
    void Work(Worker& worker, const std::vector<int>& indexes, const Action& action);
    bool Collect(const std::vector<int>& indexes, const Report& report, const Progress& progress,
                 const Prepare& prepare);
    void PrepareUpTo(std::size_t limit, const std::vector<int>& indexes, const Prepare& prepare);
    std::size_t Ahead() const;
    static Result Attempt(const Action& action, CZipContainer& archive, int index);

    CZipContainer& m_own;
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::unique_ptr<Counter> m_counter;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<Result>> m_results; // per position, once done
    std::size_t m_nextPosition = 0;                 // handed out next
    std::size_t m_prepared = 0;                     // positions ready to be handed out
    std::vector<char> m_skip;                       // per position: passed over
    std::size_t m_reported = 0;                     // reported so far
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_bytes{0};
};
