#include "RegFileParser.h"

#include "RegDataParser.h"
#include "RegError.h"
#include "RegFileError.h"
#include "RegPath.h"
#include "RegRootKey.h"

#include <optional>

namespace {

std::string_view TrimLeft(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

std::string_view TrimRight(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A zero would cut the name short in the registry calls, and a carriage return
// could not be written back into a registry file.
void RequirePlainName(std::string_view name, unsigned line)
{
    if (name.find('\0') != std::string_view::npos)
        throw CRegFileError("a name holds a zero character", line);
    if (name.find_first_of("\r\n") != std::string_view::npos)
        throw CRegFileError("a name holds a line break", line);
}

// Checks the key names of a path as the store will (no empty name, at most 255
// characters each), so a bad path is reported with its line before anything changes.
void CheckKeyPath(const std::string& path, unsigned line)
{
    RequirePlainName(path, line);
    try {
        TvRegSplitPath(path.c_str());
    } catch (const CRegError& error) {
        throw CRegFileError(error.Code() == ERROR_INVALID_PARAMETER
                                ? "a key name is longer than 255 characters"
                                : "a key path holds an empty key name",
                            line);
    }
}

} // namespace

std::vector<TvRegOperation> CRegFileParser::Parse(std::string_view fileBytes)
{
    const CRegFileText text(fileBytes);
    CRegFileParser parser(text);
    parser.ParseLines();
    return std::move(parser.m_operations);
}

void CRegFileParser::ParseLines()
{
    const std::vector<std::string>& lines = m_text.Lines();
    for (m_index = 1; m_index < lines.size(); ++m_index) {
        const std::string_view line = TrimLeft(lines[m_index]);
        if (TrimRight(line).empty() || line.front() == ';')
            continue;
        if (line.front() == '[')
            ParseSection(TrimRight(line));
        else if (line.front() == '@' || line.front() == '"')
            ParseValue(line);
        else
            throw CRegFileError("expected a [key], a value or a comment", LineNumber());
    }
}

void CRegFileParser::ParseSection(std::string_view line)
{
    // Key names may hold "]", so the section ends at the last one.
    if (line.back() != ']')
        throw CRegFileError("a key line must end with \"]\"", LineNumber());
    std::string_view name = line.substr(1, line.size() - 2);
    const bool deleted = !name.empty() && name.front() == '-';
    if (deleted)
        name.remove_prefix(1);
    const std::optional<TvRegKeyPath> key = RegSplitKeyPath(name);
    if (!key)
        throw CRegFileError("unknown root key in [" + std::string(name) + "]", LineNumber());
    CheckKeyPath(key->path, LineNumber());
    if (deleted && key->path.empty())
        throw CRegFileError("a root key cannot be deleted", LineNumber());
    m_inSection = true;
    m_sectionDeleted = deleted;
    m_root = key->root;
    m_path = key->path;
    TvRegOperation op;
    op.kind = deleted ? TvRegOperation::Kind::DeleteKey : TvRegOperation::Kind::CreateKey;
    op.root = m_root;
    op.path = m_path;
    m_operations.push_back(std::move(op));
}

void CRegFileParser::ParseValue(std::string_view line)
{
    const unsigned first = LineNumber();
    if (!m_inSection)
        throw CRegFileError("a value before the first [key]", first);
    if (m_sectionDeleted)
        throw CRegFileError("a value below a deleted [-key]", first);
    std::string name;
    std::size_t end = 1;
    if (line.front() == '"') {
        const std::optional<std::string> quoted = RegParseQuoted(line, end);
        if (!quoted)
            throw CRegFileError("the value name has no closing quote", first);
        name = *quoted;
        RequirePlainName(name, first);
    }
    const std::string_view rest = TrimLeft(line.substr(end));
    if (rest.empty() || rest.front() != '=')
        throw CRegFileError("a \"=\" must follow the value name", first);
    const std::string data = JoinContinuations(rest.substr(1));
    const TvRegValueData parsed = RegParseValueData(data, m_text.GetForm(), first);
    TvRegOperation op;
    op.kind = parsed.remove ? TvRegOperation::Kind::DeleteValue : TvRegOperation::Kind::SetValue;
    op.root = m_root;
    op.path = m_path;
    op.value.name = std::move(name);
    op.value.type = parsed.type;
    op.value.data = parsed.data;
    m_operations.push_back(std::move(op));
}

std::string CRegFileParser::JoinContinuations(std::string_view data)
{
    std::string joined(TrimRight(data));
    if (!RegIsHexForm(joined))
        return joined;
    const std::vector<std::string>& lines = m_text.Lines();
    while (!joined.empty() && joined.back() == '\\' && m_index + 1 < lines.size()) {
        joined.pop_back();
        joined += TrimRight(TrimLeft(lines[++m_index]));
    }
    if (!joined.empty() && joined.back() == '\\')
        joined.pop_back();
    return joined;
}
