// The value calls of the registry: query, set, delete, enumerate.
#include "RegApi.h"

#include "RegBuffer.h"
#include "RegTransaction.h"
#include "RegValueTable.h"
#include "RegistryStore.h"

#include <string_view>

namespace {

// A null value name means the default value, whose name is empty.
std::string_view ValueName(const char* name)
{
    return name ? std::string_view(name) : std::string_view();
}

} // namespace

LONG TvRegQueryValueEx(HKEY key, const char* valueName, DWORD* /*reserved*/, DWORD* type,
                       BYTE* data, DWORD* dataSize)
{
    return CRegistryStore::Instance().Run([&](CRegistryStore& store) {
        CRegTransaction tx(store.Database(), false);
        CRegValueTable values(store.Database());
        const std::optional<TvRegValue> value =
            values.Find(store.Resolve(key, KEY_QUERY_VALUE), ValueName(valueName));
        if (!value)
            return ERROR_FILE_NOT_FOUND;
        if (type)
            *type = value->type;
        return TvRegCopyData(value->data, data, dataSize);
    });
}

LONG TvRegSetValueEx(HKEY key, const char* valueName, DWORD /*reserved*/, DWORD type,
                     const BYTE* data, DWORD dataSize)
{
    if (!data && dataSize > 0)
        return ERROR_INVALID_PARAMETER;
    return CRegistryStore::Instance().Run([&](CRegistryStore& store) {
        CRegTransaction tx(store.Database(), true);
        CRegValueTable values(store.Database());
        values.Set(store.Resolve(key, KEY_SET_VALUE), ValueName(valueName), type, data, dataSize);
        tx.Commit();
        return ERROR_SUCCESS;
    });
}

LONG TvRegDeleteValue(HKEY key, const char* valueName)
{
    return CRegistryStore::Instance().Run([&](CRegistryStore& store) {
        CRegTransaction tx(store.Database(), true);
        CRegValueTable values(store.Database());
        if (!values.Remove(store.Resolve(key, KEY_SET_VALUE), ValueName(valueName)))
            return ERROR_FILE_NOT_FOUND;
        tx.Commit();
        return ERROR_SUCCESS;
    });
}

LONG TvRegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* /*reserved*/,
                    DWORD* type, BYTE* data, DWORD* dataSize)
{
    return CRegistryStore::Instance().Run([&](CRegistryStore& store) {
        CRegTransaction tx(store.Database(), false);
        CRegValueTable values(store.Database());
        const std::optional<TvRegValue> value =
            values.At(store.Resolve(key, KEY_QUERY_VALUE), index);
        if (!value)
            return ERROR_NO_MORE_ITEMS;
        const LONG named = TvRegCopyName(value->name, name, nameSize);
        if (named != ERROR_SUCCESS)
            return named;
        if (type)
            *type = value->type;
        return TvRegCopyData(value->data, data, dataSize);
    });
}
