#pragma once

#include <string>

class CSystemTask;

// One way of keeping a task with the system: a systemd user timer, an autostart
// entry, a crontab line. Write replaces this form's task of that name and leaves the
// previous one in place when it fails.
class CTaskForm
{
public:
    virtual ~CTaskForm() = default;
    virtual bool Write(const CSystemTask& task, const std::string& name) = 0;
    virtual bool Has(const std::string& name) const = 0;
    // True when no task of that name is left in this form.
    virtual bool Remove(const std::string& name) = 0;
    // The frequency, time of day and weekday of this form's task of that name, as
    // written; false when there is none or its text is not one this form writes.
    virtual bool Read(const std::string& name, CSystemTask& task) const = 0;
    // What the user would look for: "systemd timer", "autostart entry", ...
    virtual const char* Kind() const = 0;
};
