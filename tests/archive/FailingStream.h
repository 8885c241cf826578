#pragma once

#include "ZipDrive.h"
#include "ZipForwardingStream.h"

#include <cstdint>
#include <limits>
#include <memory>

namespace tbmtest {

// Bytes that may still be read and written before the streams sharing this budget
// fail with an I/O error (5), and whether cutting a file back fails too.
struct FaultBudget
{
    std::uint64_t writeBytes = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t readBytes = std::numeric_limits<std::uint64_t>::max();
    bool failSetLength = false;
    bool failFlush = false;
};

// A stream that fails after the bytes of its budget: a write or read that would go
// past it passes the bytes that are left and then fails, as a disk going bad does.
class CFailingStream : public CZipForwardingStream
{
public:
    CFailingStream(std::unique_ptr<CZipStream> inner, std::shared_ptr<FaultBudget> budget)
        : CZipForwardingStream(std::move(inner)), m_budget(std::move(budget))
    {
    }

    void Write(const void* buffer, std::uint32_t count) override;
    std::uint32_t Read(void* buffer, std::uint32_t count) override;
    void SetLength(std::uint32_t length) override;
    void Flush() override;

private:
    std::shared_ptr<FaultBudget> m_budget;
};

// A drive whose files all fail after one shared budget.
class CFaultyDrive : public CZipDrive
{
public:
    CFaultyDrive(CZipDrive& inner, std::shared_ptr<FaultBudget> budget)
        : m_inner(inner), m_budget(std::move(budget))
    {
    }

    bool GetFreeSpace(const std::string& path, std::uint64_t& freeBytes) const override
    {
        return m_inner.GetFreeSpace(path, freeBytes);
    }
    bool GetTotalSize(const std::string& path, std::uint64_t& totalBytes) const override
    {
        return m_inner.GetTotalSize(path, totalBytes);
    }
    bool IsRemovable(const std::string& path) const override { return m_inner.IsRemovable(path); }
    std::string GetRoot(const std::string& path) const override { return m_inner.GetRoot(path); }
    bool GetVolumeLabel(const std::string& path, std::string& label) const override
    {
        return m_inner.GetVolumeLabel(path, label);
    }
    bool SetVolumeLabel(const std::string& path, const std::string& label) override
    {
        return m_inner.SetVolumeLabel(path, label);
    }
    bool CreateFolder(const std::string& path) override { return m_inner.CreateFolder(path); }
    std::unique_ptr<CZipStream> OpenFile(const std::string& path, unsigned flags,
                                         bool throwOnError) override;

private:
    CZipDrive& m_inner;
    std::shared_ptr<FaultBudget> m_budget;
};

} // namespace tbmtest
