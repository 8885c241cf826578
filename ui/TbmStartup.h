#pragma once

// TBManager from start to end: preferences, the file association, the text library,
// the working folder, the status log, the command line, then the main window; at the
// end the process's work folder is removed and the preferences are saved. Returns the
// exit status (0, or 1 when start-up failed).
int RunTbManager(int argc, char** argv);
