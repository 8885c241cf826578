#pragma once

#include "Prompt.h"

class QWidget;

// The GUI's prompt: every question is shown by CUiDialogs on the GUI thread. Asked
// from another thread (a worker that cannot read a file, say), the question is queued
// to the GUI thread and the asking thread waits for the answer; the GUI thread, for
// its part, never blocks on a worker that might ask (see CQtNotify::CancelAndWait).
class CQtPrompt : public CPrompt
{
public:
    explicit CQtPrompt(QWidget* parent = nullptr) : m_parent(parent) {}

    int MessageBox(const std::string& text, unsigned style) override;
    bool AskPassword(const std::string& text, std::string& password) override;
    bool AskFileName(const FileDialog& dialog, std::string& path) override;
    bool AskFolder(const std::string& text, std::string& folder) override;

private:
    QWidget* m_parent;
};
