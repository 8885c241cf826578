#include "RegError.h"

#include <sqlite3.h>

CRegError CRegError::FromSqlite(int sqliteCode)
{
    switch (sqliteCode & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return CRegError(ERROR_REGISTRY_CORRUPT);
    case SQLITE_NOMEM:
        return CRegError(ERROR_NOT_ENOUGH_MEMORY);
    case SQLITE_TOOBIG:
        return CRegError(ERROR_INVALID_PARAMETER);
    default:
        return CRegError(ERROR_REGISTRY_IO_FAILED);
    }
}
