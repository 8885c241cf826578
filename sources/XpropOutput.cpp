#include "XpropOutput.h"

namespace {

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The value part of the line of property `name` ("NAME(TYPE) = value" or
// "NAME = value"); false when the line is another property's.
bool ValueOf(std::string_view line, std::string_view name, std::string_view& value)
{
    if (line.substr(0, name.size()) != name)
        return false;
    line.remove_prefix(name.size());
    if (!line.empty() && line.front() == '(') {
        const std::size_t close = line.find(')');
        if (close == std::string_view::npos)
            return false;
        line.remove_prefix(close + 1);
    }
    if (line.substr(0, 3) != " = ")
        return false;
    value = line.substr(3);
    return true;
}

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

// One quoted string from `at` (just past its opening quote); `at` ends past the
// closing quote. An unterminated string keeps what it has.
std::string Unquote(std::string_view value, std::size_t& at)
{
    std::string text;
    while (at < value.size() && value[at] != '"') {
        char c = value[at++];
        if (c == '\\' && at < value.size()) {
            const char next = value[at];
            if (at + 2 < value.size() && IsOctal(next) && IsOctal(value[at + 1]) &&
                IsOctal(value[at + 2])) {
                c = static_cast<char>(((next - '0') << 6) | ((value[at + 1] - '0') << 3) |
                                      (value[at + 2] - '0'));
                at += 3;
            } else {
                c = next == 'n' ? '\n' : next;
                ++at;
            }
        }
        text += c;
    }
    if (at < value.size())
        ++at;
    return text;
}

} // namespace

std::vector<std::string> CXpropOutput::WindowIds(std::string_view output, std::size_t limit)
{
    std::vector<std::string> ids;
    for (std::string_view line : Lines(output)) {
        const std::size_t mark = line.find("# ");
        if (line.substr(0, 16) != "_NET_CLIENT_LIST" || mark == std::string_view::npos)
            continue;
        line.remove_prefix(mark + 2);
        while (!line.empty() && ids.size() < limit) {
            const std::size_t comma = line.find(',');
            std::string_view id = line.substr(0, comma);
            while (!id.empty() && id.front() == ' ')
                id.remove_prefix(1);
            const bool hex =
                id.size() > 2 && id.size() <= 10 && id.substr(0, 2) == "0x" &&
                id.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string_view::npos;
            if (hex)
                ids.emplace_back(id);
            if (comma == std::string_view::npos)
                break;
            line.remove_prefix(comma + 1);
        }
    }
    return ids;
}

std::vector<std::string> CXpropOutput::Strings(std::string_view output, std::string_view name)
{
    std::vector<std::string> strings;
    for (const std::string_view line : Lines(output)) {
        std::string_view value;
        if (name.empty() || !ValueOf(line, name, value))
            continue;
        std::size_t at = 0;
        while (at < value.size()) {
            const std::size_t quote = value.find('"', at);
            if (quote == std::string_view::npos)
                break;
            at = quote + 1;
            strings.push_back(Unquote(value, at));
        }
        break;
    }
    return strings;
}
