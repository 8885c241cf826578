// resgen: turns the plain sources of a resource library into C++ source.
//
//   resgen text  TextRes.txt  OUT.cpp   numbered texts
//   resgen pages PageRes.txt  OUT.cpp   HTML pages named by a listing
//
// On any fault it prints "file:line: message" and exits with 1 without touching
// OUT.cpp, so a broken source never leaves a stale or half-written library.

#include "PageListing.h"
#include "ResGenError.h"
#include "SourceText.h"
#include "TableWriter.h"
#include "TextSource.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

int Usage()
{
    std::cerr << "usage: resgen text|pages SOURCE OUTPUT.cpp\n";
    return 2;
}

CTableWriter TextTable(const std::string& source)
{
    CTableWriter writer;
    for (const TextEntry& entry : CTextSource::Parse(resgen::ReadWholeFile(source), source))
        writer.AddText(entry.id, entry.text);
    return writer;
}

CTableWriter PageTable(const std::string& listing)
{
    CTableWriter writer;
    for (const PageEntry& page : CPageListing::Load(listing))
        writer.AddPage(page.name, page.bytes);
    return writer;
}

// Written beside the target and renamed over it, so the output is either the
// old file or the whole new one.
void WriteAtomically(const std::string& path, const std::string& text)
{
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            throw CResGenError(path, 0, "cannot write the output file");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        throw CResGenError(path, 0, "cannot replace the output file: " + error.message());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return Usage();
    const std::string mode = argv[1];
    const std::string source = argv[2];
    if (mode != "text" && mode != "pages")
        return Usage();
    try {
        const CTableWriter writer = mode == "text" ? TextTable(source) : PageTable(source);
        const std::string name = std::filesystem::path(source).filename().string();
        WriteAtomically(argv[3], writer.Generate(name));
    } catch (const CResGenError& error) {
        std::cerr << "resgen: " << error.what() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "resgen: " << source << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
