#pragma once

#include <cstdarg>
#include <cstddef>
#include <mutex>
#include <string>

// Appends one formatted line per call to a plain-text trace file. The file is opened
// and closed for every line, so each line is on disk when StatusOut returns and the
// file may be read or deleted between lines. Logging never throws; callers may ignore
// every result.
class CSAStatusLog
{
public:
    // Size of the line buffer: a message is formatted into at most this many bytes,
    // the terminating zero included.
    static constexpr std::size_t kBufferSize = 3000;

    CSAStatusLog();
    ~CSAStatusLog();
    // Copies the buffer, the two texts and the three switches; the lock is not copied.
    CSAStatusLog(const CSAStatusLog& other);
    CSAStatusLog& operator=(const CSAStatusLog& other);

    // Logs to `fileName` in the running program's folder, with the program's name
    // (without extension) as application name. Switches logging on and deletes any
    // existing file of that name.
    void Init(const std::string& fileName);
    // Logs to `path`. Switches logging on and deletes any existing file there.
    void InitFullPath(const std::string& path);
    void Enable(bool enable);
    void PrintTime(bool print);
    void PrintAppName(bool print);
    void SetAppName(const std::string& name);

    // Formats and appends one line. False when there is no log file, the format is
    // null or the file cannot be opened or written; true when the line was written or
    // the log is disabled.
    bool StatusOut(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // vsnprintf into `buffer` of `size` bytes. A longer message is cut so that no UTF-8
    // sequence is split. Returns the length written (without the zero), or -1 when
    // the format cannot be applied (then buffer holds an empty text).
    static int FormatBounded(char* buffer, std::size_t size, const char* format, va_list args)
        __attribute__((format(printf, 3, 0)));

protected:
    // The file name after the last "\" or "/" (the whole text without one), cut before
    // its last "." unless that dot is the name's first character.
    static std::string GetBaseName(const std::string& path);
    // The text before the last "\" or "/"; empty without one.
    static std::string GetBaseDir(const std::string& path);

private:
    void StartFile(const std::string& path);
    bool AppendLine(std::size_t length);

    char m_buffer[kBufferSize];
    std::string m_appName;
    std::string m_path;
    mutable std::mutex m_lock;
    bool m_enabled = false;
    bool m_printTime = false;
    bool m_printAppName = false;
};
