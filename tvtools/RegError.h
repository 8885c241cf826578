#pragma once

#include "RegTypes.h"

// A failure inside the registry store, carrying the result code to report. It is
// thrown only within the store and turned into that code at the boundary of every
// TvReg call, so it never reaches a caller.
class CRegError
{
public:
    explicit CRegError(LONG code) : m_code(code) {}

    // The result code for an SQLite failure: damaged files are told apart from I/O
    // and locking failures, so a caller can suggest the right remedy.
    static CRegError FromSqlite(int sqliteCode);

    LONG Code() const { return m_code; }

private:
    LONG m_code;
};
