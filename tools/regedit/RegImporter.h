#pragma once

#include <string>
#include <string_view>

// Imports a registry file (Version 5.00 or REGEDIT4) into the registry store as one
// unit: the whole file is checked first and then applied in a single transaction,
// so a file with a fault, or a store that fails half-way, changes nothing at all.
class CRegImporter
{
public:
    // Throws CRegFileError: a fault of the file (with its line), or of the store.
    static void ImportFile(const std::string& path);
    static void ImportBytes(std::string_view fileBytes);
};
