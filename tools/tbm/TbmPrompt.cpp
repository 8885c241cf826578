#include "TbmPrompt.h"

#include "TbmConsole.h"
#include "TbmTerminalText.h"

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
    const bool interactive = m_console.IsInteractive();
    switch (buttons) {
    case MB_OKCANCEL:
        return interactive && Ask(text, "[o]k or [c]ancel? ", "oc") == 0 ? IDOK : IDCANCEL;
    case MB_YESNO:
        return interactive && Ask(text, "[y]es or [n]o? ", "yn") == 0 ? IDYES : IDNO;
    case MB_RETRYCANCEL:
        return interactive && Ask(text, "[r]etry or [c]ancel? ", "rc") == 0 ? IDRETRY : IDCANCEL;
    case MB_YESNOCANCEL: {
        const int answer = interactive ? Ask(text, "[y]es, [n]o or [c]ancel? ", "ync") : 2;
        return answer == 0 ? IDYES : answer == 1 ? IDNO : IDCANCEL;
    }
    case MB_ABORTRETRYIGNORE: {
        const int answer = interactive ? Ask(text, "[a]bort, [r]etry or [i]gnore? ", "ari") : 0;
        return answer == 1 ? IDRETRY : answer == 2 ? IDIGNORE : IDABORT;
    }
    default:
        m_console.Write("\ntbm: " + text + "\n");
        return IDCANCEL;
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
        return IDSKIPFILE;
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
