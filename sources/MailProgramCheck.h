#pragma once

#include "WindowFinder.h"

#include <chrono>
#include <cstdint>
#include <functional>

// Before a mail program's data are backed up or restored the program must be closed,
// or its files would be read half written or restored under its feet. The check
// looks for the program's window; while it is there the user is asked to close it
// (the program is asked to close as well, where the window system allows), the check
// waits a second and looks again. No, or the program still open after the last of a
// few rounds, means it stays open.
class CMailProgramCheck
{
public:
    // Questions asked before the check gives up on a program that does not close.
    static constexpr int kMaxRounds = 3;
    static constexpr const char* kOutlookTitle = "Microsoft Outlook";
    static constexpr const char* kExpressClass = "Outlook Express Browser Class";
    static constexpr const char* kExpressTitle = "Outlook Express";

    using Wait = std::function<void(std::chrono::milliseconds)>;

    // `wait` pauses between the rounds (a sleep when empty).
    explicit CMailProgramCheck(CWindowFinder& finder, Wait wait = {});

    // True when the mail program of `kind` (0 Outlook, 2 Outlook Express) is running
    // and was not closed; false when it is not running or was closed. Other kinds:
    // false.
    bool StaysOpen(std::uint32_t kind);

private:
    bool OutlookStaysOpen();
    bool ExpressStaysOpen();
    // Asks to close the program; false when the user says No.
    bool AskToClose(unsigned textId, const std::string& windowClass, const std::string& title);

    CWindowFinder& m_finder;
    Wait m_wait;
};
