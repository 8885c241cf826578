#include "RegistryEditor.h"

#include "Globals.h"
#include "Spawn.h"

std::string RegistryEditorPath()
{
    return g_Globals.GetProgramPath(kRegistryEditorProgram);
}

int RunRegistryEditor(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv{RegistryEditorPath()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProcess(argv, true);
}

std::string RegistryEditorCommand(const std::vector<std::string>& arguments)
{
    std::string command = RegistryEditorPath();
    for (const std::string& argument : arguments) {
        const bool key = argument.rfind("HKEY_", 0) == 0;
        command += key ? " \"" + argument + "\"" : " " + argument;
    }
    return command;
}
