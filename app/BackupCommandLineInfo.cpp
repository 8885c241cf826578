#include "BackupCommandLineInfo.h"

namespace {

bool StartsWithQuote(const std::string& text)
{
    return !text.empty() && text.front() == '"';
}

// A token that opens a quote also closes it when it is more than the quote alone.
bool EndsQuote(const std::string& text, bool opening)
{
    if (opening && text.size() < 2)
        return false;
    return !text.empty() && text.back() == '"';
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

CBackupCommandLineInfo::CBackupCommandLineInfo(std::vector<std::string> arguments)
{
    std::string line;
    for (std::string& argument : arguments) {
        line += (line.empty() ? "" : " ") + argument;
        // Blanks only separate tokens: an empty argument is no token.
        if (!argument.empty())
            m_Tokens.push_back(std::move(argument));
    }
    m_strCommandLine = Trim(line);
}

bool CBackupCommandLineInfo::IsSwitch(const std::string& token)
{
    return !token.empty() && (token.front() == '-' || token.front() == '/');
}

// The next token with a quoted run joined; an unclosed quote takes the rest of the
// line, never more.
bool CBackupCommandLineInfo::ReadToken(std::string& token)
{
    if (m_nPosition >= m_Tokens.size())
        return false;
    token = m_Tokens[m_nPosition++];
    if (!StartsWithQuote(token))
        return true;
    bool closed = EndsQuote(token, true);
    while (!closed && m_nPosition < m_Tokens.size()) {
        const std::string& next = m_Tokens[m_nPosition++];
        token += " " + next;
        closed = EndsQuote(next, false);
    }
    token.erase(0, 1);
    if (closed)
        token.pop_back();
    return true;
}

bool CBackupCommandLineInfo::GetFirstParameter(std::string& name, std::string& value)
{
    // The program path is never a switch, though on this system it starts with "/".
    m_nPosition = m_Tokens.empty() ? 0 : 1;
    return GetNextParameter(name, value);
}

bool CBackupCommandLineInfo::GetNextParameter(std::string& name, std::string& value)
{
    name.clear();
    value.clear();
    std::string token;
    const std::size_t start = m_nPosition;
    if (!ReadToken(token))
        return false;
    if (!IsSwitch(m_Tokens[start])) {
        value = token;
        return true;
    }
    name = token.substr(token.compare(0, 2, "--") == 0 ? 2 : 1);
    if (m_nPosition < m_Tokens.size() && !IsSwitch(m_Tokens[m_nPosition]))
        ReadToken(value);
    return true;
}
