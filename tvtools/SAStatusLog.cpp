#include "SAStatusLog.h"

#include "FdIo.h"
#include "ModulePath.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

std::string TimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = "";
    if (localtime_r(&now, &local))
        std::strftime(text, sizeof text, "%m/%d/%Y %H:%M:%S", &local);
    return text;
}

// One write of the whole line to a file opened for appending: lines written by other
// processes at the same time stay whole.
bool AppendToFile(const std::string& path, const std::string& line)
{
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = TvWriteAll(fd, line.data(), line.size());
    const bool closed = close(fd) == 0;
    return written && closed;
}

} // namespace

CSAStatusLog::CSAStatusLog()
{
    m_buffer[0] = '\0';
}

CSAStatusLog::~CSAStatusLog() = default;

CSAStatusLog::CSAStatusLog(const CSAStatusLog& other)
{
    std::lock_guard<std::mutex> guard(other.m_lock);
    std::memcpy(m_buffer, other.m_buffer, sizeof m_buffer);
    m_appName = other.m_appName;
    m_path = other.m_path;
    m_enabled = other.m_enabled;
    m_printTime = other.m_printTime;
    m_printAppName = other.m_printAppName;
}

CSAStatusLog& CSAStatusLog::operator=(const CSAStatusLog& other)
{
    if (this == &other)
        return *this;
    std::scoped_lock guard(m_lock, other.m_lock);
    std::memcpy(m_buffer, other.m_buffer, sizeof m_buffer);
    m_appName = other.m_appName;
    m_path = other.m_path;
    m_enabled = other.m_enabled;
    m_printTime = other.m_printTime;
    m_printAppName = other.m_printAppName;
    return *this;
}

void CSAStatusLog::Init(const std::string& fileName)
{
    const std::string program = TvGetModuleFileName();
    std::lock_guard<std::mutex> guard(m_lock);
    m_appName = GetBaseName(program);
    // Without the program's own path there is no folder to log in; "/" + name would
    // land in the root folder, so no log file is better.
    if (program.empty()) {
        m_path.clear();
        return;
    }
    StartFile(GetBaseDir(program) + "/" + fileName);
}

void CSAStatusLog::InitFullPath(const std::string& path)
{
    std::lock_guard<std::mutex> guard(m_lock);
    StartFile(path);
}

// Every (re)initialisation starts a fresh file.
void CSAStatusLog::StartFile(const std::string& path)
{
    m_enabled = true;
    m_path = path;
    if (!m_path.empty())
        unlink(m_path.c_str());
}

void CSAStatusLog::Enable(bool enable)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_enabled = enable;
}

void CSAStatusLog::PrintTime(bool print)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_printTime = print;
}

void CSAStatusLog::PrintAppName(bool print)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_printAppName = print;
}

void CSAStatusLog::SetAppName(const std::string& name)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_appName = name;
}

// The switches are read under the lock too, so a thread that re-initialises the log
// never races a writer.
bool CSAStatusLog::StatusOut(const char* format, ...)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_path.empty())
        return false;
    if (!m_enabled)
        return true;
    if (!format)
        return false;
    va_list args;
    va_start(args, format);
    const int length = FormatBounded(m_buffer, sizeof m_buffer, format, args);
    va_end(args);
    if (length < 0)
        return false;
    return AppendLine(static_cast<std::size_t>(length));
}

bool CSAStatusLog::AppendLine(std::size_t length)
{
    std::string line;
    if (m_printAppName)
        line += m_appName + " : ";
    if (m_printTime)
        line += TimeStamp() + " : ";
    line.append(m_buffer, length);
    line += '\n';
    return AppendToFile(m_path, line);
}
