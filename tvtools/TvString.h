#pragma once

#include <string>
#include <utility>

// One text as an object, for collections that hold objects through a common base
// (such as lists of owned objects that are deleted through a base pointer).
class CTvString
{
public:
    CTvString() = default;
    CTvString(std::string text) : m_string(std::move(text)) {}
    CTvString(const char* text) : m_string(text ? text : "") {}
    virtual ~CTvString();
    CTvString(const CTvString&) = default;
    CTvString& operator=(const CTvString&) = default;
    CTvString(CTvString&&) = default;
    CTvString& operator=(CTvString&&) = default;

    const std::string& GetString() const { return m_string; }
    void SetString(const std::string& text) { m_string = text; }
    operator const std::string&() const { return m_string; }

    bool operator==(const CTvString& other) const { return m_string == other.m_string; }

private:
    std::string m_string;
};
