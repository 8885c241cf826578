#pragma once

#include <cstdint>
#include <ctime>
#include <string>

class CZipAddPipeline;

// A file the add pipeline has opened, read ahead and compressed in pieces; the
// archive writes it with AddPreparedFile. The status is the one taken when the
// pipeline opened the file.
class CZipPreparedFile
{
public:
    enum PieceKind
    {
        PieceStored,   // the bytes as they are: the entry is stored
        PieceComplete, // the whole file as one deflate stream
        PieceJoinable  // one of several deflate pieces, closed by a final block
    };
    struct Piece
    {
        std::string data;
        PieceKind kind = PieceStored;
        std::uint64_t rawSize = 0; // bytes of the file it holds
        std::uint32_t crc = 0;     // of those bytes
        bool last = false;         // known to be the file's last piece
    };

    CZipPreparedFile(CZipAddPipeline& pipeline, std::size_t slot)
        : m_pipeline(pipeline), m_slot(slot)
    {
    }

    // Waits for the next piece in file order; false after the last one. A read that
    // failed is thrown here, after the pieces read before it.
    bool NextPiece(Piece& piece);

    const std::string& GetPath() const { return m_path; }
    std::uint32_t GetAttributes() const { return m_attributes; }
    std::time_t GetModified() const { return m_modified; }
    std::uint64_t GetSize() const { return m_size; }
    // True when the file was written to while it was read (its modification time
    // moved): the entry holds what was read, which may mix old and new bytes.
    // Valid once NextPiece has returned false.
    bool ChangedWhileRead() const { return m_changed; }

private:
    friend class CZipAddPipeline;

    CZipAddPipeline& m_pipeline;
    std::size_t m_slot;
    std::string m_path;
    std::uint32_t m_attributes = 0;
    std::time_t m_modified = 0;
    std::uint64_t m_size = 0;
    std::int64_t m_stamp = 0; // modification time when opened, in nanoseconds
    bool m_changed = false;
};
