#pragma once

#include <mutex>
#include <string>

// The terminal the user sits at: questions go to stderr, answers come from stdin.
// Tests derive a scripted console. Every write goes through one lock so that the
// progress line and a question never cut into each other.
class CTbmConsole
{
public:
    virtual ~CTbmConsole() = default;

    // True when stdin is a terminal, i.e. somebody can answer.
    virtual bool IsInteractive() const;
    virtual void Write(const std::string& text);
    // Reads one line without its end; `echo` false hides what is typed (passwords).
    // False at the end of input or when a signal interrupted the read.
    virtual bool ReadLine(std::string& line, bool echo);

    // The one console of the process.
    static CTbmConsole& Get();
    // The lock every writer to stderr holds.
    static std::mutex& Lock();
    // Runs nobody watches also keep their messages in the status log; progress
    // lines redrawn in place ("\r") are left out.
    static void SetStatusLogCopy(bool copy);
};
