#pragma once

#include <string>
#include <vector>

// Starts a program without a shell: argv[0] is looked up in PATH unless it holds a
// "/", the arguments are passed as they are, the environment is inherited.
// With `wait`, returns the program's exit status (128 + signal number when a signal
// ended it). Without, returns 0 once it runs; a background thread collects its end
// so no zombie is left behind. -1 when the program could not be started.
int RunProcess(const std::vector<std::string>& argv, bool wait = true);
