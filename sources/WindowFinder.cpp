#include "WindowFinder.h"

#include "X11WindowFinder.h"

#include <cstdlib>

namespace {

// Without a window system no program of the user can have a window open.
class CNoWindowFinder : public CWindowFinder
{
public:
    Found Find(const std::string&, const std::string&) override { return Found::None; }
    bool RequestClose(const std::string&, const std::string&) override { return false; }
};

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

std::shared_ptr<CWindowFinder> CWindowFinder::ForThisSystem()
{
    // Wayland lets no client list another's windows; X11 (also XWayland) does.
    if (IsSet("DISPLAY"))
        return std::make_shared<CX11WindowFinder>();
    return std::make_shared<CNoWindowFinder>();
}

bool CWindowFinder::TitleNames(const std::string& windowTitle, const std::string& wanted)
{
    if (wanted.empty())
        return false;
    if (windowTitle == wanted)
        return true;
    const std::string suffix = " - " + wanted;
    return windowTitle.size() > suffix.size() &&
           windowTitle.compare(windowTitle.size() - suffix.size(), suffix.size(), suffix) == 0;
}
