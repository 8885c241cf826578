#include "PageListing.h"

#include "ResGenError.h"
#include "SourceText.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

} // namespace

std::vector<std::string> CPageListing::ParseNames(const std::string& content,
                                                  const std::string& fileName)
{
    std::vector<std::string> names;
    std::map<std::string, unsigned> firstLineOfName;
    for (const resgen::SourceLine& line : resgen::SplitLines(content)) {
        if (resgen::IsBlankOrComment(line.text))
            continue;
        const std::string name = Trimmed(line.text);
        CheckName(name, line.number, fileName);
        const auto [it, added] = firstLineOfName.emplace(Lower(name), line.number);
        if (!added)
            throw CResGenError(fileName, line.number,
                               "duplicate page name \"" + name + "\" (first listed on line " +
                                   std::to_string(it->second) + ")");
        names.push_back(name);
    }
    if (names.empty())
        throw CResGenError(fileName, 0, "no pages listed");
    return names;
}

// Names go into "res://library/page" addresses and into generated code, so they
// are kept to plain file-name characters.
void CPageListing::CheckName(const std::string& name, unsigned lineNumber,
                             const std::string& fileName)
{
    const bool plain =
        !name.empty() && name.size() <= 128 && name.front() != '.' &&
        name.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                               "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-") == std::string::npos;
    if (!plain)
        throw CResGenError(fileName, lineNumber,
                           "bad page name \"" + name + "\" (use letters, digits, '.', '_', '-')");
}

std::vector<PageEntry> CPageListing::Load(const std::string& listingPath)
{
    const std::string listing = resgen::ReadWholeFile(listingPath);
    const std::filesystem::path folder = std::filesystem::path(listingPath).parent_path();
    std::vector<PageEntry> pages;
    for (const std::string& name : ParseNames(listing, listingPath)) {
        const std::string path = (folder / name).string();
        PageEntry page{name, resgen::ReadWholeFile(path)};
        CheckPage(page, path);
        pages.push_back(std::move(page));
    }
    return pages;
}

void CPageListing::CheckPage(const PageEntry& page, const std::string& path)
{
    if (page.bytes.empty())
        throw CResGenError(path, 0, "the page is empty");
    const std::size_t zero = page.bytes.find('\0');
    if (zero != std::string::npos)
        throw CResGenError(path, 0,
                           "the page holds a zero byte at offset " + std::to_string(zero) +
                               "; it would be cut there when read");
    if (!resgen::IsValidUtf8(page.bytes))
        throw CResGenError(path, 0, "the page is not valid UTF-8");
}
