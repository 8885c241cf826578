#include "RegStatement.h"

#include "RegError.h"

#include <sqlite3.h>

CRegStatement::CRegStatement(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        throw CRegError::FromSqlite(rc);
    }
}

CRegStatement::~CRegStatement()
{
    sqlite3_finalize(m_stmt);
}

void CRegStatement::Check(int rc) const
{
    if (rc != SQLITE_OK)
        throw CRegError::FromSqlite(rc);
}

CRegStatement& CRegStatement::Bind(int index, std::int64_t value)
{
    Check(sqlite3_bind_int64(m_stmt, index, value));
    return *this;
}

CRegStatement& CRegStatement::Bind(int index, std::string_view text)
{
    // A null pointer would bind SQL NULL; the empty name (default value) is a text.
    const char* data = text.data() ? text.data() : "";
    Check(sqlite3_bind_text64(m_stmt, index, data, text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

CRegStatement& CRegStatement::BindBlob(int index, const void* data, std::size_t size)
{
    // A null pointer would bind SQL NULL; an empty value must stay an empty blob.
    if (size == 0)
        Check(sqlite3_bind_zeroblob(m_stmt, index, 0));
    else
        Check(sqlite3_bind_blob64(m_stmt, index, data, size, SQLITE_TRANSIENT));
    return *this;
}

bool CRegStatement::Step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw CRegError::FromSqlite(rc);
}

void CRegStatement::Run()
{
    while (Step()) {
    }
}

std::int64_t CRegStatement::Int(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string CRegStatement::Text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return text ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

std::vector<std::uint8_t> CRegStatement::Blob(int column) const
{
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    if (!data || size <= 0)
        return {};
    return std::vector<std::uint8_t>(data, data + size);
}

std::uint32_t CRegStatement::Count(int column) const
{
    const std::int64_t n = Int(column);
    return n < 0 ? 0 : n > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<std::uint32_t>(n);
}
