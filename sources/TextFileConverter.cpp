#include "TextFileConverter.h"

#include "FdIo.h"
#include "IconvText.h"
#include "WriteLog.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace {

constexpr const char* kUtf16Le = "UTF-16LE";
constexpr std::string_view kQuestionMark = "?";
constexpr std::string_view kReplacementLe = "\xFD\xFF"; // U+FFFD

bool ReadAll(int fd, char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, buffer + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

CTextFileConverter::CTextFileConverter()
    : m_codePageToUnicode(SystemAnsiCodePage()), m_codePageFromUnicode(m_codePageToUnicode)
{
}

std::string CTextFileConverter::SystemAnsiCodePage()
{
    // The environment's locale, without touching the process's own (which a program
    // that never called setlocale keeps at "C").
    const locale_t locale = newlocale(LC_CTYPE_MASK, "", locale_t{});
    std::string codeSet = locale ? nl_langinfo_l(CODESET, locale) : "";
    if (locale)
        freelocale(locale);
    if (codeSet.empty() || codeSet == "ANSI_X3.4-1968" || codeSet == "ASCII")
        return "UTF-8";
    return codeSet;
}

void CTextFileConverter::SetAnsiCodePage(const std::string& codeSet)
{
    m_codePageToUnicode = codeSet;
    m_codePageFromUnicode = codeSet;
}

bool CTextFileConverter::Load(const std::string& path)
{
    m_input.clear();
    m_inputLength = 0;
    m_inputEncoding = kUnknown;
    m_converted = false;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    const bool sized = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                       static_cast<std::uint64_t>(st.st_size) < kMaxFileSize;
    std::vector<char> bytes(sized ? static_cast<std::size_t>(st.st_size) + 2 : 0, '\0');
    const bool read = sized && ReadAll(fd, bytes.data(), bytes.size() - 2);
    close(fd);
    if (!read)
        return false;
    const std::size_t size = bytes.size() - 2;
    std::size_t skip = 0;
    m_inputEncoding = kAnsi;
    if (size > 1 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        m_inputEncoding = kUtf16, skip = 2;
    } else if (size > 1 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
        // Big-endian text is swapped into the order the conversion reads.
        WriteLog("Swap SOurce");
        m_inputEncoding = kUtf16, skip = 2;
        for (std::size_t i = 2; i + 1 < size; i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    }
    m_input.assign(bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end());
    m_inputLength = size - skip;
    return true;
}

void CTextFileConverter::Convert()
{
    if (m_inputEncoding == kUtf16)
        ConvertToAnsi();
    else if (m_inputEncoding == kAnsi)
        ConvertToUnicode();
}

void CTextFileConverter::ConvertToAnsi()
{
    m_defaultCharUsed = false;
    const std::optional<std::string> text =
        IconvConvert({m_input.data(), m_inputLength}, kUtf16Le, m_codePageFromUnicode,
                     kQuestionMark, 2, m_defaultCharUsed);
    if (text)
        SetOutput(*text, 1);
}

void CTextFileConverter::ConvertToUnicode()
{
    bool replaced = false;
    const std::optional<std::string> text =
        IconvConvert({m_input.data(), m_inputLength}, m_codePageToUnicode, kUtf16Le, kReplacementLe,
                     1, replaced);
    if (text)
        SetOutput(*text, 2);
}

void CTextFileConverter::SetOutput(const std::string& text, std::size_t terminator)
{
    m_output.assign(text.begin(), text.end());
    m_output.resize(text.size() + terminator, '\0');
    m_outputLength = text.size();
    m_converted = true;
}

bool CTextFileConverter::Save(const std::string& path) const
{
    if (!m_converted)
        return false;
    std::string temp = path + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = TvWriteAll(fd, m_output.data(), m_outputLength) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        unlink(temp.c_str());
    return ok;
}
