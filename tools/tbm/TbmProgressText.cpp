#include "TbmProgressText.h"

#include <cstdio>

namespace {

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

std::string Format(const char* format, double value, const char* unit)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value, unit);
    return text;
}

} // namespace

std::string CTbmProgressText::Bytes(std::uint64_t bytes)
{
    static const char* const units[] = {"KB", "MB", "GB", "TB"};
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1000 && unit + 1 < std::size(units)) {
        value /= 1024;
        ++unit;
    }
    const char* format = value < 10 ? "%.2f %s" : value < 100 ? "%.1f %s" : "%.0f %s";
    return Format(format, value, units[unit]);
}

std::string CTbmProgressText::Rate(double bytesPerSecond)
{
    if (!(bytesPerSecond > 0))
        return "-";
    return Bytes(static_cast<std::uint64_t>(bytesPerSecond)) + "/s";
}

std::string CTbmProgressText::Duration(double seconds)
{
    if (!(seconds >= 0) || seconds > 360000)
        return "--:--";
    const auto total = static_cast<unsigned long>(seconds + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%lu:%02lu:%02lu", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(text, sizeof text, "%lu:%02lu", total / 60, total % 60);
    return text;
}

std::size_t CTbmProgressText::Columns(const std::string& text)
{
    std::size_t columns = 0;
    for (const char c : text)
        if (!IsContinuation(static_cast<unsigned char>(c)))
            ++columns;
    return columns;
}

std::string CTbmProgressText::Shorten(const std::string& name, std::size_t width)
{
    if (Columns(name) <= width)
        return name;
    if (width <= 3)
        return std::string(width, '.');
    // Keep the last width - 3 characters: the file name matters more than its folder.
    std::size_t keep = width - 3;
    std::size_t start = name.size();
    while (start > 0 && keep > 0) {
        --start;
        if (!IsContinuation(static_cast<unsigned char>(name[start])))
            --keep;
    }
    return "..." + name.substr(start);
}

std::string CTbmProgressText::Bar(std::uint64_t done, std::uint64_t total, std::size_t width)
{
    std::size_t filled = width;
    if (total > 0 && done < total)
        filled = static_cast<std::size_t>(static_cast<double>(done) / static_cast<double>(total) *
                                          static_cast<double>(width));
    else if (total == 0)
        filled = 0;
    return "[" + std::string(filled, '#') + std::string(width - filled, '.') + "]";
}

std::string CTbmProgressText::Line(const std::string& name, std::uint64_t done, std::uint64_t total,
                                   double seconds, std::size_t columns)
{
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    const double left = rate > 0 && total >= done ? static_cast<double>(total - done) / rate : -1;
    const unsigned percent =
        total == 0 ? 0 : static_cast<unsigned>(done >= total ? 100 : done * 100 / total);
    char head[16];
    std::snprintf(head, sizeof head, " %3u%% ", percent);
    const std::string tail = "  " + Bytes(done) + "/" + Bytes(total) + "  " + Rate(rate) + "  " +
                             Duration(left) + " left";
    const std::size_t barWidth = columns >= 100 ? 20 : 10;
    const std::string bar = Bar(done, total, barWidth);
    const std::size_t fixed = Columns(bar) + Columns(head) + Columns(tail);
    // The name gets what is left, and goes first when the terminal is too narrow.
    if (fixed + 8 > columns)
        return Shorten(bar + head + Shorten(name, 20), columns);
    return bar + head + Shorten(name, columns - fixed - 1) + tail;
}
