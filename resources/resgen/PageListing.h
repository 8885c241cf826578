#pragma once

#include <string>
#include <vector>

// One page of the page library: its name (the file name) and its bytes.
struct PageEntry
{
    std::string name;
    std::string bytes;
};

// The listing of the page library (PageRes.txt): one page file name per line,
// relative to the listing's folder; "#" comments and blank lines are skipped.
// A page is found by its name without regard to letter case and is taken out as
// text up to the first zero byte, so names that differ only in case and pages
// that hold a zero byte are refused here rather than shipped half-readable.
class CPageListing
{
public:
    // The page names in listing order; throws CResGenError on a bad listing.
    static std::vector<std::string> ParseNames(const std::string& content,
                                               const std::string& fileName);
    // Reads the listing and every page it names.
    static std::vector<PageEntry> Load(const std::string& listingPath);

private:
    static void CheckName(const std::string& name, unsigned lineNumber,
                          const std::string& fileName);
    static void CheckPage(const PageEntry& page, const std::string& path);
};
