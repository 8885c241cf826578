#pragma once

#include <functional>
#include <string>
#include <vector>

// The start-up steps every TBManager process takes, with a window or without: the
// preferences, the text library, the program folder as working folder, the status
// log and the command line (a backup file to open, or switches). Headless: the
// window's start-up and the unattended run on a machine without a display share it.
class CProgramStart
{
public:
    using Fail = std::function<void(const std::string&)>;

    // `arguments` without the program name. `fail` shows what stops the start; the
    // return is then false and the program must end.
    static bool Begin(const std::vector<std::string>& arguments, const Fail& fail);
    // Whether there is a display to show windows on (an offscreen or minimal Qt
    // platform counts as none).
    static bool HasDisplay();

private:
    static void ReadCommandLine(const std::vector<std::string>& arguments);
};
