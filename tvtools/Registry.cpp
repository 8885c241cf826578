// CRegistry: the current key, and integer and text values.
#include "Registry.h"

#include "RegApi.h"
#include "RegHandleTable.h"
#include "RegText.h"

#include <cstring>
#include <string_view>

namespace {

// Room for the longest accepted text in UTF-8 (4 bytes a character) and its zero.
constexpr DWORD kTextBuffer = CRegistry::kMaxTextChars * 4 + 1;
// Names of sub-keys are at most 255 characters; 259 of 4 bytes leave ample room.
constexpr DWORD kKeyNameBuffer = 260 * 4;

} // namespace

CRegistry::CRegistry(HKEY root) noexcept : m_currentKey(root) {}

CRegistry::~CRegistry()
{
    Close();
}

bool CRegistry::IsOpened(HKEY key)
{
    return key != nullptr && !CRegHandleTable::IsRoot(key);
}

void CRegistry::MakeCurrent(HKEY key)
{
    if (IsOpened(m_currentKey) && m_currentKey != key)
        TvRegCloseKey(m_currentKey);
    m_currentKey = key;
}

void CRegistry::DropOpenedKey()
{
    if (IsOpened(m_currentKey)) {
        TvRegCloseKey(m_currentKey);
        m_currentKey = nullptr;
    }
}

void CRegistry::Record(LONG result, DWORD type, DWORD size)
{
    m_lastResult = result;
    m_lastType = type;
    m_lastSize = size;
}

bool CRegistry::OpenRooted(HKEY root, const std::string& path, REGSAM access)
{
    DropOpenedKey();
    HKEY key = nullptr;
    m_lastResult = TvRegOpenKeyEx(root, path.c_str(), 0, access, &key);
    if (m_lastResult != ERROR_SUCCESS)
        return false;
    MakeCurrent(key);
    return true;
}

bool CRegistry::VerifyKey(HKEY root, const std::string& path, REGSAM access) noexcept
{
    return OpenRooted(root, path, access);
}

bool CRegistry::VerifyKey(const std::string& path) noexcept
{
    HKEY key = nullptr;
    m_lastResult = TvRegOpenKeyEx(m_currentKey, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (m_lastResult != ERROR_SUCCESS)
        return false;
    MakeCurrent(key);
    return true;
}

bool CRegistry::VerifyValue(const std::string& name) noexcept
{
    m_lastResult =
        TvRegQueryValueEx(m_currentKey, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    return m_lastResult == ERROR_SUCCESS;
}

bool CRegistry::CreateKey(HKEY root, const std::string& path) noexcept
{
    DropOpenedKey();
    HKEY key = nullptr;
    DWORD disposition = 0;
    m_lastResult = TvRegCreateKeyEx(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (m_lastResult != ERROR_SUCCESS)
        return false;
    MakeCurrent(key);
    return true;
}

bool CRegistry::Open(HKEY root, const std::string& path, REGSAM access) noexcept
{
    return Guarded([&] {
        m_keyPath = path;
        return OpenRooted(root, path, access);
    });
}

bool CRegistry::Close() noexcept
{
    const bool closed = !IsOpened(m_currentKey) || TvRegCloseKey(m_currentKey) == ERROR_SUCCESS;
    m_currentKey = nullptr;
    return closed;
}

bool CRegistry::DeleteValue(const std::string& name) noexcept
{
    m_lastResult = TvRegDeleteValue(m_currentKey, name.c_str());
    return m_lastResult == ERROR_SUCCESS;
}

bool CRegistry::DeleteValueKey(HKEY root, const std::string& path) noexcept
{
    m_lastResult = TvRegDeleteKey(root, path.c_str());
    return m_lastResult == ERROR_SUCCESS;
}

bool CRegistry::EnumKeys(std::vector<std::string>& names) noexcept
{
    Guarded([&] {
        std::vector<char> name(kKeyNameBuffer);
        for (DWORD index = 0;; ++index) {
            DWORD size = kKeyNameBuffer;
            m_lastResult = TvRegEnumKeyEx(m_currentKey, index, name.data(), &size, nullptr, nullptr,
                                          nullptr, nullptr);
            if (m_lastResult != ERROR_SUCCESS)
                return true;
            names.emplace_back(name.data(), size);
        }
    });
    return true;
}

bool CRegistry::WriteBytes(const std::string& name, DWORD type, const void* data, std::size_t size)
{
    if (size > 0xFFFFFFFFu) {
        Record(ERROR_INVALID_PARAMETER, type, 0xFFFFFFFFu);
        return false;
    }
    const auto bytes = static_cast<DWORD>(size);
    const LONG result =
        TvRegSetValueEx(m_currentKey, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
    Record(result, type, bytes);
    return m_lastResult == ERROR_SUCCESS;
}

bool CRegistry::Write(const std::string& name, std::int32_t value) noexcept
{
    const auto bits = static_cast<std::uint32_t>(value);
    const BYTE bytes[4] = {static_cast<BYTE>(bits), static_cast<BYTE>(bits >> 8),
                           static_cast<BYTE>(bits >> 16), static_cast<BYTE>(bits >> 24)};
    return WriteBytes(name, REG_DWORD, bytes, sizeof bytes);
}

LONG CRegistry::Write(const std::string& name, std::uint32_t value) noexcept
{
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                           static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    return TvRegSetValueEx(m_currentKey, name.c_str(), 0, REG_DWORD, bytes, sizeof bytes);
}

bool CRegistry::Write(const std::string& name, const std::string& text) noexcept
{
    // The stored form ends with a zero, as texts do in the registry; c_str() has it.
    return WriteBytes(name, REG_SZ, text.c_str(), text.size() + 1);
}

bool CRegistry::ReadDword(const std::string& name, std::uint32_t& value)
{
    BYTE bytes[4] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof bytes;
    const LONG result = TvRegQueryValueEx(m_currentKey, name.c_str(), nullptr, &type, bytes, &size);
    Record(result, type, size);
    if (m_lastResult != ERROR_SUCCESS)
        return false;
    // Shorter values leave the upper bytes zero.
    value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
            (static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

bool CRegistry::Read(const std::string& name, std::int32_t& value) noexcept
{
    std::uint32_t bits = 0;
    if (!ReadDword(name, bits))
        return false;
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool CRegistry::Read(const std::string& name, std::uint32_t& value) noexcept
{
    return ReadDword(name, value);
}

bool CRegistry::Read(const std::string& name, std::string& text) noexcept
{
    return Guarded([&] {
        std::vector<char> buffer(kTextBuffer);
        DWORD type = REG_NONE;
        DWORD size = kTextBuffer;
        const LONG result = TvRegQueryValueEx(m_currentKey, name.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(buffer.data()), &size);
        Record(result, type, size);
        if (m_lastResult != ERROR_SUCCESS)
            return false;
        std::string_view stored(buffer.data(), size);
        if (!stored.empty() && stored.back() == '\0')
            stored.remove_suffix(1);
        // The limit counts characters, not bytes, so a path in any script may be as
        // long as an ASCII one.
        if (TvUtf8CharCount(stored) > kMaxTextChars) {
            m_lastResult = ERROR_MORE_DATA;
            return false;
        }
        text.assign(stored.data(), strnlen(stored.data(), stored.size()));
        return true;
    });
}
