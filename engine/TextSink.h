#pragma once

#include <exception>
#include <string>

// Collects lines of text, each ended by CR LF. The jobs use one on the stack to turn
// an exception into the text of an error box; the report (CHtmlReport) replaces the
// way lines are written.
class CTextSink
{
public:
    static constexpr std::size_t kFormatBufferSize = 2000;
    static constexpr std::size_t kMaxExceptionMessage = 511;

    CTextSink();
    virtual ~CTextSink() = default;
    CTextSink(const CTextSink&) = default;
    CTextSink& operator=(const CTextSink&) = default;

    // Writes one line; a null line is an absent one (here: only the line end).
    virtual void WriteLine(const char* line);
    void WriteLine(const std::string& line) { WriteLine(line.c_str()); }
    // printf-style; the result is cut to 1,999 bytes (never inside a UTF-8 character).
    void WriteFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Text resource `id` as one line.
    void WriteTextResource(unsigned id);
    // The exception's own message, at most 511 bytes, as one line.
    void WriteException(const std::exception& exception);

    const std::string& GetText() const { return m_strText; }
    void SetText(const std::string& text)
    {
        m_strText = text;
        TextReplaced();
    }
    void Clear() { SetText({}); }

    // Cuts `text` to at most `limit` bytes without splitting a UTF-8 character.
    static std::string CutText(const std::string& text, std::size_t limit);
    // Drops a last character that was cut short.
    static std::string DropPartialCharacter(std::string text);

protected:
    // Told whenever the whole text was replaced from outside.
    virtual void TextReplaced() {}

    std::string m_strText;

public:
    // Lines the jobs write around error texts.
    std::string m_strSeparator;
    std::string m_strErrorHeader;
};
