#include "PathComponents.h"

std::vector<std::string> SplitPathComponents(const std::string& path, bool backslashes)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path + '/') {
        if (c != '/' && !(backslashes && c == '\\')) {
            part += c;
            continue;
        }
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    }
    return parts;
}
