#pragma once

#include <memory>
#include <string>

// Finds the top-level windows of other programs, by window class or title, and asks
// them to close: how the mail-program checks see that Outlook or Outlook Express is
// running. One implementation per window system; tests script their own.
class CWindowFinder
{
public:
    enum class Found
    {
        None,
        ByClass,
        ByTitle,
    };

    virtual ~CWindowFinder() = default;
    // Looks for a window of class `windowClass` (empty: none is looked for), failing
    // that for one titled `title` (empty: none).
    virtual Found Find(const std::string& windowClass, const std::string& title) = 0;
    // Asks the windows Find would find to close; false when this system cannot ask.
    virtual bool RequestClose(const std::string& windowClass, const std::string& title) = 0;

    // The finder of this system: on X11 (DISPLAY set) the one that reads the window
    // titles; with no window system, or none we can look into (Wayland alone), one
    // that finds nothing, so every program counts as not running.
    static std::shared_ptr<CWindowFinder> ForThisSystem();

    // Whether a window's title stands for `wanted`: the title itself, or a document
    // or folder name in front of it ("Inbox - Microsoft Outlook").
    static bool TitleNames(const std::string& windowTitle, const std::string& wanted);
};
