#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Reads the program's command line as switch/value pairs. Each argument (argv
// element) is one token; a token that begins with a double quote goes on over the
// following tokens, joined by single blanks, up to the first one that ends with a
// double quote, so a name split by a caller that did not quote for the shell still
// comes out whole. A token beginning with "-", "--" or "/" is a switch; the token
// after it is its value unless it is a switch itself.
class CBackupCommandLineInfo
{
public:
    // The program path first, then the arguments.
    explicit CBackupCommandLineInfo(std::vector<std::string> arguments);

    // The whole command line, the arguments joined by blanks, trimmed.
    const std::string& GetCommandLine() const { return m_strCommandLine; }

    // Starts afresh after the program path and gives the first pair; false when there
    // is nothing but the program path.
    bool GetFirstParameter(std::string& name, std::string& value);
    // The next pair: a switch with its value (empty when none follows), or a stray
    // value with an empty name; false when no token is left.
    bool GetNextParameter(std::string& name, std::string& value);

private:
    bool ReadToken(std::string& token);
    static bool IsSwitch(const std::string& token);

    std::vector<std::string> m_Tokens;
    std::string m_strCommandLine;
    std::size_t m_nPosition = 0;
};
