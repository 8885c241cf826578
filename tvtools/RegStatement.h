#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQL statement of the registry store. Failures throw CRegError with the
// matching result code; the statement is finalised in every case.
class CRegStatement
{
public:
    CRegStatement(sqlite3* db, const char* sql);
    ~CRegStatement();
    CRegStatement(const CRegStatement&) = delete;
    CRegStatement& operator=(const CRegStatement&) = delete;

    // Parameters are numbered from 1, as in the SQL text.
    CRegStatement& Bind(int index, std::int64_t value);
    CRegStatement& Bind(int index, std::string_view text);
    CRegStatement& BindBlob(int index, const void* data, std::size_t size);

    // Advances to the next row; false when there is none left.
    bool Step();
    // Runs a statement that returns no rows.
    void Run();

    // Columns are numbered from 0.
    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    std::vector<std::uint8_t> Blob(int column) const;
    // A count or size column, clamped to the 32-bit range of the registry calls.
    std::uint32_t Count(int column) const;

private:
    void Check(int rc) const;

    sqlite3_stmt* m_stmt = nullptr;
};
