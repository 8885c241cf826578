#pragma once

#include "RegTypes.h"

// The registry calls, named and shaped like the Windows ones with a Tv prefix. Names
// and texts are UTF-8; key and value names compare without regard to case. A path
// separates keys with "\"; "/" is an ordinary character of a key name. A null or empty
// value name is the key's default value. Every call returns a result code and never
// throws.

LONG TvRegOpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);

// Opens subKey, creating every missing key on the way. `disposition` (optional) tells
// REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. The class, options and security
// arguments are accepted for the Windows shape and ignored.
LONG TvRegCreateKeyEx(HKEY key, const char* subKey, DWORD reserved, char* keyClass, DWORD options,
                      REGSAM access, const void* security, HKEY* result, DWORD* disposition);

// Closing a predefined root does nothing and succeeds.
LONG TvRegCloseKey(HKEY key);

// Copies the value's type and data. A null `data` asks only for the size. When the
// buffer (*dataSize bytes) is too small the result is ERROR_MORE_DATA, *dataSize the
// size needed and the buffer untouched.
LONG TvRegQueryValueEx(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                       DWORD* dataSize);

LONG TvRegSetValueEx(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                     DWORD dataSize);

LONG TvRegDeleteValue(HKEY key, const char* valueName);

// Deletes subKey and its values; refused with ERROR_ACCESS_DENIED while it has
// sub-keys. An empty subKey deletes the key of the handle itself.
LONG TvRegDeleteKey(HKEY key, const char* subKey);

// Deletes subKey with everything below it. A null or empty subKey deletes all values
// and sub-keys of the handle's key but keeps the key.
LONG TvRegDeleteTree(HKEY key, const char* subKey);

// The index-th direct sub-key, in the order of the case-folded names. *nameSize is the
// buffer size in bytes (including the terminating zero) on entry and the name's length
// without it on success. ERROR_NO_MORE_ITEMS past the last one. The class and time
// arguments are accepted for the Windows shape; the class comes back empty.
LONG TvRegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                    char* keyClass, DWORD* classSize, void* lastWriteTime);

// The index-th value, in creation order, with the buffer rules of TvRegEnumKeyEx for
// the name and of TvRegQueryValueEx for the data.
LONG TvRegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                    DWORD* type, BYTE* data, DWORD* dataSize);

// Counts and longest sizes (bytes, without terminating zeros) of the key's sub-keys and
// values, so a caller can size its buffers before enumerating. Any pointer may be null;
// the class, security and time arguments exist for the Windows shape (class empty,
// sizes 0, time untouched).
LONG TvRegQueryInfoKey(HKEY key, char* keyClass, DWORD* classSize, DWORD* reserved, DWORD* subKeys,
                       DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values,
                       DWORD* maxValueNameLen, DWORD* maxValueLen, DWORD* securityDescriptor,
                       void* lastWriteTime);
