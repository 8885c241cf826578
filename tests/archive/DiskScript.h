#pragma once

#include "ZipDiskCallback.h"

#include <functional>
#include <string>
#include <vector>

namespace tbmtest {

// A disk callback that records every question and answers through a function the
// test sets (which may "insert" another disk before it answers).
class CDiskScript : public CZipDiskCallback
{
public:
    struct Call
    {
        int code;
        int disk;
        std::string path;
    };

    bool Callback(int code) override
    {
        m_calls.push_back({code, m_diskNumber, m_volumePath});
        return m_answer ? m_answer(code, m_diskNumber) : true;
    }

    std::function<bool(int code, int disk)> m_answer;
    std::vector<Call> m_calls;
};

} // namespace tbmtest
