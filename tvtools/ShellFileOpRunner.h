#pragma once

#include "ShellFileOpError.h"
#include "ShellFileOpTypes.h"

#include <cstdint>
#include <string>
#include <vector>

class CShellFileOpConflict;

// Everything one batch file operation needs.
struct ShellFileOpRequest
{
    unsigned operation = 0;
    std::uint16_t flags = 0;
    std::vector<std::string> sources;
    std::vector<std::string> targets;
    ShellConfirmFunction confirm;
    ShellRenameFunction rename;
};

// Runs one batch file operation to its end or its first failure.
class CShellFileOpRunner
{
public:
    explicit CShellFileOpRunner(ShellFileOpRequest request);

    // 0 on success (also when the user skipped items: see Aborted), else the errno
    // value of the failure: ECANCELED when the user cancelled, EEXIST when a target
    // exists and nobody could be asked, EINVAL for a request that makes no sense.
    int Run();
    // True when the user cancelled or skipped anything.
    bool Aborted() const { return m_aborted; }
    // The failure that stopped the batch (error 0 when none).
    const ShellFileOpError& Error() const { return m_error; }

private:
    void Execute();
    void Delete(CShellFileOpConflict& conflict);
    void Rename(CShellFileOpConflict& conflict);

    ShellFileOpRequest m_request;
    ShellFileOpError m_error;
    bool m_aborted = false;
};
