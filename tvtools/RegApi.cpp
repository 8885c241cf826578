// The key calls of the registry: open, create, close, delete, enumerate.
#include "RegApi.h"

#include "RegBuffer.h"
#include "RegKeyTable.h"
#include "RegPath.h"
#include "RegTransaction.h"
#include "RegValueTable.h"
#include "RegistryStore.h"

namespace {

CRegistryStore& Store()
{
    return CRegistryStore::Instance();
}

// The key at `names` below `start`, if every key on the way exists.
std::optional<std::int64_t> Walk(CRegKeyTable& keys, std::int64_t start,
                                 const std::vector<std::string_view>& names)
{
    std::optional<std::int64_t> id = start;
    for (const std::string_view name : names) {
        id = keys.FindChild(*id, name);
        if (!id)
            break;
    }
    return id;
}

// Like Walk, creating the missing keys; tells whether the last one was created.
std::int64_t WalkCreating(CRegKeyTable& keys, std::int64_t start,
                          const std::vector<std::string_view>& names, bool mayCreate, bool& created)
{
    std::int64_t id = start;
    created = false;
    for (const std::string_view name : names) {
        const std::optional<std::int64_t> child = keys.FindChild(id, name);
        created = !child;
        if (created && !mayCreate)
            throw CRegError(ERROR_ACCESS_DENIED);
        id = child ? *child : keys.AddChild(id, name);
    }
    return id;
}

} // namespace

LONG TvRegOpenKeyEx(HKEY key, const char* subKey, DWORD /*options*/, REGSAM access, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return Store().Run([&](CRegistryStore& store) {
        const auto names = TvRegSplitPath(subKey);
        if (names.empty() && CRegHandleTable::IsRoot(key)) {
            *result = key;
            return ERROR_SUCCESS;
        }
        CRegTransaction tx(store.Database(), false);
        CRegKeyTable keys(store.Database());
        const std::optional<std::int64_t> id = Walk(keys, store.Resolve(key, 0), names);
        if (!id)
            return ERROR_FILE_NOT_FOUND;
        *result = store.Handles().Add(*id, access);
        return ERROR_SUCCESS;
    });
}

LONG TvRegCreateKeyEx(HKEY key, const char* subKey, DWORD /*reserved*/, char* /*keyClass*/,
                      DWORD /*options*/, REGSAM access, const void* /*security*/, HKEY* result,
                      DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return Store().Run([&](CRegistryStore& store) {
        const auto names = TvRegSplitPath(subKey);
        CRegTransaction tx(store.Database(), true);
        CRegKeyTable keys(store.Database());
        const std::int64_t parent = store.Resolve(key, 0);
        const bool mayCreate = (store.Handles().Find(key)->access & KEY_CREATE_SUB_KEY) != 0;
        bool created = false;
        const std::int64_t id = WalkCreating(keys, parent, names, mayCreate, created);
        tx.Commit();
        *result =
            names.empty() && CRegHandleTable::IsRoot(key) ? key : store.Handles().Add(id, access);
        if (disposition)
            *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    });
}

LONG TvRegCloseKey(HKEY key)
{
    if (CRegHandleTable::IsRoot(key))
        return ERROR_SUCCESS;
    return Store().Run([&](CRegistryStore& store) {
        return store.Handles().Remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    });
}

LONG TvRegDeleteKey(HKEY key, const char* subKey)
{
    if (!subKey)
        return ERROR_INVALID_PARAMETER;
    return Store().Run([&](CRegistryStore& store) {
        const auto names = TvRegSplitPath(subKey);
        if (names.empty() && CRegHandleTable::IsRoot(key))
            return ERROR_ACCESS_DENIED;
        CRegTransaction tx(store.Database(), true);
        CRegKeyTable keys(store.Database());
        const std::optional<std::int64_t> id = Walk(keys, store.Resolve(key, KEY_SET_VALUE), names);
        if (!id)
            return ERROR_FILE_NOT_FOUND;
        // As on Windows NT: a key with sub-keys is not deleted, TvRegDeleteTree is.
        if (keys.HasChildren(*id))
            return ERROR_ACCESS_DENIED;
        keys.Remove(*id);
        tx.Commit();
        return ERROR_SUCCESS;
    });
}

LONG TvRegDeleteTree(HKEY key, const char* subKey)
{
    return Store().Run([&](CRegistryStore& store) {
        const auto names = TvRegSplitPath(subKey);
        CRegTransaction tx(store.Database(), true);
        CRegKeyTable keys(store.Database());
        const std::optional<std::int64_t> id = Walk(keys, store.Resolve(key, KEY_SET_VALUE), names);
        if (!id)
            return ERROR_FILE_NOT_FOUND;
        keys.RemoveTree(*id, names.empty());
        tx.Commit();
        return ERROR_SUCCESS;
    });
}

LONG TvRegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* /*reserved*/,
                    char* keyClass, DWORD* classSize, void* /*lastWriteTime*/)
{
    return Store().Run([&](CRegistryStore& store) {
        CRegTransaction tx(store.Database(), false);
        CRegKeyTable keys(store.Database());
        const std::optional<std::string> child =
            keys.ChildAt(store.Resolve(key, KEY_ENUMERATE_SUB_KEYS), index);
        if (!child)
            return ERROR_NO_MORE_ITEMS;
        if (keyClass && classSize && *classSize > 0)
            keyClass[0] = '\0';
        if (classSize)
            *classSize = 0;
        return TvRegCopyName(*child, name, nameSize);
    });
}

LONG TvRegQueryInfoKey(HKEY key, char* keyClass, DWORD* classSize, DWORD* /*reserved*/,
                       DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values,
                       DWORD* maxValueNameLen, DWORD* maxValueLen, DWORD* securityDescriptor,
                       void* /*lastWriteTime*/)
{
    return Store().Run([&](CRegistryStore& store) {
        CRegTransaction tx(store.Database(), false);
        const std::int64_t id = store.Resolve(key, KEY_QUERY_VALUE);
        DWORD counts[5] = {};
        CRegKeyTable(store.Database()).ChildStats(id, counts[0], counts[1]);
        CRegValueTable(store.Database()).Stats(id, counts[2], counts[3], counts[4]);
        DWORD* const outs[5] = {subKeys, maxSubKeyLen, values, maxValueNameLen, maxValueLen};
        for (int i = 0; i < 5; ++i)
            if (outs[i])
                *outs[i] = counts[i];
        if (keyClass && classSize && *classSize > 0)
            keyClass[0] = '\0';
        for (DWORD* zero : {classSize, maxClassLen, securityDescriptor})
            if (zero)
                *zero = 0;
        return ERROR_SUCCESS;
    });
}
