#pragma once

#include "TaskForm.h"

// A systemd user service NAME.service (Type=simple: a one-shot's start timeout
// would end a long backup) started by the timer NAME.timer, both in the user's
// systemd folder under the XDG config folder.
class CSystemdTaskForm : public CTaskForm
{
public:
    // Whether the user's service manager runs (it answers systemctl --user).
    static bool IsAvailable();
    static std::string Folder();
    static std::string ServiceText(const CSystemTask& task, const std::string& name);
    static std::string TimerText(const CSystemTask& task, const std::string& name);

    bool Write(const CSystemTask& task, const std::string& name) override;
    bool Has(const std::string& name) const override;
    bool Remove(const std::string& name) override;
    const char* Kind() const override { return "systemd user timer"; }
    bool Read(const std::string& name, CSystemTask& task) const override;

private:
    static bool Activate(const std::string& name);
};
