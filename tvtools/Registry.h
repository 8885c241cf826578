#pragma once

#include "RegTypes.h"
#include "TvPoint.h"
#include "TvRect.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

// Typed access to the values of one registry key at a time (the current key). Every
// operation reports success by its result and records the registry's result code,
// and for values also the type and byte size, for diagnostics; nothing throws.
// Making a new key current closes the key opened before (the predefined roots are
// never closed). Reads that fail leave their output as it was.
class CRegistry
{
public:
    // Largest archive form of a binary value, in bytes; larger ones are refused.
    static constexpr DWORD kBinaryLimit = 4096;
    // Longest text that Read returns, in characters (code points) without the zero.
    static constexpr std::size_t kMaxTextChars = 199;

    explicit CRegistry(HKEY root = HKEY_LOCAL_MACHINE) noexcept;
    virtual ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // Key operations.
    bool VerifyKey(HKEY root, const std::string& path, REGSAM access) noexcept;
    bool VerifyKey(const std::string& path) noexcept;
    bool VerifyValue(const std::string& name) noexcept;
    bool CreateKey(HKEY root, const std::string& path) noexcept;
    bool Open(HKEY root, const std::string& path, REGSAM access) noexcept;
    bool Close() noexcept;
    bool DeleteValue(const std::string& name) noexcept;
    bool DeleteValueKey(HKEY root, const std::string& path) noexcept;
    // Appends the names of the current key's sub-keys; true even when there are none.
    bool EnumKeys(std::vector<std::string>& names) noexcept;

    // Integers and texts.
    bool Write(const std::string& name, std::int32_t value) noexcept;
    // Returns the result code itself and records nothing.
    LONG Write(const std::string& name, std::uint32_t value) noexcept;
    bool Write(const std::string& name, const std::string& text) noexcept;
    bool Read(const std::string& name, std::int32_t& value) noexcept;
    bool Read(const std::string& name, std::uint32_t& value) noexcept;
    bool Read(const std::string& name, std::string& text) noexcept;

    // Binary values in the archive form (see CRegistryArchive). A 16-bit or 32-bit
    // array read keeps the size it had: missing elements become 0, extra ones drop.
    bool Write(const std::string& name, const std::vector<std::uint8_t>& bytes) noexcept;
    bool Write(const std::string& name, const std::vector<std::uint16_t>& words) noexcept;
    bool Write(const std::string& name, const std::vector<std::uint32_t>& dwords) noexcept;
    bool Write(const std::string& name, const std::vector<std::string>& strings) noexcept;
    bool Write(const std::string& name, const std::list<std::string>& strings) noexcept;
    bool Write(const std::string& name, const TvRect& rect) noexcept;
    bool Write(const std::string& name, const TvPoint& point) noexcept;
    bool Read(const std::string& name, std::vector<std::uint8_t>& bytes) noexcept;
    bool Read(const std::string& name, std::vector<std::uint16_t>& words) noexcept;
    bool Read(const std::string& name, std::vector<std::uint32_t>& dwords) noexcept;
    bool Read(const std::string& name, std::vector<std::string>& strings) noexcept;
    bool Read(const std::string& name, std::list<std::string>& strings) noexcept;
    bool Read(const std::string& name, TvRect& rect) noexcept;
    bool Read(const std::string& name, TvPoint& point) noexcept;

    LONG GetLastResult() const { return m_lastResult; }
    DWORD GetLastType() const { return m_lastType; }
    DWORD GetLastSize() const { return m_lastSize; }
    HKEY GetCurrentKey() const { return m_currentKey; }
    const std::string& GetKeyPath() const { return m_keyPath; }

private:
    static bool IsOpened(HKEY key);
    void MakeCurrent(HKEY key);
    void DropOpenedKey();
    bool OpenRooted(HKEY root, const std::string& path, REGSAM access);
    void Record(LONG result, DWORD type, DWORD size);
    bool WriteBytes(const std::string& name, DWORD type, const void* data, std::size_t size);
    bool ReadDword(const std::string& name, std::uint32_t& value);
    template <class T> bool WriteArchive(const std::string& name, const T& value);
    template <class T> bool ReadArchive(const std::string& name, T& value, DWORD bufferSize);
    template <class T> bool ReadPresized(const std::string& name, std::vector<T>& value);
    bool ReadFive(const std::string& name, std::vector<std::uint32_t>& five);
    // Runs `work`; a failure to allocate becomes a false result, never an exception.
    template <class Work> bool Guarded(Work&& work) noexcept;

    LONG m_lastResult = ERROR_SUCCESS;
    DWORD m_lastType = REG_NONE;
    DWORD m_lastSize = 0;
    HKEY m_currentKey;
    std::string m_keyPath;
};

template <class Work> bool CRegistry::Guarded(Work&& work) noexcept
{
    try {
        return work();
    } catch (...) {
        // Only allocation can fail here; the registry calls themselves never throw.
        m_lastResult = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
}
