#include "RegExporter.h"

#include "RegFileError.h"
#include "RegFileIo.h"
#include "RegRootKey.h"
#include "RegStoreAccess.h"
#include "RegTextCodec.h"
#include "RegValueFormat.h"

#include <optional>
#include <vector>

namespace {

constexpr char16_t kHeader[] = u"Windows Registry Editor Version 5.00\r\n\r\n";

std::vector<TvRegKeyContent> ReadKeys(const TvRegKeyPath& key, const std::string& fullPath)
{
    std::vector<TvRegKeyContent> keys;
    const LONG result = CRegStoreAccess::ReadTree(key.root, key.path, keys);
    if (result == ERROR_FILE_NOT_FOUND)
        throw CRegFileError("the key does not exist: " + fullPath);
    if (result == ERROR_BAD_PATHNAME || result == ERROR_INVALID_PARAMETER)
        throw CRegFileError("not a valid key path: " + fullPath);
    if (result != ERROR_SUCCESS)
        throw CRegFileError("the registry cannot be read (error " + std::to_string(result) + ")");
    return keys;
}

void AppendSection(std::u16string& text, const std::string& keyName,
                   const std::vector<TvRegValue>& values)
{
    if (keyName.find_first_of("\r\n") != std::string::npos)
        throw CRegFileError("a key name holds a line break: " + keyName);
    text += u'[';
    text += RegUtf8ToUtf16(keyName);
    text += u"]\r\n";
    for (const TvRegValue& value : values) {
        text += RegFormatValue(value);
        text += u"\r\n";
    }
    text += u"\r\n";
}

} // namespace

std::string CRegExporter::ExportKey(const std::string& fullPath)
{
    const std::optional<TvRegKeyPath> key = RegSplitKeyPath(fullPath);
    if (!key)
        throw CRegFileError("not a key path with a known root: " + fullPath);
    std::string top = RegRootName(key->root);
    if (!key->path.empty())
        top += "\\" + key->path;
    std::u16string text = kHeader;
    for (const TvRegKeyContent& content : ReadKeys(*key, fullPath))
        AppendSection(text, top + content.relativePath, content.values);
    return "\xFF\xFE" + RegUtf16ToBytes(text);
}

void CRegExporter::ExportToFile(const std::string& file, const std::string& fullPath)
{
    RegWriteFileWhole(file, ExportKey(fullPath));
}
