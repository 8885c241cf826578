#include "TextInserts.h"

std::string FillInserts(const std::string& text, const std::vector<std::string>& inserts)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char after = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '%' && after == '%') {
            out += '%';
            ++i;
        } else if (c == '%' && (after == 's' || after == 'd')) {
            if (next < inserts.size())
                out += inserts[next++];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}
