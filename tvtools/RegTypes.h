#pragma once

#include <cstdint>

// The registry's public vocabulary, spelled as on Windows so that callers read the
// same on both systems and a native layer can later take this header's place.

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BYTE = std::uint8_t;
using REGSAM = std::uint32_t;
using LSTATUS = LONG;

// A key handle. It is an opaque token, never dereferenced; the store maps it to a key.
struct TvRegKeyHandle;
using HKEY = TvRegKeyHandle*;

// The predefined roots are macros, as on Windows: a pointer made from an integer is
// not a constant expression, and a global constant would be initialised dynamically,
// too late for process-wide objects that use a root before main starts.
#define TV_PREDEFINED_HKEY(n) (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(n)))
#define HKEY_CLASSES_ROOT TV_PREDEFINED_HKEY(0x80000000u)
#define HKEY_CURRENT_USER TV_PREDEFINED_HKEY(0x80000001u)
#define HKEY_LOCAL_MACHINE TV_PREDEFINED_HKEY(0x80000002u)
#define HKEY_USERS TV_PREDEFINED_HKEY(0x80000003u)

// Value types. The store keeps any type number as given; these are the known ones.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Access rights of a key handle.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Options and dispositions of TvRegCreateKeyEx.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Result codes, with the Windows numbers.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr LONG ERROR_INVALID_DATA = 13;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_REGISTRY_CORRUPT = 1015;
// The store's database could not be opened, read or written.
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr LONG ERROR_KEY_DELETED = 1018;
