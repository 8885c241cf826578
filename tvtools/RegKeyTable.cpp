#include "RegKeyTable.h"

#include "RegDatabase.h"
#include "RegStatement.h"
#include "RegText.h"

#include <sqlite3.h>

namespace {

// All keys below ?1, the key itself included.
const char* const kSubtree = "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL "
                             "SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) ";

} // namespace

bool CRegKeyTable::Exists(std::int64_t id)
{
    CRegStatement st(m_db.Handle(), "SELECT 1 FROM keys WHERE id = ?1");
    return st.Bind(1, id).Step();
}

std::optional<std::int64_t> CRegKeyTable::FindChild(std::int64_t parent, std::string_view name)
{
    CRegStatement st(m_db.Handle(), "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
    const std::string folded = TvRegFoldName(name);
    if (!st.Bind(1, parent).Bind(2, folded).Step())
        return std::nullopt;
    return st.Int(0);
}

std::int64_t CRegKeyTable::AddChild(std::int64_t parent, std::string_view name)
{
    CRegStatement st(m_db.Handle(), "INSERT INTO keys(parent, name, folded) VALUES (?1, ?2, ?3)");
    const std::string folded = TvRegFoldName(name);
    st.Bind(1, parent).Bind(2, name).Bind(3, folded).Run();
    return sqlite3_last_insert_rowid(m_db.Handle());
}

std::optional<std::string> CRegKeyTable::ChildAt(std::int64_t parent, DWORD index)
{
    CRegStatement st(m_db.Handle(), "SELECT name FROM keys WHERE parent = ?1 "
                                    "ORDER BY folded LIMIT 1 OFFSET ?2");
    if (!st.Bind(1, parent).Bind(2, static_cast<std::int64_t>(index)).Step())
        return std::nullopt;
    return st.Text(0);
}

bool CRegKeyTable::HasChildren(std::int64_t id)
{
    CRegStatement st(m_db.Handle(), "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    return st.Bind(1, id).Step();
}

void CRegKeyTable::ChildStats(std::int64_t parent, DWORD& count, DWORD& longest)
{
    CRegStatement st(m_db.Handle(), "SELECT count(*), coalesce(max(length(CAST(name AS BLOB))), 0) "
                                    "FROM keys WHERE parent = ?1");
    st.Bind(1, parent).Step();
    count = st.Count(0);
    longest = st.Count(1);
}

void CRegKeyTable::Remove(std::int64_t id)
{
    CRegStatement(m_db.Handle(), "DELETE FROM vals WHERE key = ?1").Bind(1, id).Run();
    CRegStatement(m_db.Handle(), "DELETE FROM keys WHERE id = ?1").Bind(1, id).Run();
}

void CRegKeyTable::RemoveTree(std::int64_t id, bool keepKey)
{
    const std::string values = std::string(kSubtree) + "DELETE FROM vals WHERE key IN tree";
    CRegStatement(m_db.Handle(), values.c_str()).Bind(1, id).Run();
    const std::string keys =
        std::string(kSubtree) + "DELETE FROM keys WHERE id IN tree AND (?2 = 0 OR id <> ?1)";
    CRegStatement(m_db.Handle(), keys.c_str()).Bind(1, id).Bind(2, std::int64_t{keepKey}).Run();
}
