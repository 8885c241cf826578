#include "MailProgramCheck.h"

#include "ItemKinds.h"

#include "Prompt.h"
#include "ResourceLibrary.h"
#include "WriteLog.h"

#include <thread>

namespace {

constexpr unsigned kTextCloseOutlook = 218;
constexpr unsigned kTextCloseExpress = 216;
constexpr unsigned kTextExpressOpen = 217;
constexpr std::chrono::milliseconds kCloseWait{1000};

} // namespace

CMailProgramCheck::CMailProgramCheck(CWindowFinder& finder, Wait wait)
    : m_finder(finder), m_wait(std::move(wait))
{
    if (!m_wait)
        m_wait = [](std::chrono::milliseconds time) { std::this_thread::sleep_for(time); };
}

bool CMailProgramCheck::StaysOpen(std::uint32_t kind)
{
    if (kind == itemkind::kOutlook)
        return OutlookStaysOpen();
    if (kind == itemkind::kOEIdentity)
        return ExpressStaysOpen();
    return false;
}

bool CMailProgramCheck::OutlookStaysOpen()
{
    for (int round = 0; round < kMaxRounds; ++round) {
        if (m_finder.Find({}, kOutlookTitle) == CWindowFinder::Found::None)
            return false;
        if (!AskToClose(kTextCloseOutlook, {}, kOutlookTitle))
            return true;
    }
    WriteLog("Fail to close %s: it is still running", kOutlookTitle);
    return m_finder.Find({}, kOutlookTitle) != CWindowFinder::Found::None;
}

bool CMailProgramCheck::ExpressStaysOpen()
{
    for (int round = 0; round < kMaxRounds; ++round) {
        const CWindowFinder::Found found = m_finder.Find(kExpressClass, kExpressTitle);
        if (found == CWindowFinder::Found::None)
            return false;
        // A window known only by its title may be another program's: it is not
        // closed for the user, who is told to close it.
        if (found == CWindowFinder::Found::ByTitle) {
            Prompt().MessageBox(LoadResString(kTextExpressOpen), MB_OK | MB_ICONERROR);
            return true;
        }
        if (!AskToClose(kTextCloseExpress, kExpressClass, kExpressTitle))
            return true;
    }
    WriteLog("Fail to close %s: it is still running", kExpressTitle);
    return m_finder.Find(kExpressClass, kExpressTitle) != CWindowFinder::Found::None;
}

bool CMailProgramCheck::AskToClose(unsigned textId, const std::string& windowClass,
                                   const std::string& title)
{
    if (Prompt().MessageBox(LoadResString(textId), MB_YESNO | MB_ICONWARNING) != IDYES)
        return false;
    if (!m_finder.RequestClose(windowClass, title))
        WriteLog("Fail to ask %s to close: waiting for the user to close it", title.c_str());
    m_wait(kCloseWait);
    return true;
}
