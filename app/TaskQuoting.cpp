#include "TaskQuoting.h"

std::string CTaskQuoting::Systemd(const std::string& argument)
{
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        if (c == '%' || c == '$')
            quoted += c;
        quoted += c;
    }
    return quoted + "\"";
}

std::string CTaskQuoting::SystemdValue(const std::string& value)
{
    std::string escaped;
    for (const char c : value) {
        if (c == '%')
            escaped += c;
        escaped += c;
    }
    return escaped;
}

std::string CTaskQuoting::DesktopExec(const std::string& argument)
{
    // Inside the quotes """, "`", "$" and "\" take a backslash; the string rule
    // then doubles every backslash. "%" starts a field code anywhere.
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += "\\\\";
        if (c == '%')
            quoted += c;
        quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string CTaskQuoting::DesktopString(const std::string& value)
{
    std::string escaped;
    for (const char c : value)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

std::string CTaskQuoting::Cron(const std::string& argument)
{
    std::string quoted = "'";
    for (const char c : argument) {
        if (c == '\'')
            quoted += "'\\''";
        else if (c == '%')
            quoted += "\\%";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string CTaskQuoting::Join(const std::vector<std::string>& words,
                               std::string (*quote)(const std::string&))
{
    std::string line;
    for (const std::string& word : words)
        line += (line.empty() ? "" : " ") + quote(word);
    return line;
}
