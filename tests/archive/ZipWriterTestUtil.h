#pragma once

#include "ZipContainer.h"
#include "ZipProgressCallback.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tbmtest {

std::uint16_t At16(const std::string& bytes, std::size_t offset);
std::uint32_t At32(const std::string& bytes, std::size_t offset);

// Offsets of every occurrence of a 4-byte record signature.
std::vector<std::size_t> FindSignatures(const std::string& bytes, std::uint32_t signature);

// Data that deflate cannot shrink.
std::string RandomBytes(std::size_t size, unsigned seed = 7);

// Records every call; stops (returns false) on call number `stopAt` (1-based).
class CRecordingCallback : public CZipProgressCallback
{
public:
    bool Callback(int bytes) override
    {
        calls.push_back({m_type, bytes});
        return static_cast<int>(calls.size()) != stopAt;
    }
    void CallbackEnd() override { ++ends; }
    struct Call
    {
        int type;
        int bytes;
    };
    std::vector<Call> calls;
    int stopAt = -1;
    int ends = 0;
};

// Runs a shell command; returns its exit status and fills `output`.
int RunCommand(const std::string& command, std::string* output = nullptr);
bool HaveProgram(const std::string& name);
// `path` in single quotes for a shell command.
std::string Quote(const std::string& path);

} // namespace tbmtest
