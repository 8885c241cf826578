#include "HtmlReport.h"

#include "Globals.h"
#include "ResourceLibrary.h"

void CHtmlReport::LoadTemplate(const std::string& name)
{
    m_strText = g_Globals.LoadResourceText(kPageResFileName, name, "RT_HTML") + "\r\n";
    m_nLastFound = 0;
}

void CHtmlReport::SetPlaceholder(const std::string& marker)
{
    m_strPlaceholder = marker;
    m_nLastFound = 0;
}

void CHtmlReport::WriteLine(const char* line)
{
    if (!line || m_strPlaceholder.empty())
        return;
    // The first occurrence stays the first: text before the last find only grows by
    // what was inserted there, which holds no marker after escaping.
    std::size_t at = std::string::npos;
    if (m_nLastFound < m_strText.size() &&
        m_strText.compare(m_nLastFound, m_strPlaceholder.size(), m_strPlaceholder) == 0)
        at = m_nLastFound;
    else
        at = m_strText.find(m_strPlaceholder);
    if (at == std::string::npos)
        return;
    const std::string inserted = EscapeHtml(line) + "<br>";
    m_strText.insert(at, inserted);
    m_nLastFound = at + inserted.size();
}

std::string CHtmlReport::EscapeHtml(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}
