#include "X11WindowFinder.h"

#include "XpropOutput.h"

#include "Spawn.h"
#include "SpawnOutput.h"
#include "WriteLog.h"

#include <algorithm>

namespace {

constexpr std::chrono::seconds kXpropTimeout{5};

bool Xprop(const std::vector<std::string>& arguments, std::string& output)
{
    std::vector<std::string> argv{"xprop"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProcessOutput(argv, output, kXpropTimeout) == 0;
}

std::string TitleOf(const std::string& properties)
{
    std::vector<std::string> title = CXpropOutput::Strings(properties, "_NET_WM_NAME");
    if (title.empty())
        title = CXpropOutput::Strings(properties, "WM_NAME");
    return title.empty() ? std::string() : title.front();
}

} // namespace

CX11WindowFinder::Match CX11WindowFinder::Look(const std::string& windowClass,
                                               const std::string& title) const
{
    std::string list;
    if (!Xprop({"-root", "_NET_CLIENT_LIST"}, list)) {
        WriteLog("Fail to list the windows with xprop: every program counts as closed");
        return {};
    }
    Match byClass{Found::ByClass, {}};
    Match byTitle{Found::ByTitle, {}};
    for (const std::string& id : CXpropOutput::WindowIds(list)) {
        std::string properties;
        if (!Xprop({"-id", id, "WM_CLASS", "_NET_WM_NAME", "WM_NAME"}, properties))
            continue; // the window went away meanwhile
        const std::vector<std::string> classes = CXpropOutput::Strings(properties, "WM_CLASS");
        if (!windowClass.empty() &&
            std::find(classes.begin(), classes.end(), windowClass) != classes.end())
            byClass.ids.push_back(id);
        else if (TitleNames(TitleOf(properties), title))
            byTitle.ids.push_back(id);
    }
    if (!byClass.ids.empty())
        return byClass;
    if (!byTitle.ids.empty())
        return byTitle;
    return {};
}

CWindowFinder::Found CX11WindowFinder::Find(const std::string& windowClass,
                                            const std::string& title)
{
    return Look(windowClass, title).how;
}

bool CX11WindowFinder::RequestClose(const std::string& windowClass, const std::string& title)
{
    const Match match = Look(windowClass, title);
    bool asked = !match.ids.empty();
    for (const std::string& id : match.ids)
        asked = RunProcess({"wmctrl", "-i", "-c", id}) == 0 && asked;
    return asked;
}
