#pragma once

#include <string>

// Writes a key and all its sub-keys as the registry editor's files of Version 5.00:
// a byte-order mark, UTF-16LE text with CR LF line ends, the header line, then one
// section per key in pre-order ("[ROOT\path]", its values in their order, a blank
// line), sub-keys in the store's enumeration order.
class CRegExporter
{
public:
    // The file's bytes for the key named in full ("HKEY_CURRENT_USER\Software\X"; the
    // short root names are accepted and written out long). Sections spell the
    // exported key as given and the keys below it as stored. Throws CRegFileError when
    // the name is no key path, the key does not exist or the store cannot be read.
    static std::string ExportKey(const std::string& fullPath);

    // Writes ExportKey's bytes to `file`; when the export fails no file is written and
    // one that was there is left as it was.
    static void ExportToFile(const std::string& file, const std::string& fullPath);
};
