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
// Small files are handed on in batches: one lock and one wake-up for many of them
// instead of several for each.
constexpr std::uint64_t kBatchFileSize = 64 << 10;
constexpr std::size_t kBatchBytes = 256 << 10;
constexpr std::size_t kBatchFiles = 64;
// A compressor takes queued pieces up to this many bytes at once.
constexpr std::size_t kGroupBytes = 64 << 10;

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
    // A small file the compressor opens and reads itself, expected to hold
    // `reserve` bytes; `direct` when it is no such file any more.
    Slot* reads = nullptr;
    std::size_t reserve = 0;
    bool direct = false;
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

// Files the reader has dealt with but not yet handed on; only the reader sees them.
struct CZipAddPipeline::Batch
{
    std::vector<std::pair<std::size_t, std::unique_ptr<Slot>>> files;
    std::size_t bytes = 0;
};

CZipAddPipeline::CZipAddPipeline(std::vector<std::string> paths, Options options)
    : m_paths(std::move(paths)), m_options(options)
{
    m_options.chunkSize = std::max<std::size_t>(m_options.chunkSize, 4096);
    m_options.budget = std::max(m_options.budget, 2 * m_options.chunkSize);
    // A batch takes a small share of the budget; its files fit one piece each.
    m_batchBytes = std::min(kBatchBytes, m_options.budget / 4);
    m_batchFileSize = std::min<std::uint64_t>(kBatchFileSize, m_options.chunkSize);
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
    Batch batch;
    for (std::size_t index = 0; index < m_paths.size() && !m_stop; ++index)
        ReadFile(index, batch);
    Publish(batch);
    std::lock_guard lock(m_mutex);
    m_readerDone = true;
    m_workReady.notify_all();
}

// Puts a small file of known size into the batch for a compressor to read; opens
// any other file, publishes it at once (with the batch before it, which must never
// wait behind it) and reads it in pieces. Folders, links, empty files and files
// that cannot be opened are left to the caller, whose ordinary path reports their
// errors.
void CZipAddPipeline::ReadFile(std::size_t index, Batch& batch)
{
    auto slot = std::make_unique<Slot>();
    slot->file = std::make_unique<CZipPreparedFile>(*this, index);
    CZipPreparedFile& prepared = *slot->file;
    prepared.m_path = m_paths[index];
    // A batch starts with room for all of it, so nothing in it waits on the budget.
    if (batch.files.empty() && !WaitForRoom(index, m_batchBytes))
        return Stage(batch, index, std::move(slot), SlotDirect, true, true);
    const std::uint64_t expected =
        index < m_options.expectedSizes.size() ? m_options.expectedSizes[index] : UnknownSize;
    if (expected == NotAFile)
        return Stage(batch, index, std::move(slot), SlotDirect, true, false);
    if (expected < m_batchFileSize && batch.bytes + expected + 1 + kSlotCost <= m_batchBytes) {
        // Opening and reading many small files costs more than compressing them:
        // the compressors do both, in parallel.
        auto unit = std::make_unique<Unit>();
        unit->reads = slot.get();
        unit->reserve = static_cast<std::size_t>(expected + 1);
        slot->units.push_back(std::move(unit));
        return Stage(batch, index, std::move(slot), SlotPending, false, false);
    }
    const int fd =
        ZipPlatform::OpenRegularFile(prepared.m_path, prepared.m_attributes, prepared.m_modified,
                                     prepared.m_size, &prepared.m_stamp);
    if (fd < 0)
        return Stage(batch, index, std::move(slot), SlotDirect, true, false);
    const Descriptor file{fd};
    const std::uint64_t size = prepared.m_size;
    if (size == 0)
        return Stage(batch, index, std::move(slot), SlotDirect, true, false);
    Stage(batch, index, std::move(slot), SlotPrepared, false, true);
    try {
        ReadPieces(index, fd, size, m_options.level == 0 || size < kStoreBelow);
        prepared.m_changed = ZipPlatform::ModifiedStamp(fd) != prepared.m_stamp;
        FinishSlot(index, SlotPrepared);
    } catch (...) {
        FinishSlot(index, SlotPrepared, std::current_exception());
    }
}

// Adds a file to the batch, and hands the batch on when it is full or must not wait.
void CZipAddPipeline::Stage(Batch& batch, std::size_t index, std::unique_ptr<Slot> slot,
                            SlotState state, bool complete, bool publish)
{
    slot->state = state;
    slot->complete = complete;
    for (const auto& unit : slot->units)
        batch.bytes += unit->reserve;
    batch.bytes += kSlotCost;
    batch.files.emplace_back(index, std::move(slot));
    if (publish || batch.files.size() >= kBatchFiles || batch.bytes >= m_batchBytes)
        Publish(batch);
}

// Makes the batch's files visible to the caller and its pieces to the compressors,
// with one lock and one wake-up for all of them.
void CZipAddPipeline::Publish(Batch& batch)
{
    if (batch.files.empty())
        return;
    {
        std::lock_guard lock(m_mutex);
        for (auto& [index, slot] : batch.files) {
            Hold(kSlotCost);
            for (const auto& unit : slot->units) {
                unit->held = unit->reserve;
                Hold(unit->held);
                m_work.push_back(unit.get());
            }
            m_slots[index] = std::move(slot);
        }
    }
    batch.files.clear();
    batch.bytes = 0;
    m_workReady.notify_all();
    m_forCaller.notify_one();
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
void CZipAddPipeline::ReadPieces(std::size_t index, int fd, std::uint64_t size, bool stored)
{
    std::uint64_t offset = 0;
    for (bool first = true;; first = false) {
        if (!WaitForRoom(index, m_options.chunkSize))
            return;
        std::unique_ptr<Unit> unit = ReadPiece(index, fd, size, offset, first, stored);
        if (!unit)
            return;
        offset += unit->rawSize;
        const bool ended = unit->last;
        Dispatch(index, std::move(unit));
        if (ended)
            return;
    }
}

// The piece at `offset` of a file that had `size` bytes when it was opened; null at
// the end of the file. A file that fits one piece is read with one byte to spare,
// which tells whether it ended where it was expected to. The first piece of a large
// file decides from a sample whether the file is stored.
std::unique_ptr<CZipAddPipeline::Unit> CZipAddPipeline::ReadPiece(std::size_t index, int fd,
                                                                  std::uint64_t size,
                                                                  std::uint64_t offset, bool first,
                                                                  bool& stored) const
{
    const std::size_t want =
        first ? static_cast<std::size_t>(std::min<std::uint64_t>(m_options.chunkSize, size + 1))
              : m_options.chunkSize;
    if (m_options.beforeRead)
        m_options.beforeRead(m_paths[index], offset);
    auto unit = std::make_unique<Unit>();
    unit->input.resize(want);
    const std::size_t got =
        ReadUpTo(fd, unit->input.data(), want, size > offset ? size - offset : 0, m_paths[index]);
    if (got == 0)
        return nullptr;
    unit->input.resize(got);
    const bool ended = got < want;
    if (first && !stored && size >= 2 * SampleSize)
        stored = !CZipBlockDeflate::LooksCompressible(
            unit->input.data(), static_cast<std::size_t>(std::min<std::uint64_t>(got, SampleSize)));
    unit->kind = stored           ? CZipPreparedFile::PieceStored
                 : first && ended ? CZipPreparedFile::PieceComplete
                                  : CZipPreparedFile::PieceJoinable;
    unit->rawSize = got;
    unit->last = ended;
    return unit;
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
    std::vector<Unit*> group;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workReady.wait(lock, [&] { return m_stop || !m_work.empty() || m_readerDone; });
        if (m_stop || m_work.empty())
            return;
        // Small pieces are taken several at once, which spares a lock and a wake-up
        // for each; a large piece alone, so that the others go to other threads.
        std::size_t bytes = 0;
        group.clear();
        do {
            bytes += m_work.front()->held;
            group.push_back(m_work.front());
            m_work.pop_front();
        } while (!m_work.empty() && bytes + m_work.front()->held <= kGroupBytes);
        lock.unlock();
        for (Unit* unit : group) {
            try {
                if (!unit->reads || ReadSmall(*unit))
                    Process(*unit, deflate);
            } catch (...) {
                unit->error = std::current_exception();
            }
        }
        lock.lock();
        for (Unit* unit : group) {
            m_inFlight -= unit->held;
            unit->held = unit->output.size() + unit->input.size();
            Hold(unit->held);
            unit->done = true;
            if (unit->reads) {
                unit->reads->state = unit->direct ? SlotDirect : SlotPrepared;
                unit->reads->complete = true;
            }
        }
        m_forCaller.notify_one();
        m_room.notify_one();
    }
}

// Opens and reads a small file on a compressor thread; false, with the unit
// `direct`, when it is no regular file with data any more or has outgrown one piece:
// the caller adds it the ordinary way.
bool CZipAddPipeline::ReadSmall(Unit& unit) const
{
    CZipPreparedFile& prepared = *unit.reads->file;
    const int fd =
        ZipPlatform::OpenRegularFile(prepared.m_path, prepared.m_attributes, prepared.m_modified,
                                     prepared.m_size, &prepared.m_stamp);
    if (fd < 0) {
        unit.direct = true;
        return false;
    }
    const Descriptor file{fd};
    const std::uint64_t size = prepared.m_size;
    bool stored = m_options.level == 0 || size < kStoreBelow;
    std::unique_ptr<Unit> piece;
    if (size > 0 && size < m_batchFileSize)
        piece = ReadPiece(prepared.m_slot, fd, size, 0, true, stored);
    if (!piece || !piece->last) {
        unit.direct = true;
        return false;
    }
    prepared.m_changed = ZipPlatform::ModifiedStamp(fd) != prepared.m_stamp;
    unit.input = std::move(piece->input);
    unit.kind = piece->kind;
    unit.rawSize = piece->rawSize;
    unit.last = true;
    return true;
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
