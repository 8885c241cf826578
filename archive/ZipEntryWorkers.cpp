#include "ZipEntryWorkers.h"

#include "ZipAddPipeline.h"
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipProgressCallback.h"

#include <algorithm>
#include <chrono>
#include <numeric>

namespace {

// How far the workers may run ahead of the results reported, per thread: enough to
// keep every core busy behind one large entry, few enough to hold little.
constexpr std::size_t kAheadPerThread = 8;
constexpr auto kProgressWait = std::chrono::milliseconds(100);
constexpr int kProgressTypes = CZipProgressCallback::CbTest | CZipProgressCallback::CbExtract;

} // namespace

// The callback of an archive that runs actions: counts the bytes it reports and asks
// it to stop once the run stops. On the caller's own archive it reports directly.
class CZipEntryWorkers::Counter : public CZipProgressCallback
{
public:
    Counter(std::atomic<std::uint64_t>& bytes, std::atomic<bool>& stop, const Progress* direct)
        : m_bytes(bytes), m_stop(stop), m_direct(direct)
    {
    }
    bool Callback(int bytes) override
    {
        const auto count = static_cast<std::uint64_t>(static_cast<std::uint32_t>(bytes));
        if (m_direct && *m_direct && !(*m_direct)(count))
            m_stop = true;
        else if (!m_direct)
            m_bytes += count;
        return !m_stop;
    }

private:
    std::atomic<std::uint64_t>& m_bytes;
    std::atomic<bool>& m_stop;
    const Progress* m_direct;
};

struct CZipEntryWorkers::Worker
{
    CZipContainer archive;
    std::unique_ptr<Counter> counter;
    std::thread thread;
};

CZipEntryWorkers::CZipEntryWorkers(CZipContainer& own, unsigned threads, Opener opener)
    : m_own(own)
{
    threads = CZipAddPipeline::ThreadsFor(threads);
    // Removable disks are asked for one at a time: no second reader there.
    if (threads <= 1 || own.GetStorage().IsSpanMode() == 1)
        return;
    try {
        for (unsigned i = 0; i < threads; ++i) {
            auto worker = std::make_unique<Worker>();
            opener(worker->archive);
            worker->counter = std::make_unique<Counter>(m_bytes, m_stop, nullptr);
            worker->archive.SetCallback(worker->counter.get(), kProgressTypes);
            m_workers.push_back(std::move(worker));
        }
    } catch (const std::exception&) {
        m_workers.clear(); // the caller's archive does it all
    }
}

CZipEntryWorkers::~CZipEntryWorkers()
{
    m_stop = true;
    m_changed.notify_all();
    for (auto& worker : m_workers)
        if (worker->thread.joinable())
            worker->thread.join();
}

CZipEntryWorkers::Result CZipEntryWorkers::Attempt(const Action& action, CZipContainer& archive,
                                                   int index)
{
    Result result;
    try {
        result.ok = action(archive, index);
    } catch (...) {
        result.error = std::current_exception();
    }
    return result;
}

bool CZipEntryWorkers::RunHere(const std::vector<int>& indexes, const Action& action,
                               const Report& report, const Progress& progress,
                               const Prepare& prepare)
{
    // The caller's callbacks come back whatever happens.
    CZipProgressCallback* test = m_own.GetCallback(CZipProgressCallback::CbTest);
    CZipProgressCallback* extract = m_own.GetCallback(CZipProgressCallback::CbExtract);
    Counter counter(m_bytes, m_stop, &progress);
    if (progress)
        m_own.SetCallback(&counter, kProgressTypes);
    struct Restore
    {
        CZipContainer& archive;
        CZipProgressCallback* test;
        CZipProgressCallback* extract;
        ~Restore()
        {
            archive.SetCallback(test, CZipProgressCallback::CbTest);
            archive.SetCallback(extract, CZipProgressCallback::CbExtract);
        }
    } restore{m_own, test, extract};
    for (const int index : indexes) {
        Result result;
        result.skipped = prepare && !prepare(index);
        if (!result.skipped)
            result = Attempt(action, m_own, index);
        if (m_stop || !report(index, result))
            return false;
    }
    return true;
}

bool CZipEntryWorkers::Run(const std::vector<int>& indexes, const Action& action,
                           const Report& report, const Progress& progress, const Prepare& prepare)
{
    m_stop = false;
    if (m_workers.empty())
        return RunHere(indexes, action, report, progress, prepare);
    m_results.clear();
    m_results.resize(indexes.size());
    m_skip.assign(indexes.size(), 0);
    m_prepared = prepare ? 0 : indexes.size();
    m_nextPosition = 0;
    m_reported = 0;
    m_bytes = 0;
    for (auto& worker : m_workers)
        worker->thread = std::thread([this, &worker, &indexes, &action] {
            Work(*worker, indexes, action);
        });
    bool finished = false;
    std::exception_ptr error;
    try {
        finished = Collect(indexes, report, progress, prepare);
    } catch (...) {
        error = std::current_exception();
    }
    m_stop = true;
    m_changed.notify_all();
    for (auto& worker : m_workers)
        worker->thread.join();
    m_results.clear();
    if (error)
        std::rethrow_exception(error);
    return finished;
}

std::size_t CZipEntryWorkers::Ahead() const
{
    return kAheadPerThread * m_workers.size();
}

void CZipEntryWorkers::Work(Worker& worker, const std::vector<int>& indexes, const Action& action)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] {
            return m_stop || m_nextPosition >= indexes.size() ||
                   (m_nextPosition < m_prepared && m_nextPosition < m_reported + Ahead());
        });
        if (m_stop || m_nextPosition >= indexes.size())
            return;
        const std::size_t position = m_nextPosition++;
        if (m_skip[position])
            continue; // its result is there already
        lock.unlock();
        auto result = std::make_unique<Result>(Attempt(action, worker.archive, indexes[position]));
        lock.lock();
        m_results[position] = std::move(result);
        m_changed.notify_all();
    }
}

// Waits for each result in order and reports it; between results the progress
// hears of the bytes done, at least every tenth of a second.
// Prepares the positions up to `limit` that are not yet, one by one on this thread,
// and lets the workers have them.
void CZipEntryWorkers::PrepareUpTo(std::size_t limit, const std::vector<int>& indexes,
                                   const Prepare& prepare)
{
    for (std::size_t position = m_prepared; position < limit; ++position) {
        const bool skipped = !prepare(indexes[position]);
        std::lock_guard lock(m_mutex);
        if (skipped) {
            m_skip[position] = 1;
            m_results[position] = std::make_unique<Result>();
            m_results[position]->skipped = true;
        }
        m_prepared = position + 1;
        m_changed.notify_all();
    }
}

bool CZipEntryWorkers::Collect(const std::vector<int>& indexes, const Report& report,
                               const Progress& progress, const Prepare& prepare)
{
    std::uint64_t told = 0;
    const auto tell = [&] {
        const std::uint64_t now = m_bytes;
        const std::uint64_t delta = now - told;
        told = now;
        return !progress || progress(delta);
    };
    for (std::size_t position = 0; position < indexes.size(); ++position) {
        if (prepare)
            PrepareUpTo(std::min(indexes.size(), position + Ahead()), indexes, prepare);
        std::unique_lock lock(m_mutex);
        while (!m_results[position]) {
            m_changed.wait_for(lock, kProgressWait);
            lock.unlock();
            if (!tell())
                return false;
            lock.lock();
        }
        const Result result = std::move(*m_results[position]);
        m_results[position].reset();
        m_reported = position + 1;
        lock.unlock();
        m_changed.notify_all();
        if (!tell() || !report(indexes[position], result))
            return false;
    }
    return true;
}

std::vector<std::string> CZipEntryWorkers::FinishFolders()
{
    std::vector<std::string> failed = m_own.FinishFolders();
    for (auto& worker : m_workers) {
        std::vector<std::string> more = worker->archive.FinishFolders();
        failed.insert(failed.end(), more.begin(), more.end());
    }
    return failed;
}

std::vector<int> CZipEntryWorkers::Indexes(std::size_t count, int first)
{
    std::vector<int> indexes(count);
    std::iota(indexes.begin(), indexes.end(), first);
    return indexes;
}

std::string CZipEntryWorkers::ErrorText(const Result& result)
{
    if (!result.error)
        return {};
    try {
        std::rethrow_exception(result.error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

int CZipEntryWorkers::ErrorCause(const Result& result)
{
    if (!result.error)
        return 0;
    try {
        std::rethrow_exception(result.error);
    } catch (const CZipException& e) {
        return e.GetCause();
    } catch (...) {
        return 0;
    }
}
