#include "Prompt.h"

#include "ResourceLibrary.h"

#include <atomic>
#include <cstdio>

namespace {

// Without a user to ask, a message is written to stderr and the answer is the one
// that changes nothing: OK for a plain message, otherwise Cancel or No.
class CStderrPrompt : public CPrompt
{
public:
    int MessageBox(const std::string& text, unsigned style) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        switch (style & MB_BUTTONMASK) {
        case MB_OK:
            return IDOK;
        case MB_YESNO:
            return IDNO;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        case MB_SKIPRETRYCANCEL:
            return IDCANCEL;
        default:
            return IDCANCEL;
        }
    }
};

CStderrPrompt g_stderrPrompt;
std::atomic<CPrompt*> g_prompt{nullptr};

} // namespace

CPrompt& Prompt()
{
    CPrompt* prompt = g_prompt.load();
    return prompt ? *prompt : g_stderrPrompt;
}

void SetPrompt(CPrompt* prompt)
{
    g_prompt.store(prompt);
}

int MessageBoxRes(unsigned textId, unsigned style)
{
    return Prompt().MessageBox(LoadResString(textId), style);
}
