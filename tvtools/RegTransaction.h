#pragma once

class CRegDatabase;

// One transaction of the registry store. A write transaction begins IMMEDIATE: it
// takes the write lock at once (waiting out the other process), so no read done inside
// it can go stale before the write. Rolled back unless committed.
class CRegTransaction
{
public:
    CRegTransaction(CRegDatabase& db, bool write);
    ~CRegTransaction();
    CRegTransaction(const CRegTransaction&) = delete;
    CRegTransaction& operator=(const CRegTransaction&) = delete;

    void Commit();

private:
    CRegDatabase& m_db;
    bool m_open = false;
};
