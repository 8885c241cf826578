#pragma once

#include "TaskForm.h"

// "At log-on": a desktop entry NAME.desktop in the XDG autostart folder, which the
// desktop session starts when the user logs on.
class CAutostartTaskForm : public CTaskForm
{
public:
    static std::string Path(const std::string& name);
    static std::string EntryText(const CSystemTask& task, const std::string& name);

    bool Write(const CSystemTask& task, const std::string& name) override;
    bool Has(const std::string& name) const override;
    bool Remove(const std::string& name) override;
    const char* Kind() const override { return "autostart entry"; }
    bool Read(const std::string& name, CSystemTask& task) const override;
};
