#pragma once

#include "Prompt.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace tbmtest {

// A prompt for tests: installed for its lifetime, it records every message and
// answers from a script (queued answers first, then the default answer). Safe to
// call from worker threads.
class CScriptedPrompt : public CPrompt
{
public:
    struct Message
    {
        std::string text;
        unsigned style;
    };

    CScriptedPrompt() { SetPrompt(this); }
    ~CScriptedPrompt() override { SetPrompt(nullptr); }
    CScriptedPrompt(const CScriptedPrompt&) = delete;
    CScriptedPrompt& operator=(const CScriptedPrompt&) = delete;

    void QueueAnswer(int answer)
    {
        std::lock_guard lock(m_mutex);
        m_answers.push_back(answer);
    }
    void SetDefaultAnswer(int answer)
    {
        std::lock_guard lock(m_mutex);
        m_defaultAnswer = answer;
    }
    std::vector<Message> Messages() const
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }

    int MessageBox(const std::string& text, unsigned style) override
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({text, style});
        if (m_answers.empty())
            return m_defaultAnswer;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

private:
    mutable std::mutex m_mutex;
    std::deque<int> m_answers;
    std::vector<Message> m_messages;
    int m_defaultAnswer = IDOK;
};

} // namespace tbmtest
