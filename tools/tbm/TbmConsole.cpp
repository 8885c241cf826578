#include "TbmConsole.h"

#include "WriteLog.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <atomic>
#include <optional>

namespace {

std::atomic<bool> g_bLogCopy{false};

void CopyToStatusLog(const std::string& text)
{
    if (text.find('\r') != std::string::npos)
        return;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        if (end > begin)
            WriteLog("%s", text.substr(begin, end - begin).c_str());
        begin = end + 1;
    }
}

// Turns echo off on stdin for its lifetime, and back on however the read ends.
class CEchoOff
{
public:
    CEchoOff()
    {
        if (tcgetattr(STDIN_FILENO, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        m_active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~CEchoOff()
    {
        if (m_active)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    CEchoOff(const CEchoOff&) = delete;
    CEchoOff& operator=(const CEchoOff&) = delete;

private:
    termios m_saved{};
    bool m_active = false;
};

} // namespace

bool CTbmConsole::IsInteractive() const
{
    return isatty(STDIN_FILENO) == 1;
}

void CTbmConsole::Write(const std::string& text)
{
    if (g_bLogCopy)
        CopyToStatusLog(text);
    std::lock_guard lock(Lock());
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

bool CTbmConsole::ReadLine(std::string& line, bool echo)
{
    line.clear();
    std::optional<CEchoOff> quiet;
    if (!echo)
        quiet.emplace();
    bool ok = false;
    for (;;) {
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got == 1 && c != '\n') {
            line.push_back(c);
            continue;
        }
        // A read interrupted by Ctrl+C ends the question: the run is being cancelled.
        ok = got == 1 || (got == 0 && !line.empty());
        break;
    }
    quiet.reset();
    if (!echo)
        Write("\n");
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return ok;
}

CTbmConsole& CTbmConsole::Get()
{
    static CTbmConsole console;
    return console;
}

std::mutex& CTbmConsole::Lock()
{
    static std::mutex lock;
    return lock;
}

void CTbmConsole::SetStatusLogCopy(bool copy)
{
    g_bLogCopy = copy;
}
