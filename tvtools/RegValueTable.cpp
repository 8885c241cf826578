#include "RegValueTable.h"

#include "RegDatabase.h"
#include "RegStatement.h"
#include "RegText.h"

#include <sqlite3.h>

namespace {

TvRegValue RowToValue(const CRegStatement& st)
{
    TvRegValue value;
    value.name = st.Text(0);
    value.type = static_cast<DWORD>(st.Int(1));
    value.data = st.Blob(2);
    return value;
}

} // namespace

std::optional<TvRegValue> CRegValueTable::Find(std::int64_t key, std::string_view name)
{
    CRegStatement st(m_db.Handle(),
                     "SELECT name, type, data FROM vals WHERE key = ?1 AND folded = ?2");
    const std::string folded = TvRegFoldName(name);
    if (!st.Bind(1, key).Bind(2, folded).Step())
        return std::nullopt;
    return RowToValue(st);
}

void CRegValueTable::Set(std::int64_t key, std::string_view name, DWORD type, const BYTE* data,
                         DWORD size)
{
    CRegStatement st(m_db.Handle(),
                     "INSERT INTO vals(key, name, folded, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
                     "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, "
                     "data = excluded.data");
    const std::string folded = TvRegFoldName(name);
    st.Bind(1, key).Bind(2, name).Bind(3, folded).Bind(4, std::int64_t{type});
    st.BindBlob(5, data, size).Run();
}

bool CRegValueTable::Remove(std::int64_t key, std::string_view name)
{
    CRegStatement st(m_db.Handle(), "DELETE FROM vals WHERE key = ?1 AND folded = ?2");
    const std::string folded = TvRegFoldName(name);
    st.Bind(1, key).Bind(2, folded).Run();
    return sqlite3_changes(m_db.Handle()) > 0;
}

std::optional<TvRegValue> CRegValueTable::At(std::int64_t key, DWORD index)
{
    CRegStatement st(m_db.Handle(), "SELECT name, type, data FROM vals WHERE key = ?1 "
                                    "ORDER BY id LIMIT 1 OFFSET ?2");
    if (!st.Bind(1, key).Bind(2, static_cast<std::int64_t>(index)).Step())
        return std::nullopt;
    return RowToValue(st);
}

void CRegValueTable::Stats(std::int64_t key, DWORD& count, DWORD& longestName, DWORD& longestData)
{
    CRegStatement st(m_db.Handle(),
                     "SELECT count(*), coalesce(max(length(CAST(name AS BLOB))), 0), "
                     "coalesce(max(length(data)), 0) FROM vals WHERE key = ?1");
    st.Bind(1, key).Step();
    count = st.Count(0);
    longestName = st.Count(1);
    longestData = st.Count(2);
}
