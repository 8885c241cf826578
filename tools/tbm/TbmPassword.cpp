#include "TbmPassword.h"

#include "TbmOptions.h"
#include "TbmUsageError.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

void CheckPassword(const std::string& password, const std::string& origin)
{
    if (password.empty())
        throw CTbmUsageError("the password from " + origin + " is empty");
    for (const char c : password)
        if (c == 0 || static_cast<unsigned char>(c) > 127)
            throw CTbmUsageError("the password from " + origin +
                                 " may only hold plain ASCII letters, digits and signs");
}

} // namespace

std::string CTbmPassword::FirstLine(const std::string& text)
{
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::string CTbmPassword::FromOptions(const CTbmOptions& options)
{
    if (!options.m_strPasswordFile.empty()) {
        std::ifstream in(options.m_strPasswordFile, std::ios::binary);
        if (!in)
            throw CTbmUsageError("cannot read the password file '" + options.m_strPasswordFile +
                                 "'");
        std::ostringstream text;
        text << in.rdbuf();
        const std::string password = FirstLine(text.str());
        CheckPassword(password, "'" + options.m_strPasswordFile + "'");
        return password;
    }
    if (!options.m_strPasswordEnv.empty()) {
        const char* value = std::getenv(options.m_strPasswordEnv.c_str());
        if (!value)
            throw CTbmUsageError("the environment variable " + options.m_strPasswordEnv +
                                 " is not set");
        CheckPassword(value, options.m_strPasswordEnv);
        return value;
    }
    return {};
}
