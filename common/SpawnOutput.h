#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// Runs a program as RunProcess does (no shell, PATH lookup, inherited environment)
// and gives what it wrote to its standard output; its input and error output are
// /dev/null. At most `limit` bytes are kept: the rest is read and dropped, so the
// program never blocks on a full pipe. A program still running after `timeout` is
// killed, so a hung peer (an X server that does not answer) cannot hang the caller.
// Returns the exit status, or -1 when the program could not be started or was killed.
// `withErrors`: the error output is read too, into the same text.
int RunProcessOutput(const std::vector<std::string>& argv, std::string& output,
                     std::chrono::milliseconds timeout, std::size_t limit = std::size_t{1} << 20,
                     bool withErrors = false);
