#pragma once

#include "Prompt.h"
#include "TbmOptions.h"

class CTbmConsole;

// The command line's answers to the engine's questions. A file that cannot be read
// is skipped or cancels the run as --on-error says; with "ask" the user is asked on
// the terminal, and without one the file is skipped and the user told on stderr.
// Other questions (disks, overwriting) get Cancel when nobody can answer them.
// Passwords and folders are read from the terminal, passwords without echo.
class CTbmPrompt : public CPrompt
{
public:
    CTbmPrompt(CTbmOptions::OnError onError, CTbmConsole& console);

    int MessageBox(const std::string& text, unsigned style) override;
    bool AskPassword(const std::string& text, std::string& password) override;
    bool AskFolder(const std::string& text, std::string& folder) override;

private:
    int AnswerFileError(const std::string& text);
    // Asks until one of `choices` (first letters of the answers) is typed; -1 when
    // the input ended.
    int Ask(const std::string& text, const std::string& question, const std::string& choices);

    CTbmOptions::OnError m_onError;
    CTbmConsole& m_console;
};
