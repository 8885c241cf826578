#include "RegImporter.h"

#include "RegFileError.h"
#include "RegFileIo.h"
#include "RegFileParser.h"
#include "RegStoreAccess.h"

void CRegImporter::ImportFile(const std::string& path)
{
    ImportBytes(RegReadFile(path));
}

void CRegImporter::ImportBytes(std::string_view fileBytes)
{
    const LONG result = CRegStoreAccess::Apply(CRegFileParser::Parse(fileBytes));
    if (result != ERROR_SUCCESS)
        throw CRegFileError("the registry could not be written (error " + std::to_string(result) +
                            "); nothing was changed");
}
