#include "RegStoreAccess.h"

#include "RegDatabase.h"
#include "RegKeyTable.h"
#include "RegPath.h"
#include "RegTransaction.h"
#include "RegValueTable.h"
#include "RegistryStore.h"

#include <cstdint>
#include <optional>

namespace {

// Where a key's walk has come to: its id, its path below the exported key and the
// next sub-key to visit.
struct PendingKey
{
    std::int64_t id;
    std::string relativePath;
    DWORD nextChild = 0;
};

std::optional<std::int64_t> FindKey(CRegKeyTable& keys, std::int64_t rootId,
                                    const std::string& path)
{
    std::optional<std::int64_t> id = rootId;
    for (const std::string_view name : TvRegSplitPath(path.c_str())) {
        id = keys.FindChild(*id, name);
        if (!id)
            break;
    }
    return id;
}

std::int64_t CreateKey(CRegKeyTable& keys, std::int64_t rootId, const std::string& path)
{
    std::int64_t id = rootId;
    for (const std::string_view name : TvRegSplitPath(path.c_str())) {
        const std::optional<std::int64_t> child = keys.FindChild(id, name);
        id = child ? *child : keys.AddChild(id, name);
    }
    return id;
}

std::vector<TvRegValue> ValuesOf(CRegValueTable& values, std::int64_t id)
{
    std::vector<TvRegValue> list;
    for (DWORD index = 0;; ++index) {
        std::optional<TvRegValue> value = values.At(id, index);
        if (!value)
            return list;
        list.push_back(std::move(*value));
    }
}

// Pre-order walk with an explicit stack, so a deep tree cannot exhaust the call stack.
void Walk(CRegDatabase& db, std::int64_t start, std::vector<TvRegKeyContent>& out)
{
    CRegKeyTable keys(db);
    CRegValueTable values(db);
    std::vector<PendingKey> stack{{start, {}}};
    out.push_back({{}, ValuesOf(values, start)});
    while (!stack.empty()) {
        PendingKey& top = stack.back();
        std::optional<std::string> child = keys.ChildAt(top.id, top.nextChild++);
        if (!child) {
            stack.pop_back();
            continue;
        }
        const std::optional<std::int64_t> id = keys.FindChild(top.id, *child);
        if (!id)
            continue;
        std::string path = top.relativePath + "\\" + *child;
        out.push_back({path, ValuesOf(values, *id)});
        stack.push_back({*id, std::move(path)});
    }
}

// Applies one operation; `cache` keeps the last key a section named, since the value
// lines that follow all go to it.
void ApplyOne(CRegistryStore& store, const TvRegOperation& op, const TvRegOperation*& cachedFor,
              std::int64_t& cachedId)
{
    CRegKeyTable keys(store.Database());
    const std::int64_t rootId = store.Resolve(op.root, 0);
    if (op.kind == TvRegOperation::Kind::DeleteKey) {
        cachedFor = nullptr;
        const std::optional<std::int64_t> id = FindKey(keys, rootId, op.path);
        if (id && *id != rootId)
            keys.RemoveTree(*id, false);
        return;
    }
    if (!cachedFor || cachedFor->root != op.root || cachedFor->path != op.path) {
        cachedId = CreateKey(keys, rootId, op.path);
        cachedFor = &op;
    }
    CRegValueTable values(store.Database());
    const TvRegValue& value = op.value;
    if (op.kind == TvRegOperation::Kind::SetValue)
        values.Set(cachedId, value.name, value.type, value.data.data(),
                   static_cast<DWORD>(value.data.size()));
    else if (op.kind == TvRegOperation::Kind::DeleteValue)
        values.Remove(cachedId, value.name);
}

} // namespace

LONG CRegStoreAccess::ReadTree(HKEY root, const std::string& path,
                               std::vector<TvRegKeyContent>& keys)
{
    keys.clear();
    return CRegistryStore::Instance().Run([&](CRegistryStore& store) {
        CRegTransaction tx(store.Database(), false);
        CRegKeyTable table(store.Database());
        const std::optional<std::int64_t> id = FindKey(table, store.Resolve(root, 0), path);
        if (!id)
            return ERROR_FILE_NOT_FOUND;
        Walk(store.Database(), *id, keys);
        return ERROR_SUCCESS;
    });
}

LONG CRegStoreAccess::Apply(const std::vector<TvRegOperation>& operations)
{
    return CRegistryStore::Instance().Run([&](CRegistryStore& store) {
        CRegTransaction tx(store.Database(), true);
        const TvRegOperation* cachedFor = nullptr;
        std::int64_t cachedId = 0;
        for (const TvRegOperation& op : operations)
            ApplyOne(store, op, cachedFor, cachedId);
        tx.Commit();
        return ERROR_SUCCESS;
    });
}
