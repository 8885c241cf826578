#pragma once

#include "ZipPreparedFile.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CZipBlockDeflate;

// Reads and compresses the files of a backup ahead of the archive, on several
// threads, while the caller writes them in their own order:
//
//   reader thread ── pieces ──> N compressor threads ── done pieces ──> caller
//
// The reader opens the files in order and reads them in pieces of ChunkSize; a
// file that fits one piece is compressed whole, a larger one in joinable pieces
// that all compressors work on at once. Data that a sample shows to be compressed
// already (media, archives) is stored without spending a core on it. What a piece
// becomes depends on its bytes alone, never on the thread count or timing, so the
// archive is the same byte for byte whatever the number of threads.
//
// Small files go in batches: the reader hands on up to 64 of them with one lock and
// one wake-up, and when their collected sizes are known the compressors open and
// read them too, since for a small file that costs more than compressing it.
//
// Memory stays bounded: the reader waits while the pieces read, compressed and not
// yet taken hold more than the budget (one piece always goes through).
//
// Take and NextPiece are for one caller thread. Destroying the pipeline stops and
// joins its threads, also with work in flight.
class CZipAddPipeline
{
public:
    struct Options
    {
        unsigned threads = 0; // compressors; 0: one per core
        int level = -1;       // -1..9 as zlib's; 0 stores everything
        std::size_t chunkSize = std::size_t{1} << 20;
        std::size_t budget = std::size_t{64} << 20;
        // Called before each piece of a file is read, with the offset it starts at,
        // on the thread that reads it; what it throws fails the file as a failed read
        // does.
        std::function<void(const std::string& path, std::uint64_t offset)> beforeRead;
        // The sizes the files had when they were collected, by index (NotAFile for
        // a folder, which is not opened at all); none known when empty. Small files
        // are then opened and read by the compressors, in parallel.
        std::vector<std::uint64_t> expectedSizes;
    };
    static constexpr std::uint64_t NotAFile = ~std::uint64_t{0};
    static constexpr std::uint64_t UnknownSize = NotAFile - 1;
    static constexpr std::uint64_t SampleSize = 65536;

    CZipAddPipeline(std::vector<std::string> paths, Options options);
    ~CZipAddPipeline();
    CZipAddPipeline(const CZipAddPipeline&) = delete;
    CZipAddPipeline& operator=(const CZipAddPipeline&) = delete;

    // The file `path`, the next of that path in order; files before it that were
    // not taken are dropped. Null when the pipeline has not prepared it (not one of
    // its paths, not a regular file with data, or it could not be opened): the
    // caller adds it the ordinary way. Valid until the next Take.
    CZipPreparedFile* Take(const std::string& path);

    static unsigned ThreadsFor(unsigned setting);
    // The most bytes the pipeline held at once so far.
    std::size_t GetPeakHeld();

private:
    friend class CZipPreparedFile;
    struct Unit;
    struct Slot;
    struct Batch;
    enum SlotState
    {
        SlotPending,
        SlotDirect,
        SlotPrepared
    };

    void Stop();
    void Release(std::size_t index, std::unique_lock<std::mutex>& lock);
    bool NextPiece(std::size_t slot, CZipPreparedFile::Piece& piece);
    void ReadAll();
    void ReadFile(std::size_t index, Batch& batch);
    void Stage(Batch& batch, std::size_t index, std::unique_ptr<Slot> slot, SlotState state,
               bool complete, bool publish);
    void Publish(Batch& batch);
    void ReadPieces(std::size_t index, int fd, std::uint64_t size, bool stored);
    std::unique_ptr<Unit> ReadPiece(std::size_t index, int fd, std::uint64_t size,
                                    std::uint64_t offset, bool first, bool& stored) const;
    static std::size_t ReadUpTo(int fd, char* data, std::size_t size, std::uint64_t expected,
                                const std::string& path);
    bool WaitForRoom(std::size_t index, std::size_t bytes);
    void Dispatch(std::size_t index, std::unique_ptr<Unit> unit);
    void Hold(std::size_t bytes);
    void FinishSlot(std::size_t index, SlotState state, std::exception_ptr error = nullptr);
    void Compress();
    bool ReadSmall(Unit& unit) const;
    void Process(Unit& unit, std::unique_ptr<CZipBlockDeflate>& deflate) const;

    std::vector<std::string> m_paths;
    Options m_options;
    std::size_t m_batchBytes = 0;
    std::uint64_t m_batchFileSize = 0;
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::size_t m_next = 0; // the first slot neither handed out nor released
    bool m_holding = false; // slot m_held is the caller's until the next Take
    std::size_t m_held = 0;
    std::vector<char> m_abandoned; // per slot: the caller is done with it

    std::mutex m_mutex;
    std::condition_variable m_workReady; // compressors wait for pieces
    std::condition_variable m_forCaller; // the caller waits for files and pieces
    std::condition_variable m_room;      // the reader waits for room in the budget
    std::deque<Unit*> m_work;
    std::size_t m_inFlight = 0; // bytes held by pieces not yet taken
    std::size_t m_peak = 0;
    bool m_readerDone = false;
    std::atomic<bool> m_stop = false; // also read by the reader without the lock

    std::thread m_reader;
    std::vector<std::thread> m_compressors;
};
