#include "ZipMountTable.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        if (end > start)
            fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool ParseNumber(std::string_view text, unsigned& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && !text.empty();
}

bool ParseDevice(std::string_view field, CZipMountTable::Entry& entry)
{
    const std::size_t colon = field.find(':');
    return colon != std::string_view::npos && ParseNumber(field.substr(0, colon), entry.major) &&
           ParseNumber(field.substr(colon + 1), entry.minor);
}

// id parent major:minor root mount-point options [optional...] - fstype source super
bool ParseLine(std::string_view line, CZipMountTable::Entry& entry)
{
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() < 10 || !ParseDevice(fields[2], entry))
        return false;
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-")
        ++dash;
    if (dash + 2 >= fields.size())
        return false;
    entry.mountPoint = CZipMountTable::Unescape(fields[4]);
    entry.fsType = CZipMountTable::Unescape(fields[dash + 1]);
    entry.source = CZipMountTable::Unescape(fields[dash + 2]);
    return !entry.mountPoint.empty() && entry.mountPoint[0] == '/';
}

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

bool IsUnder(const std::string& path, const std::string& mountPoint)
{
    if (mountPoint == "/")
        return !path.empty() && path[0] == '/';
    return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

} // namespace

std::string CZipMountTable::Unescape(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
            IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            const int value =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            out += static_cast<char>(value & 0xFF);
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

CZipMountTable CZipMountTable::Parse(std::string_view text)
{
    CZipMountTable table;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        Entry entry;
        if (ParseLine(text.substr(start, end - start), entry))
            table.m_entries.push_back(std::move(entry));
        start = end + 1;
    }
    return table;
}

CZipMountTable CZipMountTable::ReadCurrent()
{
    std::ifstream in("/proc/self/mountinfo");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Parse(text);
}

const CZipMountTable::Entry* CZipMountTable::FindMount(const std::string& path) const
{
    const Entry* best = nullptr;
    for (const Entry& entry : m_entries) {
        if (IsUnder(path, entry.mountPoint) &&
            (!best || entry.mountPoint.size() >= best->mountPoint.size()))
            best = &entry;
    }
    return best;
}
