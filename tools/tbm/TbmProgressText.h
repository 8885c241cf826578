#pragma once

#include <cstdint>
#include <string>

// The pieces of the progress display, as plain functions of their numbers.
class CTbmProgressText
{
public:
    // 999 B, 1.5 KB, 12.3 MB, 4.00 GB (powers of 1024, three significant digits).
    static std::string Bytes(std::uint64_t bytes);
    // Bytes per second as "12.3 MB/s"; "-" before anything was measured.
    static std::string Rate(double bytesPerSecond);
    // "0:07", "12:30", "3:02:05"; "--:--" when unknown.
    static std::string Duration(double seconds);
    // The end of `name`, with "..." in front, in at most `width` characters (UTF-8
    // sequences are never cut, a character counts as one column).
    static std::string Shorten(const std::string& name, std::size_t width);
    // "[#####.....]" with `width` cells between the brackets.
    static std::string Bar(std::uint64_t done, std::uint64_t total, std::size_t width);
    // The one terminal line: bar, percentage, name, bytes, rate, time left, fitted
    // into `columns`.
    static std::string Line(const std::string& name, std::uint64_t done, std::uint64_t total,
                            double seconds, std::size_t columns);
    // Columns a UTF-8 text takes (one per character).
    static std::size_t Columns(const std::string& text);
};
