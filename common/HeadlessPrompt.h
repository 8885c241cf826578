#pragma once

#include "Prompt.h"

#include <functional>
#include <string>

// The answers when nobody can answer (no terminal for tbm, no display for an
// unattended TBManager run): a file that cannot be read is skipped, so the run goes
// on and its report names the file; every other question gets the answer that
// changes nothing (Cancel, No, Abort), so a request for a disk or a folder ends the
// run instead of waiting for ever. Passwords and folders are never given. Each text
// is handed to `say`, so the user can read afterwards what happened.
class CHeadlessPrompt : public CPrompt
{
public:
    using Sink = std::function<void(const std::string&)>;

    explicit CHeadlessPrompt(Sink say) : m_say(std::move(say)) {}

    int MessageBox(const std::string& text, unsigned style) override;
    bool AskPassword(const std::string& text, std::string& password) override;
    bool AskFolder(const std::string& text, std::string& folder) override;

    // The answer for a button set (MB_OK ... MB_SKIPRETRYCANCEL).
    static int Answer(unsigned style);

private:
    Sink m_say;
};
