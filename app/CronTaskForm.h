#pragma once

#include "TaskForm.h"

#include <string>

// Where no user service manager runs: one line of the user's crontab, tagged with
// "# NAME" at its end so it can be found and replaced.
class CCronTaskForm : public CTaskForm
{
public:
    static std::string LineText(const CSystemTask& task, const std::string& name);

    bool Write(const CSystemTask& task, const std::string& name) override;
    bool Has(const std::string& name) const override;
    bool Remove(const std::string& name) override;
    const char* Kind() const override { return "crontab line"; }
    bool Read(const std::string& name, CSystemTask& task) const override;

private:
    enum class ReadResult
    {
        kRead,
        kNoProgram,  // no crontab program: no line of ours either
        kUnreadable, // the table is there but could not be read
    };
    // The crontab without this task's line.
    static ReadResult ReadOthers(const std::string& name, std::string& others, bool& found);
    static bool HasNoTable();
    static bool Install(const std::string& table);
};
