#include "ResourceLibrary.h"

#include "ResourceTable.h"

#include <dlfcn.h>

#include <cstring>
#include <strings.h>

const char* const kTextResFileName = "TextRes.so";
const char* const kPageResFileName = "PageRes.so";

namespace {

const TbmResourceTable* Table(const void* table)
{
    return static_cast<const TbmResourceTable*>(table);
}

bool SameName(const char* a, const std::string& b)
{
    return a && strcasecmp(a, b.c_str()) == 0;
}

bool TypeMatches(const TbmResourceEntry& entry, const std::string& type)
{
    if (strcasecmp(type.c_str(), "RT_HTML") == 0)
        return entry.type == kResTypeHtml;
    return entry.type == kResTypeCustom && SameName(entry.typeName, type);
}

// The bytes of a resource up to its size and no further than a zero byte.
std::string ResourceBytes(const TbmResourceEntry& entry)
{
    if (!entry.data)
        return {};
    const char* data = reinterpret_cast<const char*>(entry.data);
    const void* zero = std::memchr(data, 0, entry.size);
    const std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - data) : entry.size;
    return std::string(data, length);
}

// A table of another program that happens to use the symbol, or a damaged one,
// is refused rather than read: its entry list would be walked blindly.
bool IsResourceTable(const TbmResourceTable* table)
{
    return table && table->magic == kResourceTableMagic &&
           table->version == kResourceTableVersion && (table->entries || table->count == 0);
}

} // namespace

CResourceLibrary::~CResourceLibrary()
{
    Unload();
}

bool CResourceLibrary::Load(const std::string& path)
{
    Unload();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return false;
    const auto* table = static_cast<const TbmResourceTable*>(dlsym(handle, kResourceTableSymbol));
    if (!IsResourceTable(table)) {
        dlclose(handle);
        return false;
    }
    m_handle = handle;
    m_table = table;
    return true;
}

void CResourceLibrary::Unload()
{
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
    m_table = nullptr;
}

bool CResourceLibrary::FindText(unsigned id, std::string& text) const
{
    if (!m_table)
        return false;
    const TbmResourceTable* table = Table(m_table);
    for (std::size_t i = 0; i < table->count; ++i) {
        const TbmResourceEntry& entry = table->entries[i];
        if (entry.type == kResTypeString && entry.id == id) {
            text = ResourceBytes(entry);
            return true;
        }
    }
    return false;
}

bool CResourceLibrary::FindResource(const std::string& name, const std::string& type,
                                    std::string& data) const
{
    if (!m_table)
        return false;
    const TbmResourceTable* table = Table(m_table);
    for (std::size_t i = 0; i < table->count; ++i) {
        const TbmResourceEntry& entry = table->entries[i];
        if (TypeMatches(entry, type) && SameName(entry.name, name)) {
            data = ResourceBytes(entry);
            return true;
        }
    }
    return false;
}

CResourceLibrary& TextResources()
{
    static CResourceLibrary library;
    return library;
}

std::string LoadResString(unsigned id)
{
    std::string text;
    TextResources().FindText(id, text);
    return text;
}
