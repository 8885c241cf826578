#pragma once

#include <string>
#include <vector>

// Quoting of one argument, or a path, for the places a task's command is written.
class CTaskQuoting
{
public:
    // A word of a systemd ExecStart= line: double-quoted, "\" and """ escaped,
    // "%" doubled (specifiers) and "$" doubled (variables).
    static std::string Systemd(const std::string& argument);
    // A value of a systemd setting without quotes of its own (WorkingDirectory=).
    static std::string SystemdValue(const std::string& value);
    // An argument of a desktop entry's Exec= key: double-quoted with the entry's
    // quoting rules, then escaped as a string value, "%" doubled (field codes).
    static std::string DesktopExec(const std::string& argument);
    // A string value of a desktop entry (Path=).
    static std::string DesktopString(const std::string& value);
    // A word for the shell that cron hands its command to: single-quoted, "%"
    // escaped (cron turns a bare one into a new line).
    static std::string Cron(const std::string& argument);
    // The words joined by blanks, each quoted by `quote`.
    static std::string Join(const std::vector<std::string>& words,
                            std::string (*quote)(const std::string&));
};
