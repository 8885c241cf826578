#include "ResourceLibrary.h"
#include "ResourceTestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

// Every page the program takes out of the page library.
const char* const kPageNames[] = {"report_reg_b.html", "report_reg_r.html", "cdrw.html",
                                  "oewiz1.html", "oewiz2.html"};

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string LoadPage(const std::string& name)
{
    CResourceLibrary library;
    std::string page;
    EXPECT_TRUE(library.Load(restest::ProgramFile(kPageResFileName)));
    EXPECT_TRUE(library.FindResource(name, "RT_HTML", page)) << "page " << name << " missing";
    return page;
}

class PageTest : public ::testing::TestWithParam<const char*>
{
};

TEST_P(PageTest, IsACompleteDocument)
{
    const std::string page = Lower(LoadPage(GetParam()));
    EXPECT_EQ(1u, Count(page, "<html"));
    EXPECT_EQ(1u, Count(page, "</html>"));
    EXPECT_EQ(1u, Count(page, "<title>"));
    EXPECT_NE(std::string::npos, page.find("charset=utf-8"));
}

// The pages are shown inside dialogs and reports are opened offline, possibly
// long after the backup: nothing may run or be fetched from elsewhere.
TEST_P(PageTest, IsSelfContainedWithoutScripts)
{
    const std::string page = Lower(LoadPage(GetParam()));
    for (const char* banned : {"<script", "javascript:", "src=", "<link", "@import", "url(",
                               "http:", "https:", "<iframe", "<object", "<embed"})
        EXPECT_EQ(std::string::npos, page.find(banned)) << GetParam() << " holds " << banned;
    for (const char* handler : {"onclick", "onload", "onmouseover", "onerror"})
        EXPECT_EQ(std::string::npos, page.find(handler)) << GetParam() << " holds " << handler;
}

INSTANTIATE_TEST_SUITE_P(Pages, PageTest, ::testing::ValuesIn(kPageNames), [](const auto& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
});

struct MarkerCase
{
    const char* page;
    const char* marker;
};

class ReportMarkerTest : public ::testing::TestWithParam<MarkerCase>
{
};

// Report lines are inserted before the first occurrence of a marker: a missing
// marker drops that part of the report, a second one would be dead text.
TEST_P(ReportMarkerTest, TemplateHoldsItsMarkerExactlyOnce)
{
    EXPECT_EQ(1u, Count(LoadPage(GetParam().page), GetParam().marker));
}

const MarkerCase kMarkers[] = {{"report_reg_b.html", "<!--$BackupInfo$-->"},
                               {"report_reg_b.html", "<!--$BackupSt$-->"},
                               {"report_reg_b.html", "<!--$BackupVer$-->"},
                               {"report_reg_r.html", "<!--$RestoreInfo$-->"},
                               {"report_reg_r.html", "<!--$RestoreSt$-->"}};

INSTANTIATE_TEST_SUITE_P(Reports, ReportMarkerTest, ::testing::ValuesIn(kMarkers));

TEST(ReportTemplateTest, BackupMarkersComeInTheOrderOfTheReport)
{
    const std::string page = LoadPage("report_reg_b.html");
    const std::size_t info = page.find("<!--$BackupInfo$-->");
    const std::size_t log = page.find("<!--$BackupSt$-->");
    const std::size_t verify = page.find("<!--$BackupVer$-->");
    EXPECT_LT(info, log);
    EXPECT_LT(log, verify);
    EXPECT_LT(page.find(">Job<"), info);
    EXPECT_LT(page.find(">Backup log<"), log);
    EXPECT_LT(page.find(">Verification<"), verify);
}

TEST(ReportTemplateTest, EachTemplateHoldsOnlyItsOwnKindOfMarkers)
{
    EXPECT_EQ(0u, Count(LoadPage("report_reg_b.html"), "$Restore"));
    EXPECT_EQ(0u, Count(LoadPage("report_reg_r.html"), "$Backup"));
}

struct LinkCase
{
    const char* page;
    std::vector<std::string> commands;
};

class CommandLinkTest : public ::testing::TestWithParam<LinkCase>
{
};

// Each HTML dialog can only be left through its command links.
TEST_P(CommandLinkTest, PageOffersExactlyItsCommands)
{
    const std::string page = LoadPage(GetParam().page);
    std::size_t links = 0;
    for (const std::string& command : GetParam().commands) {
        EXPECT_EQ(1u, Count(page, "href=\"TVEVENT:" + command + "\""))
            << GetParam().page << " lacks " << command;
        ++links;
    }
    EXPECT_EQ(links, Count(Lower(page), "tvevent:"));
}

const LinkCase kLinks[] = {{"oewiz1.html", {"TV_IDEMPTY", "TV_IDNOTEMPTY", "TV_CANCEL"}},
                           {"oewiz2.html", {"TV_SYNC_GETIT", "TV_CANCEL"}},
                           {"cdrw.html", {}},
                           {"report_reg_b.html", {}},
                           {"report_reg_r.html", {}}};

INSTANTIATE_TEST_SUITE_P(Dialogs, CommandLinkTest, ::testing::ValuesIn(kLinks));

} // namespace
