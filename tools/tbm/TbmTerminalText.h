#pragma once

#include <cstddef>
#include <string>

// Names as a terminal shows them: a file or entry name may hold any byte, and a
// control character or an escape sequence in it would move the cursor, recolour or
// retitle the terminal, or hide the rest of a line. Those come out as visible
// escapes: "\x1b" for C0 controls, DEL and bytes that are no UTF-8, "\u009b" for
// the C1 controls. Everything else, any other UTF-8 character included, is shown as
// it is. JSON output has escapes of its own and does not use this.
class CTbmTerminalText
{
public:
    // `keepLineBreaks`: a message's own "\n" stays a line break.
    static std::string Escape(const std::string& text, bool keepLineBreaks = false);

private:
    // Bytes of the valid UTF-8 sequence at `at` (1 for ASCII), 0 when there is none.
    static std::size_t SequenceLength(const std::string& text, std::size_t at);
};
