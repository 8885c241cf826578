#pragma once

#include "Prompt.h"

#include <string>

// The prompt of a restore while it is installed: opening a backup asks for its
// password through the prompt (the job's own password does not carry over to
// another backup), so a password from --password-file or --password-env is given
// as the first answer. Once that was refused nobody is asked again: a script gets a
// clear failure rather than a question. Without such a password the question and
// all others go to the prompt that was installed before, which comes back when
// this one goes.
class CTbmRestorePrompt : public CPrompt
{
public:
    explicit CTbmRestorePrompt(std::string password);
    ~CTbmRestorePrompt() override;
    CTbmRestorePrompt(const CTbmRestorePrompt&) = delete;
    CTbmRestorePrompt& operator=(const CTbmRestorePrompt&) = delete;

    int MessageBox(const std::string& text, unsigned style) override;
    bool AskPassword(const std::string& text, std::string& password) override;
    bool AskFolder(const std::string& text, std::string& folder) override;

private:
    CPrompt& m_inner;
    const std::string m_strPassword;
    bool m_bGiven = false;
};
