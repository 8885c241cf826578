// Names and registry files from a backup's catalogue, which may be crafted: a stored
// name that is accepted must name a place inside the folder it is joined to, and the
// registry key check must refuse or accept any bytes without harm. An accepted
// registry file names only keys below the allowed one.
#include "RegFileError.h"
#include "RegFileParser.h"
#include "RegistryKeyCheck.h"
#include "StoredName.h"

#include "CaseFold.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void CheckName(std::string_view name)
{
    const auto parts = SplitStoredName(name);
    if (!parts)
        return;
    for (const std::string& part : *parts)
        if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos ||
            part.find('\0') != std::string::npos)
            std::abort();
}

void CheckRegistry(std::string_view bytes)
{
    const std::string allowed = "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager";
    std::string why;
    if (!CRegistryKeyCheck::KeysFitBytes(bytes, {allowed}, why))
        return;
    for (const TvRegOperation& operation : CRegFileParser::Parse(bytes))
        if (!EqualsNoCase(std::string_view(operation.path).substr(0, allowed.size()), allowed))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckName(bytes);
    CheckRegistry(bytes);
    return 0;
}
