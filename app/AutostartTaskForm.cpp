#include "AutostartTaskForm.h"

#include "FileTools.h"
#include "PowerSupply.h"
#include "SystemTask.h"
#include "TaskQuoting.h"
#include "XdgFolders.h"

#include <unistd.h>

std::string CAutostartTaskForm::Path(const std::string& name)
{
    return CXdgFolders::ConfigHome() + "/autostart/" + name + ".desktop";
}

std::string CAutostartTaskForm::EntryText(const CSystemTask& task, const std::string& name)
{
    std::vector<std::string> command{task.m_strProgram};
    command.insert(command.end(), task.m_Arguments.begin(), task.m_Arguments.end());
    // An autostart entry has no condition on the power source: the program checks it
    // when the entry's environment asks (PowerSupply.h).
    if (task.m_bNoBattery)
        command.insert(command.begin(), {"env", std::string(CPowerSupply::kOnlyOnMains) + "=1"});
    std::string text = "[Desktop Entry]\nType=Application\nName=" + name +
                       "\nComment=Tovan Backup Manager scheduled job\nExec=" +
                       CTaskQuoting::Join(command, CTaskQuoting::DesktopExec) + "\n";
    if (!task.m_strWorkingFolder.empty())
        text += "Path=" + CTaskQuoting::DesktopString(task.m_strWorkingFolder) + "\n";
    return text + "NoDisplay=true\nX-GNOME-Autostart-enabled=true\n";
}

bool CAutostartTaskForm::Write(const CSystemTask& task, const std::string& name)
{
    return tbm::WriteWholeFile(Path(name), EntryText(task, name));
}

bool CAutostartTaskForm::Has(const std::string& name) const
{
    return ::access(Path(name).c_str(), F_OK) == 0;
}

bool CAutostartTaskForm::Remove(const std::string& name)
{
    ::unlink(Path(name).c_str());
    return !Has(name);
}

bool CAutostartTaskForm::Read(const std::string& name, CSystemTask& task) const
{
    if (!Has(name))
        return false;
    task.m_nFrequency = CSystemTask::kAtLogOn;
    return true;
}
