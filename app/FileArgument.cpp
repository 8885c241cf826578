#include "FileArgument.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

CFileArgument g_FileArgument;

namespace {

std::string StripQuotes(const std::string& text)
{
    const auto first = text.find_first_not_of('"');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of('"') - first + 1);
}

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

} // namespace

void CFileArgument::Take(const std::vector<std::string>& arguments)
{
    Clear();
    m_bHadArguments = !arguments.empty();
    std::string text;
    for (const std::string& argument : arguments)
        text += (text.empty() ? "" : " ") + argument;
    const std::string path = StripQuotes(text);
    if (!path.empty() && path.front() != '/' && Exists(path)) {
        std::error_code error;
        const auto absolute = std::filesystem::absolute(path, error);
        if (!error)
            text = absolute.lexically_normal().string();
    }
    if (text.size() < kBufferSize)
        m_strText = text;
}

bool CFileArgument::Resolve()
{
    m_strText = StripQuotes(m_strText);
    if (Exists(m_strText))
        return true;
    m_strText.clear();
    return false;
}

std::string CFileArgument::TakePath()
{
    std::string path = std::move(m_strText);
    m_strText.clear();
    return path;
}

void CFileArgument::Clear()
{
    m_strText.clear();
    m_bHadArguments = false;
}
