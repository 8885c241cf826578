#include "RegBuffer.h"

#include <cstring>

LONG TvRegCopyName(std::string_view source, char* name, DWORD* size)
{
    if (!name || !size)
        return ERROR_INVALID_PARAMETER;
    if (source.size() >= *size) {
        *size = static_cast<DWORD>(source.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, source.data(), source.size());
    name[source.size()] = '\0';
    *size = static_cast<DWORD>(source.size());
    return ERROR_SUCCESS;
}

LONG TvRegCopyData(const std::vector<BYTE>& source, BYTE* data, DWORD* size)
{
    if (!size)
        return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    const auto needed = static_cast<DWORD>(source.size());
    if (data && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data && needed > 0)
        std::memcpy(data, source.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}
