#pragma once

#include "FailingStream.h"
#include "ZipDrive.h"

#include <memory>

namespace tbmtest {

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
