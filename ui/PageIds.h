#pragma once

#include "TvMessageEvent.h"

#include <QObject>

// The wizard's pages by dialog template number, in the frame's order.
namespace pageid {

inline constexpr unsigned kStart = 194;
inline constexpr unsigned kJob = 154;
inline constexpr unsigned kMedium = 156;
inline constexpr unsigned kSelection = 132;
inline constexpr unsigned kMyFiles = 142;
inline constexpr unsigned kSettings = 135;
inline constexpr unsigned kRun = 136;
inline constexpr unsigned kRestoreFile = 151;
inline constexpr unsigned kRestoreChoice = 152;
inline constexpr unsigned kRestoreLocation = 153;
inline constexpr unsigned kRestoreRun = 175;

// Moves `frame` to a dialog page once the current handler has returned (a page may
// not leave the frame while the frame is still showing it).
inline void PostGoTo(QObject* frame, unsigned page)
{
    TvPostMessage(frame, tvmsg::kGoToDialogPage, 0, static_cast<std::intptr_t>(page));
}

} // namespace pageid
