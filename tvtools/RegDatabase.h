#pragma once

#include <string>

struct sqlite3;

// The SQLite connection under the registry store: opens (and on first use lays out)
// the database file, and runs statements on it. Failures throw CRegError.
class CRegDatabase
{
public:
    // Key ids of the predefined roots; every other key descends from one of them.
    static constexpr long long kFirstRootId = 1;
    static constexpr long long kRootCount = 4;

    explicit CRegDatabase(const std::string& path);
    ~CRegDatabase();
    CRegDatabase(const CRegDatabase&) = delete;
    CRegDatabase& operator=(const CRegDatabase&) = delete;

    sqlite3* Handle() const { return m_db; }
    void Exec(const char* sql);

    // Drops the connection without closing it. Used in a child process after fork:
    // the connection belongs to the parent, and closing it here would disturb the
    // parent's file locks.
    void Abandon() { m_db = nullptr; }

private:
    void Configure();
    void SwitchToWal();
    void CreateSchema();

    sqlite3* m_db = nullptr;
};
