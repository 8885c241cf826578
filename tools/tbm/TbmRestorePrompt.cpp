#include "TbmRestorePrompt.h"

CTbmRestorePrompt::CTbmRestorePrompt(std::string password)
    : m_inner(Prompt()), m_strPassword(std::move(password))
{
    SetPrompt(this);
}

CTbmRestorePrompt::~CTbmRestorePrompt()
{
    SetPrompt(&m_inner);
}

int CTbmRestorePrompt::MessageBox(const std::string& text, unsigned style)
{
    return m_inner.MessageBox(text, style);
}

bool CTbmRestorePrompt::AskPassword(const std::string& text, std::string& password)
{
    if (m_strPassword.empty())
        return m_inner.AskPassword(text, password);
    if (m_bGiven)
        return false;
    m_bGiven = true;
    password = m_strPassword;
    return true;
}

bool CTbmRestorePrompt::AskFolder(const std::string& text, std::string& folder)
{
    return m_inner.AskFolder(text, folder);
}
