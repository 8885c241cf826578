#pragma once

#include <string>
#include <string_view>
#include <vector>

// What xprop prints, read back: another program's window titles and classes are
// whatever bytes it chose, so the reading never trusts them beyond their line.
class CXpropOutput
{
public:
    // The window ids of "_NET_CLIENT_LIST(WINDOW): window id # 0x1a00003, 0x2000007",
    // as written ("0x1a00003"); malformed ids are passed over. At most `limit`.
    static std::vector<std::string> WindowIds(std::string_view output, std::size_t limit = 1024);

    // The quoted strings of property `name` ("WM_CLASS(STRING) = "xterm", "XTerm""),
    // escapes undone (\" \\ \n and three-digit octal); empty when the property is not
    // there or holds no string.
    static std::vector<std::string> Strings(std::string_view output, std::string_view name);
};
