#pragma once

#include <string>
#include <vector>

// The texts of the registry export and import.
inline constexpr const char* kRegistryEditorProgram = "regedit";
inline constexpr const char* kRegistryExportSwitch = "-e";
inline constexpr const char* kRegistryImportSwitch = "-s";
inline constexpr const char* kRegistryCurrentUserRoot = "HKEY_CURRENT_USER\\";
inline constexpr const char* kRegistryHeaderMarker = "Windows Registry Editor";
inline constexpr const char* kRegistryAnsiHeader = "REGEDIT4";
inline constexpr const char* kRegistryExportTempName = "TBMtemp12.reg";
inline constexpr const char* kRegistryImportTempPrefix = "TBM";
inline constexpr const char* kRegistryExportFolderPrefix = "OL3";
inline constexpr const char* kRegistryExportFolderEnding = "Temp";

// The registry editor that the program starts: "regedit" in the program folder, so the
// editor always works on the program's own registry store.
std::string RegistryEditorPath();

// Starts the editor with these arguments, each passed on as it is (no shell, so blanks
// and quotes in paths need no quoting), and waits for it to end. Returns its exit
// status (0 for success), or -1 when it could not be started.
int RunRegistryEditor(const std::vector<std::string>& arguments);

// The editor's command as one line for the status log: the arguments apart by blanks,
// a registry key in double quotes.
std::string RegistryEditorCommand(const std::vector<std::string>& arguments);
