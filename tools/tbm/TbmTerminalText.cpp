#include "TbmTerminalText.h"

#include <cstdio>

namespace {

std::string Hex(const char* prefix, unsigned char byte)
{
    char text[12];
    std::snprintf(text, sizeof text, "%s%02x", prefix, byte);
    return text;
}

bool IsContinuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF)
{
    return byte >= low && byte <= high;
}

} // namespace

std::size_t CTbmTerminalText::SequenceLength(const std::string& text, std::size_t at)
{
    const auto byte = [&text](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    // The second byte's range rules out overlong forms, surrogates and values past
    // U+10FFFF.
    if (lead >= 0xC2 && lead <= 0xDF)
        return IsContinuation(byte(at + 1)) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return IsContinuation(byte(at + 1), low, high) && IsContinuation(byte(at + 2)) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return IsContinuation(byte(at + 1), low, high) && IsContinuation(byte(at + 2)) &&
                       IsContinuation(byte(at + 3))
                   ? 4
                   : 0;
    }
    return 0;
}

std::string CTbmTerminalText::Escape(const std::string& text, bool keepLineBreaks)
{
    std::string shown;
    shown.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            shown += Hex("\\x", lead);
            ++at;
            continue;
        }
        if (length == 1 && (lead < 0x20 || lead == 0x7F) && !(keepLineBreaks && lead == '\n'))
            shown += Hex("\\x", lead);
        else if (length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0)
            shown += Hex("\\u00", static_cast<unsigned char>(text[at + 1]));
        else
            shown.append(text, at, length);
        at += length;
    }
    return shown;
}
