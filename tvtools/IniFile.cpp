#include "IniFile.h"

#include "IniFileText.h"

#include <cstddef>

namespace {

const char* const kNoKey = "Unable to locate specified key.";
const char* const kNoValue = "Unable to locate specified value.";

// The parts of "a,b,c" at the first and second comma; missing parts are empty.
std::string Part(const std::string& text, int index)
{
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            return {};
        start = comma + 1;
    }
    const std::size_t end = text.find(',', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

CIniFile::CIniFile() = default;

CIniFile::CIniFile(const std::string& path) : m_path(path) {}

CIniFile::~CIniFile() = default;

void CIniFile::SetPath(const std::string& path)
{
    m_path = path;
}

void CIniFile::Reset()
{
    m_keys.clear();
    m_keyNames.clear();
}

int CIniFile::GetNumKeys() const
{
    return static_cast<int>(m_keys.size());
}

int CIniFile::GetNumValues(const std::string& keyName) const
{
    const int key = FindKey(keyName);
    return key < 0 ? -1 : static_cast<int>(m_keys[key].names.size());
}

std::string CIniFile::GetValue(const std::string& keyName, const std::string& valueName)
{
    const int key = FindKey(keyName);
    if (key < 0) {
        error = kNoKey;
        return {};
    }
    const int value = FindValue(key, valueName);
    if (value < 0) {
        error = kNoValue;
        return {};
    }
    return m_keys[key].values[value];
}

int CIniFile::GetValueI(const std::string& keyName, const std::string& valueName)
{
    const std::string text = GetValue(keyName, valueName);
    return text.empty() ? -1 : TvIniParseInt(text);
}

double CIniFile::GetValueF(const std::string& keyName, const std::string& valueName)
{
    const std::string text = GetValue(keyName, valueName);
    return text.empty() ? 0.0 : TvIniParseDouble(text);
}

std::uint32_t CIniFile::GetValueRGB(const std::string& keyName, const std::string& valueName)
{
    const std::string text = GetValue(keyName, valueName);
    if (text.empty())
        return 0xFFFFFFFFu;
    std::uint32_t colour = 0;
    for (int i = 0; i < 3; ++i) {
        const auto component = static_cast<std::uint32_t>(TvIniParseInt(Part(text, i))) & 0xFFu;
        colour |= component << (8 * i);
    }
    return colour;
}

TvPoint CIniFile::GetValuePO(const std::string& keyName, const std::string& valueName)
{
    const std::string text = GetValue(keyName, valueName);
    if (text.empty())
        return {};
    return {TvIniParseInt(Part(text, 0)), TvIniParseInt(Part(text, 1))};
}

bool CIniFile::SetValue(const std::string& keyName, const std::string& valueName,
                        const std::string& value, bool create)
{
    if (!TvIniIsStorable(keyName, valueName, value))
        return false;
    int key = FindKey(keyName);
    if (key < 0) {
        if (!create)
            return false;
        m_keyNames.push_back(keyName);
        m_keys.emplace_back();
        key = static_cast<int>(m_keys.size()) - 1;
    }
    Key& record = m_keys[key];
    int index = FindValue(key, valueName);
    if (index < 0) {
        if (!create)
            return false;
        record.names.push_back(valueName);
        record.values.emplace_back();
        index = static_cast<int>(record.names.size()) - 1;
    }
    record.values[index] = value;
    return true;
}

bool CIniFile::SetValueI(const std::string& keyName, const std::string& valueName, int value,
                         bool create)
{
    return SetValue(keyName, valueName, std::to_string(value), create);
}

bool CIniFile::SetValueF(const std::string& keyName, const std::string& valueName, double value,
                         bool create)
{
    return SetValue(keyName, valueName, TvIniFormatDouble(value), create);
}

bool CIniFile::DeleteValue(const std::string& keyName, const std::string& valueName)
{
    const int key = FindKey(keyName);
    const int value = FindValue(key, valueName);
    if (value < 0)
        return false;
    Key& record = m_keys[key];
    record.names.erase(record.names.begin() + value);
    record.values.erase(record.values.begin() + value);
    return true;
}

bool CIniFile::DeleteKey(const std::string& keyName)
{
    const int key = FindKey(keyName);
    if (key < 0)
        return false;
    m_keyNames.erase(m_keyNames.begin() + key);
    m_keys.erase(m_keys.begin() + key);
    return true;
}

int CIniFile::FindKey(const std::string& keyName) const
{
    for (std::size_t i = 0; i < m_keyNames.size(); ++i) {
        if (m_keyNames[i] == keyName)
            return static_cast<int>(i);
    }
    return -1;
}

int CIniFile::FindValue(int keyIndex, const std::string& valueName) const
{
    if (keyIndex < 0 || keyIndex >= static_cast<int>(m_keys.size()))
        return -1;
    const std::vector<std::string>& names = m_keys[keyIndex].names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == valueName)
            return static_cast<int>(i);
    }
    return -1;
}
