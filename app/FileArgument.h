#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The text after the program name, kept for start-up to decide between a backup file
// to open and switches to parse. A relative path is made absolute when it is taken,
// since start-up changes the working folder before it looks at the path.
class CFileArgument
{
public:
    // The fixed buffer the text lives in: a longer text is no file argument (a cut
    // path could name another file), and the switches are parsed instead.
    static constexpr std::size_t kBufferSize = 264;

    // Takes the arguments after the program name (none: the buffer stays empty).
    void Take(const std::vector<std::string>& arguments);
    // After the status log is up: true when the text (quotes stripped) names an
    // existing file or folder, which stays; otherwise the buffer is emptied and the
    // caller parses the command line when there were arguments at all.
    bool Resolve();
    bool HadArguments() const { return m_bHadArguments; }
    bool IsEmpty() const { return m_strText.empty(); }
    const std::string& Get() const { return m_strText; }
    // The path for the restore page, once: the buffer is emptied.
    std::string TakePath();
    void Clear();

private:
    std::string m_strText;
    bool m_bHadArguments = false;
};

extern CFileArgument g_FileArgument;
