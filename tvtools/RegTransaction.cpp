#include "RegTransaction.h"

#include "RegDatabase.h"

#include <sqlite3.h>

CRegTransaction::CRegTransaction(CRegDatabase& db, bool write) : m_db(db)
{
    m_db.Exec(write ? "BEGIN IMMEDIATE" : "BEGIN");
    m_open = true;
}

CRegTransaction::~CRegTransaction()
{
    // A failed rollback leaves nothing to do: SQLite ends the transaction itself when
    // the connection closes, and nothing of it was committed.
    if (m_open)
        sqlite3_exec(m_db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void CRegTransaction::Commit()
{
    m_db.Exec("COMMIT");
    m_open = false;
}
