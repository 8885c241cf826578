#include "ZipAddPipeline.h"

#include "ZipAttributes.h"
#include "ZipBlockDeflate.h"
#include "ZipException.h"
#include "ZipPlatform.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

// What a file costs besides its data while the pipeline holds it, so a long run
// of tiny files is bounded too.
constexpr std::size_t kSlotCost = 512;
constexpr unsigned kMaxThreads = 64;
// Files shorter than this are stored: deflate cannot make them smaller.
constexpr std::uint64_t kStoreBelow = 5;

// Closes the file it holds when it goes.
struct Descriptor
{
    int fd;
    ~Descriptor() { close(fd); }
};

} // namespace

struct CZipAddPipeline::Unit
{
    std::string input;
    std::string output;
    CZipPreparedFile::PieceKind kind = CZipPreparedFile::PieceStored;
    std::uint64_t rawSize = 0;
    std::uint32_t crc = 0;
    bool last = false;
    std::size_t held = 0; // bytes counted in m_inFlight
    bool done = false;
    std::exception_ptr error;
};

struct CZipAddPipeline::Slot
{
    SlotState state = SlotPending;
    std::unique_ptr<CZipPreparedFile> file;
    std::vector<std::unique_ptr<Unit>> units; // in file order
    std::size_t taken = 0;                    // units handed to the caller
    bool complete = false;                    // the reader is done with the file
    std::exception_ptr error;                 // the read that failed
};

CZipAddPipeline::CZipAddPipeline(std::vector<std::string> paths, Options options)
    : m_paths(std::move(paths)), m_options(options)
{
    m_options.chunkSize = std::max<std::size_t>(m_options.chunkSize, 4096);
    m_options.budget = std::max(m_options.budget, 2 * m_options.chunkSize);
    m_slots.resize(m_paths.size());
    m_abandoned.resize(m_paths.size());
    const unsigned threads = ThreadsFor(m_options.threads);
    try {
        m_reader = std::thread([this] { ReadAll(); });
        for (unsigned i = 0; i < threads; ++i)
            m_compressors.emplace_back([this] { Compress(); });
    } catch (...) {
        Stop();
        throw;
    }
}

CZipAddPipeline::~CZipAddPipeline()
{
    Stop();
}

void CZipAddPipeline::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_workReady.notify_all();
    m_forCaller.notify_all();
    m_room.notify_all();
    if (m_reader.joinable())
        m_reader.join();
    for (std::thread& thread : m_compressors)
        if (thread.joinable())
            thread.join();
    m_compressors.clear();
}

unsigned CZipAddPipeline::ThreadsFor(unsigned setting)
{
    if (setting == 0)
        setting = std::thread::hardware_concurrency();
    return std::clamp(setting, 1u, kMaxThreads);
}

CZipPreparedFile* CZipAddPipeline::Take(const std::string& path)
{
    std::unique_lock lock(m_mutex);
    if (m_holding) {
        Release(m_held, lock);
        m_holding = false;
    }
    std::size_t index = m_next;
    while (index < m_paths.size() && m_paths[index] != path)
        ++index;
    if (index == m_paths.size())
        return nullptr; // not one of the pipeline's files: added the ordinary way
    // Files the caller passed over are not needed any more.
    while (m_next < index)
        Release(m_next++, lock);
    m_next = index + 1;
    m_holding = true;
    m_held = index;
    m_forCaller.wait(lock, [&] { return m_slots[index] && m_slots[index]->state != SlotPending; });
    Slot& slot = *m_slots[index];
    return slot.state == SlotPrepared ? slot.file.get() : nullptr;
}

// Stops the reading of a file the caller is done with and frees what is left of
// it once no thread works on it any more.
void CZipAddPipeline::Release(std::size_t index, std::unique_lock<std::mutex>& lock)
{
    m_abandoned[index] = 1;
    m_room.notify_one(); // the reader may wait for room for this very file
    m_forCaller.wait(lock, [&] {
        const Slot* slot = m_slots[index].get();
        return slot && slot->complete &&
               std::all_of(slot->units.begin(), slot->units.end(),
                           [](const auto& unit) { return !unit || unit->done; });
    });
    for (const auto& unit : m_slots[index]->units)
        if (unit)
            m_inFlight -= unit->held;
    m_inFlight -= kSlotCost;
    m_slots[index].reset();
    m_room.notify_one();
}

bool CZipPreparedFile::NextPiece(Piece& piece)
{
    return m_pipeline.NextPiece(m_slot, piece);
}

bool CZipAddPipeline::NextPiece(std::size_t index, CZipPreparedFile::Piece& piece)
{
    std::unique_lock lock(m_mutex);
    Slot& slot = *m_slots[index];
    m_forCaller.wait(lock, [&] {
        return (slot.taken < slot.units.size() && slot.units[slot.taken]->done) ||
               (slot.complete && slot.taken == slot.units.size());
    });
    if (slot.taken == slot.units.size()) {
        if (slot.error)
            std::rethrow_exception(std::exchange(slot.error, nullptr));
        return false;
    }
    std::unique_ptr<Unit> unit = std::move(slot.units[slot.taken++]);
    m_inFlight -= unit->held;
    m_room.notify_one();
    lock.unlock();
    if (unit->error)
        std::rethrow_exception(unit->error);
    piece.data = std::move(unit->output);
    piece.kind = unit->kind;
    piece.rawSize = unit->rawSize;
    piece.crc = unit->crc;
    piece.last = unit->last;
    return true;
}

void CZipAddPipeline::ReadAll()
{
    for (std::size_t index = 0; index < m_paths.size(); ++index) {
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                break;
        }
        ReadFile(index);
    }
    std::lock_guard lock(m_mutex);
    m_readerDone = true;
    m_workReady.notify_all();
}

void CZipAddPipeline::ReadFile(std::size_t index)
{
    auto slot = std::make_unique<Slot>();
    slot->file = std::make_unique<CZipPreparedFile>(*this, index);
    slot->file->m_path = m_paths[index];
    {
        std::lock_guard lock(m_mutex);
        Hold(kSlotCost);
        m_slots[index] = std::move(slot);
        if (m_abandoned[index]) {
            // Passed over before the reader came to it.
            m_slots[index]->state = SlotDirect;
            m_slots[index]->complete = true;
            m_forCaller.notify_one();
            return;
        }
    }
    try {
        if (!OpenSlot(index))
            FinishSlot(index, SlotDirect);
    } catch (...) {
        FinishSlot(index, SlotPrepared, std::current_exception());
    }
}

// Opens the file and publishes its status; false for what the caller adds itself
// (a link, a folder, an empty file, a file that cannot be opened, whose error the
// ordinary path reports).
bool CZipAddPipeline::OpenSlot(std::size_t index)
{
    CZipPreparedFile& prepared = *m_slots[index]->file;
    std::uint32_t attributes = 0;
    std::time_t modified = 0;
    std::uint64_t size = 0;
    const int fd = ZipPlatform::OpenRegularFile(prepared.m_path, attributes, modified, size);
    if (fd < 0)
        return false;
    const Descriptor file{fd};
    if (size == 0)
        return false;
    {
        std::lock_guard lock(m_mutex);
        prepared.m_attributes = attributes;
        prepared.m_modified = modified;
        prepared.m_size = size;
        m_slots[index]->state = SlotPrepared;
    }
    m_forCaller.notify_one();
    ReadPieces(index, fd, m_options.level == 0 || size < kStoreBelow);
    return true;
}

// Up to `size` bytes, fewer only at the end of the file. A short read that ends
// exactly where the file was expected to end is taken as that end, which spares
// every small file a second read; any other short read reads on.
std::size_t CZipAddPipeline::ReadUpTo(int fd, char* data, std::size_t size, std::uint64_t expected,
                                      const std::string& path)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, data + done, size - done);
        if (got == 0)
            break;
        if (got > 0 && static_cast<std::size_t>(got) < size - done &&
            done + static_cast<std::size_t>(got) == expected)
            return expected;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw CZipException::FromErrno(errno, path);
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// Reads the file in pieces until its end, whatever size it had when it was opened.
void CZipAddPipeline::ReadPieces(std::size_t index, int fd, bool stored)
{
    const std::uint64_t size = m_slots[index]->file->m_size;
    std::uint64_t offset = 0;
    bool first = true;
    for (;;) {
        // A file that fits one piece is read with one byte to spare, which tells
        // whether it ended where it was expected to.
        const std::size_t want =
            first ? static_cast<std::size_t>(std::min<std::uint64_t>(m_options.chunkSize, size + 1))
                  : m_options.chunkSize;
        if (!WaitForRoom(index, want))
            break;
        if (m_options.beforeRead)
            m_options.beforeRead(m_paths[index], offset);
        auto unit = std::make_unique<Unit>();
        unit->input.resize(want);
        const std::size_t got =
            ReadUpTo(fd, unit->input.data(), want, size > offset ? size - offset : 0, m_paths[index]);
        if (got == 0)
            break;
        unit->input.resize(got);
        const bool ended = got < want;
        if (first && !stored && size >= 2 * SampleSize)
            stored = !CZipBlockDeflate::LooksCompressible(
                unit->input.data(), static_cast<std::size_t>(std::min<std::uint64_t>(got, SampleSize)));
        unit->kind = stored                ? CZipPreparedFile::PieceStored
                     : first && ended      ? CZipPreparedFile::PieceComplete
                                           : CZipPreparedFile::PieceJoinable;
        unit->rawSize = got;
        unit->last = ended;
        offset += got;
        Dispatch(index, std::move(unit));
        first = false;
        if (ended)
            break;
    }
    FinishSlot(index, SlotPrepared);
}

// Waits until `bytes` more fit the budget (or nothing else is held); false when
// the pipeline stops or the caller has moved past the file being read.
bool CZipAddPipeline::WaitForRoom(std::size_t index, std::size_t bytes)
{
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [&] {
        return m_stop || m_abandoned[index] || m_inFlight <= kSlotCost ||
               m_inFlight + bytes <= m_options.budget;
    });
    return !m_stop && !m_abandoned[index];
}

void CZipAddPipeline::Dispatch(std::size_t index, std::unique_ptr<Unit> unit)
{
    std::lock_guard lock(m_mutex);
    unit->held = unit->input.size();
    Hold(unit->held);
    m_work.push_back(unit.get());
    m_slots[index]->units.push_back(std::move(unit));
    m_workReady.notify_one();
}

// Counts bytes in; the caller holds the lock.
void CZipAddPipeline::Hold(std::size_t bytes)
{
    m_inFlight += bytes;
    m_peak = std::max(m_peak, m_inFlight);
}

std::size_t CZipAddPipeline::GetPeakHeld()
{
    std::lock_guard lock(m_mutex);
    return m_peak;
}

void CZipAddPipeline::FinishSlot(std::size_t index, SlotState state, std::exception_ptr error)
{
    std::lock_guard lock(m_mutex);
    Slot& slot = *m_slots[index];
    if (slot.state == SlotPending)
        slot.state = state;
    slot.complete = true;
    if (error)
        slot.error = error;
    m_forCaller.notify_one();
}

void CZipAddPipeline::Compress()
{
    std::unique_ptr<CZipBlockDeflate> deflate; // made at the first piece to compress
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workReady.wait(lock, [&] { return m_stop || !m_work.empty() || m_readerDone; });
        if (m_stop || m_work.empty())
            return;
        Unit* unit = m_work.front();
        m_work.pop_front();
        lock.unlock();
        try {
            Process(*unit, deflate);
        } catch (...) {
            unit->error = std::current_exception();
        }
        lock.lock();
        m_inFlight -= unit->held;
        unit->held = unit->output.size() + unit->input.size();
        Hold(unit->held);
        unit->done = true;
        m_forCaller.notify_one();
        m_room.notify_one();
    }
}

void CZipAddPipeline::Process(Unit& unit, std::unique_ptr<CZipBlockDeflate>& deflate) const
{
    unit.crc = CZipBlockDeflate::Crc32(0, unit.input.data(), unit.input.size());
    if (unit.kind != CZipPreparedFile::PieceStored && !deflate)
        deflate = std::make_unique<CZipBlockDeflate>(m_options.level);
    if (unit.kind == CZipPreparedFile::PieceComplete &&
        !deflate->CompressWhole(unit.input.data(), unit.input.size(), unit.input.size() + 1,
                                unit.output))
        unit.kind = CZipPreparedFile::PieceStored; // compressing does not pay
    else if (unit.kind == CZipPreparedFile::PieceJoinable)
        deflate->CompressPiece(unit.input.data(), unit.input.size(), unit.output);
    if (unit.kind == CZipPreparedFile::PieceStored)
        unit.output = std::move(unit.input);
    unit.input = std::string();
}
