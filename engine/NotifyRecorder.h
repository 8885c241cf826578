#pragma once

#include "Notify.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Records what was posted, for tests and for callers that read the run afterwards.
// Paths that travel as pointers are copied at once (they are only valid while the
// job runs), and the scanning message's heap copy is taken over and freed.
class CNotifyRecorder : public CNotify
{
public:
    struct Message
    {
        unsigned message = 0;
        std::uintptr_t first = 0;
        std::intptr_t second = 0;
        std::string text; // the path or name carried by the message, if any
    };

    void post(unsigned message, std::uintptr_t first, std::intptr_t second) override
    {
        Message entry{message, first, second, {}};
        if (message == notify::kScanning && second != 0) {
            char* copy = reinterpret_cast<char*>(second);
            entry.text = copy;
            delete[] copy;
            entry.second = 0;
        } else if (message == notify::kEvent && second != 0 &&
                   (first == notify::kFilePath || first == notify::kVerifyName)) {
            entry.text = reinterpret_cast<const char*>(second);
        }
        std::lock_guard lock(m_mutex);
        m_messages.push_back(std::move(entry));
    }

    std::vector<Message> Messages() const
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    // The values posted with event code `code`, in order.
    std::vector<std::intptr_t> EventValues(int code) const
    {
        std::vector<std::intptr_t> values;
        for (const Message& entry : Messages())
            if (entry.message == notify::kEvent && entry.first == static_cast<std::uintptr_t>(code))
                values.push_back(entry.second);
        return values;
    }
    // The texts posted with event code `code` (paths, names), or scanning texts.
    std::vector<std::string> Texts(unsigned message, int code = -1) const
    {
        std::vector<std::string> texts;
        for (const Message& entry : Messages())
            if (entry.message == message &&
                (code < 0 || entry.first == static_cast<std::uintptr_t>(code)))
                texts.push_back(entry.text);
        return texts;
    }
    void Clear()
    {
        std::lock_guard lock(m_mutex);
        m_messages.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
};
