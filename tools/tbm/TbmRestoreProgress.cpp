#include "TbmRestoreProgress.h"

#include "RestoreNotify.h"

#include <string>

void CTbmRestoreProgress::post(unsigned message, std::uintptr_t first, std::intptr_t second)
{
    if (message != notify::kEvent) {
        CTbmProgress::post(message, first, second);
        return;
    }
    switch (static_cast<int>(first)) {
    case notify::kRestoreSection:
        // The heading is ours to free even though the line shows file names only.
        delete reinterpret_cast<std::string*>(second);
        break;
    case notify::kRestorePath:
        ++m_files;
        CTbmProgress::post(notify::kEvent, notify::kFilePath, second);
        break;
    case notify::kRestoreDone:
        m_bDone = true;
        break;
    case notify::kRestoreStarted:
    case notify::kRestoreSectionEnded:
        break;
    default:
        CTbmProgress::post(message, first, second);
        break;
    }
}
