#pragma once

#include <string>

// A resource library: a shared object built from plain text sources that holds
// numbered texts and named pages as data (no code is called in it). TextRes is
// loaded once at start-up and kept; PageRes is loaded for each page and unloaded.
class CResourceLibrary
{
public:
    CResourceLibrary() = default;
    ~CResourceLibrary();
    CResourceLibrary(const CResourceLibrary&) = delete;
    CResourceLibrary& operator=(const CResourceLibrary&) = delete;

    // Loads the library file (dlopen); false when it is missing or not a resource library.
    bool Load(const std::string& path);
    void Unload();
    bool IsLoaded() const { return m_handle != nullptr; }

    // The text with that number; false when the library has none.
    bool FindText(unsigned id, std::string& text) const;
    // The resource of that name and type ("RT_HTML" in any letter case is the HTML
    // type); its bytes up to its size and no further than a zero byte.
    bool FindResource(const std::string& name, const std::string& type, std::string& data) const;

private:
    void* m_handle = nullptr;
    const void* m_table = nullptr;
};

// Name of the text library file in the program folder ("TextRes.so").
extern const char* const kTextResFileName;
// Name of the page library file in the program folder ("PageRes.so").
extern const char* const kPageResFileName;

// The process-wide text library (TextRes), loaded by start-up.
CResourceLibrary& TextResources();
// Text number `id` of TextRes; empty when TextRes is not loaded or has no such text.
std::string LoadResString(unsigned id);
