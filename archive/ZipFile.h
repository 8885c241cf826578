#pragma once

#include "ZipStream.h"

// A disk file. Only regular files are opened (a folder, a pipe or a device is
// refused), so the archive can always seek. ShareDenyWrite is emulated with an
// advisory lock (flock): shared when opened for reading, exclusive when opened for
// writing, so two writers or a writer and a denying reader exclude each other,
// across processes and within one. A file opened with OpenCreate is truncated only
// after the lock is held, so a refused opener never empties a file someone holds.
class CZipFile : public CZipStream
{
public:
    CZipFile() = default;
    CZipFile(const std::string& path, unsigned flags) { Open(path, flags, true); }
    ~CZipFile() override;

    bool Open(const std::string& path, unsigned flags, bool throwOnError) override;
    void Close() override;
    void Flush() override;
    std::uint64_t GetPosition() const override;
    std::uint64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::uint64_t GetLength() const override;
    void SetLength(std::uint64_t length) override;
    std::string GetFilePath() const override { return m_path; }
    std::uint32_t Read(void* buffer, std::uint32_t count) override;
    void Write(const void* buffer, std::uint32_t count) override;
    bool IsClosed() const override { return m_fd < 0; }
    int GetHandle() const override { return m_fd; }

private:
    int OpenDescriptor(const std::string& path, unsigned flags);
    [[noreturn]] void Fail(int error) const;
    void RequireOpen() const;

    int m_fd = -1;
    std::string m_path;
    // Kept here so that asking for it costs no system call. Whoever moves it through
    // the handle seeks through this class afterwards.
    mutable std::uint64_t m_position = 0;
    mutable bool m_positionKnown = false;
};
