#pragma once

#include <string>

// The prompt interface: every question or message that the engine, the data sources
// or the helpers raise goes through the one installed CPrompt. The GUI installs one
// that shows real dialogs, the command line one that asks on the terminal or applies
// the answers given as options, and tests install one that scripts the answers.

// Button sets and icons of a message (combine one button set with one icon).
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
// Skip / Retry / Cancel about one file; answers IDSKIPFILE, IDRETRYFILE or IDCANCEL.
constexpr unsigned MB_SKIPRETRYCANCEL = 0x6;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_BUTTONMASK = 0xF;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
// Answers of the Skip/Retry/Cancel question about a file that cannot be read.
constexpr int IDSKIPFILE = 1016;
constexpr int IDRETRYFILE = 1021;

class CPrompt
{
public:
    virtual ~CPrompt() = default;
    // Shows a message with the given buttons and icon; returns the answer.
    virtual int MessageBox(const std::string& text, unsigned style) = 0;
    // Asks for a password (`text` says what for); false when the user gives up.
    // Nobody to ask: false.
    virtual bool AskPassword(const std::string& text, std::string& password)
    {
        (void)text;
        (void)password;
        return false;
    }
    // Asks for a file name in a save (`save`) or open dialog offering one file type:
    // `filter` is its description and `pattern` its pattern ("*.tbs"); a name typed
    // without extension gets `defaultExtension`, and a save dialog asks before
    // overwriting. False on Cancel. Nobody to ask: false.
    struct FileDialog
    {
        bool save = false;
        std::string filter;
        std::string pattern;
        std::string defaultExtension;
    };
    virtual bool AskFileName(const FileDialog& dialog, std::string& path)
    {
        (void)dialog;
        (void)path;
        return false;
    }
    // Asks for a folder, e.g. one to take the place of a drive that is missing; false
    // on Cancel. Nobody to ask: false.
    virtual bool AskFolder(const std::string& text, std::string& folder)
    {
        (void)text;
        (void)folder;
        return false;
    }
};

// The installed prompt; a non-interactive default that writes to stderr when none is.
CPrompt& Prompt();
// Installs a prompt (not owned); nullptr restores the default.
void SetPrompt(CPrompt* prompt);

// Shows text resource `textId` through the installed prompt.
int MessageBoxRes(unsigned textId, unsigned style = MB_OK | MB_ICONWARNING);
