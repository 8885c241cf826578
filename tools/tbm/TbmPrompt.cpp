#include "TbmPrompt.h"

#include "TbmConsole.h"
#include "TbmTerminalText.h"

#include "HeadlessPrompt.h"

#include <cctype>

CTbmPrompt::CTbmPrompt(CTbmOptions::OnError onError, CTbmConsole& console)
    : m_onError(onError), m_console(console)
{
}

int CTbmPrompt::MessageBox(const std::string& message, unsigned style)
{
    // The engine's texts name files, which may hold control characters.
    const std::string text = CTbmTerminalText::Escape(message, true);
    const unsigned buttons = style & MB_BUTTONMASK;
    if (buttons == MB_SKIPRETRYCANCEL)
        return AnswerFileError(text);
    if (buttons == MB_OK) {
        m_console.Write("\ntbm: " + text + "\n");
        return IDOK;
    }
    // Without a terminal, and when the input ends, the answers of every run that
    // nobody watches.
    const bool interactive = m_console.IsInteractive();
    int answer = -1;
    switch (buttons) {
    case MB_OKCANCEL:
        answer = interactive ? Ask(text, "[o]k or [c]ancel? ", "oc") : -1;
        return answer == 0 ? IDOK : CHeadlessPrompt::Answer(buttons);
    case MB_YESNO:
        answer = interactive ? Ask(text, "[y]es or [n]o? ", "yn") : -1;
        return answer == 0 ? IDYES : CHeadlessPrompt::Answer(buttons);
    case MB_RETRYCANCEL:
        answer = interactive ? Ask(text, "[r]etry or [c]ancel? ", "rc") : -1;
        return answer == 0 ? IDRETRY : CHeadlessPrompt::Answer(buttons);
    case MB_YESNOCANCEL:
        answer = interactive ? Ask(text, "[y]es, [n]o or [c]ancel? ", "ync") : -1;
        return answer == 0 ? IDYES : answer == 1 ? IDNO : CHeadlessPrompt::Answer(buttons);
    case MB_ABORTRETRYIGNORE:
        answer = interactive ? Ask(text, "[a]bort, [r]etry or [i]gnore? ", "ari") : -1;
        return answer == 1 ? IDRETRY : answer == 2 ? IDIGNORE : CHeadlessPrompt::Answer(buttons);
    default:
        m_console.Write("\ntbm: " + text + "\n");
        return CHeadlessPrompt::Answer(buttons);
    }
}

int CTbmPrompt::AnswerFileError(const std::string& text)
{
    switch (m_onError) {
    case CTbmOptions::OnError::Skip:
        m_console.Write("\ntbm: skipped: " + text + "\n");
        return IDSKIPFILE;
    case CTbmOptions::OnError::Cancel:
        m_console.Write("\ntbm: " + text + "\ntbm: cancelling the backup\n");
        return IDCANCEL;
    case CTbmOptions::OnError::Ask:
        break;
    }
    if (!m_console.IsInteractive()) {
        m_console.Write("\ntbm: skipped (no terminal to ask): " + text + "\n");
        return CHeadlessPrompt::Answer(MB_SKIPRETRYCANCEL);
    }
    const int answer = Ask(text, "[s]kip, [r]etry or [c]ancel? ", "src");
    return answer == 0 ? IDSKIPFILE : answer == 1 ? IDRETRYFILE : IDCANCEL;
}

int CTbmPrompt::Ask(const std::string& text, const std::string& question,
                    const std::string& choices)
{
    m_console.Write("\ntbm: " + text + "\n");
    for (;;) {
        m_console.Write(question);
        std::string line;
        if (!m_console.ReadLine(line, true))
            return -1;
        if (line.empty())
            continue;
        const auto found =
            choices.find(static_cast<char>(std::tolower(static_cast<unsigned char>(line[0]))));
        if (found != std::string::npos)
            return static_cast<int>(found);
    }
}

bool CTbmPrompt::AskPassword(const std::string& text, std::string& password)
{
    if (!m_console.IsInteractive())
        return false;
    m_console.Write("\ntbm: " + CTbmTerminalText::Escape(text, true) + "\nPassword: ");
    return m_console.ReadLine(password, false) && !password.empty();
}

bool CTbmPrompt::AskFolder(const std::string& text, std::string& folder)
{
    if (!m_console.IsInteractive())
        return false;
    m_console.Write("\ntbm: " + CTbmTerminalText::Escape(text, true) + "\nFolder: ");
    return m_console.ReadLine(folder, true) && !folder.empty();
}
