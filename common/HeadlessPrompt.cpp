#include "HeadlessPrompt.h"

int CHeadlessPrompt::Answer(unsigned style)
{
    switch (style & MB_BUTTONMASK) {
    case MB_OK:
        return IDOK;
    case MB_SKIPRETRYCANCEL:
        return IDSKIPFILE;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDCANCEL;
    }
}

int CHeadlessPrompt::MessageBox(const std::string& text, unsigned style)
{
    const int answer = Answer(style);
    if (answer == IDSKIPFILE)
        m_say("skipped (nobody to ask): " + text);
    else if (answer == IDOK)
        m_say(text);
    else
        m_say(text + " (nobody to answer: the run does not go on)");
    return answer;
}

bool CHeadlessPrompt::AskPassword(const std::string& text, std::string& password)
{
    (void)password;
    m_say(text + " (nobody to give a password)");
    return false;
}

bool CHeadlessPrompt::AskFolder(const std::string& text, std::string& folder)
{
    (void)folder;
    m_say(text + " (nobody to choose a folder)");
    return false;
}
