#include "RegistryLines.h"

#include "RegistryEditor.h"
#include "WriteLog.h"

#include <cstdio>
#include <memory>

namespace {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The next line without its LF and a CR before it; false at the end of the file.
bool ReadLine(std::FILE* file, std::string& line)
{
    line.clear();
    int c = 0;
    while ((c = std::fgetc(file)) != EOF && c != '\n')
        line += static_cast<char>(c);
    if (c == EOF && line.empty())
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

} // namespace

std::string RewriteRegistryLine(const std::string& line, const std::string& find,
                                const std::string& replace, bool* headerReplaced)
{
    std::string result = line;
    if (line.find(kRegistryHeaderMarker) != std::string::npos) {
        result = kRegistryAnsiHeader;
        if (headerReplaced)
            *headerReplaced = true;
    }
    if (find.empty())
        return result;
    for (std::size_t at = result.find(find); at != std::string::npos;
         at = result.find(find, at + replace.size()))
        result.replace(at, find.size(), replace);
    return result;
}

RegistryLinesResult RewriteRegistryLines(const std::string& source, const std::string& target,
                                         const std::string& find, const std::string& replace,
                                         bool* headerReplaced)
{
    const FilePtr in(std::fopen(source.c_str(), "rb"));
    if (!in)
        return RegistryLinesResult::SourceNotOpened;
    FilePtr out(std::fopen(target.c_str(), "wb"));
    if (!out)
        return RegistryLinesResult::TargetNotOpened;
    std::string line;
    bool written = true;
    while (written && ReadLine(in.get(), line)) {
        const std::string rewritten = RewriteRegistryLine(line, find, replace, headerReplaced);
        // Written by size: a line may hold zero bytes (a file that stayed UTF-16).
        written =
            std::fwrite(rewritten.data(), 1, rewritten.size(), out.get()) == rewritten.size() &&
            std::fputs("\r\n", out.get()) >= 0;
    }
    // A read error is no end of file: the copy would be cut short.
    written = written && !std::ferror(in.get());
    written = std::fclose(out.release()) == 0 && written;
    return written ? RegistryLinesResult::Done : RegistryLinesResult::WriteFailed;
}

bool ReplaceRegistryFile(const std::string& from, const std::string& to)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    WriteLog("Fail to rename File :\n %s\nto\n%s", from.c_str(), to.c_str());
    return false;
}
