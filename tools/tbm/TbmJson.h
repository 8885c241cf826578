#pragma once

#include <string>

// JSON text for the --json outputs.
class CTbmJson
{
public:
    // `text` as a JSON string with its quotes. Entry names come from the archive and
    // may hold any bytes: control characters are escaped and bytes that are not
    // UTF-8 become U+FFFD, so the output always parses.
    static std::string Quote(const std::string& text);
};
