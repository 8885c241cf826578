#pragma once

#include "WindowFinder.h"

#include <string>
#include <vector>

// The window finder on X11: the window manager's list of top-level client windows
// (_NET_CLIENT_LIST) and each one's class (WM_CLASS) and title (_NET_WM_NAME, else
// WM_NAME), read with xprop. Without xprop, or a window manager that keeps no such
// list, nothing is found: the program counts as not running. Closing asks wmctrl,
// when it is installed, to close the window as its close button would.
class CX11WindowFinder : public CWindowFinder
{
public:
    Found Find(const std::string& windowClass, const std::string& title) override;
    bool RequestClose(const std::string& windowClass, const std::string& title) override;

private:
    struct Match
    {
        Found how = Found::None;
        std::vector<std::string> ids;
    };
    Match Look(const std::string& windowClass, const std::string& title) const;
};
