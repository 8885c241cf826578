#pragma once

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
    void SetLength(std::uint64_t length) override;
    void Flush() override;

private:
    std::shared_ptr<FaultBudget> m_budget;
};

} // namespace tbmtest
