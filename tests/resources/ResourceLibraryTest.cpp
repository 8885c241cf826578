#include "ResourceLibrary.h"
#include "ResourceTestPaths.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>

using restest::ProgramFile;

namespace {

class ResourceLibraryTest : public tbmtest::TempDirTest
{
};

TEST_F(ResourceLibraryTest, TextLibraryLoadsFromTheProgramFolderAndFindsTextsByNumber)
{
    CResourceLibrary library;
    ASSERT_TRUE(library.Load(ProgramFile(kTextResFileName)));
    std::string text;
    ASSERT_TRUE(library.FindText(101, text));
    EXPECT_EQ("&About TBManger...", text);
    EXPECT_TRUE(library.FindText(129, text));
    EXPECT_FALSE(text.empty());
}

TEST_F(ResourceLibraryTest, MissingTextNumberFailsAndLeavesTheOutputAlone)
{
    CResourceLibrary library;
    ASSERT_TRUE(library.Load(ProgramFile(kTextResFileName)));
    std::string text = "unchanged";
    EXPECT_FALSE(library.FindText(65000, text));
    EXPECT_FALSE(library.FindText(0, text));
    EXPECT_EQ("unchanged", text);
}

TEST_F(ResourceLibraryTest, EscapesInTheSourceBecomeRealCharacters)
{
    CResourceLibrary library;
    ASSERT_TRUE(library.Load(ProgramFile(kTextResFileName)));
    std::string text;
    ASSERT_TRUE(library.FindText(159, text)); // holds "\\" and "\n" in the source
    EXPECT_NE(std::string::npos, text.find("\\ / :"));
    EXPECT_NE(std::string::npos, text.find('\n'));
    EXPECT_EQ(std::string::npos, text.find("\\n"));
}

TEST_F(ResourceLibraryTest, TextsAreNotPagesAndPagesAreNotTexts)
{
    CResourceLibrary texts;
    CResourceLibrary pages;
    ASSERT_TRUE(texts.Load(ProgramFile(kTextResFileName)));
    ASSERT_TRUE(pages.Load(ProgramFile(kPageResFileName)));
    std::string data;
    EXPECT_FALSE(texts.FindResource("cdrw.html", "RT_HTML", data));
    EXPECT_FALSE(pages.FindText(101, data));
}

TEST_F(ResourceLibraryTest, PagesAreFoundByNameWithoutRegardToCase)
{
    CResourceLibrary library;
    ASSERT_TRUE(library.Load(ProgramFile(kPageResFileName)));
    std::string lower;
    std::string upper;
    ASSERT_TRUE(library.FindResource("oewiz1.html", "rt_html", lower));
    ASSERT_TRUE(library.FindResource("OEWIZ1.HTML", "RT_HTML", upper));
    EXPECT_EQ(lower, upper);
    EXPECT_NE(std::string::npos, lower.find("</html>"));
}

TEST_F(ResourceLibraryTest, MissingPageOrOtherTypeFailsCleanly)
{
    CResourceLibrary library;
    ASSERT_TRUE(library.Load(ProgramFile(kPageResFileName)));
    std::string data = "unchanged";
    EXPECT_FALSE(library.FindResource("missing.html", "RT_HTML", data));
    EXPECT_FALSE(library.FindResource("cdrw.html", "RT_BITMAP", data));
    EXPECT_FALSE(library.FindResource("", "RT_HTML", data));
    EXPECT_EQ("unchanged", data);
}

TEST_F(ResourceLibraryTest, MissingLibraryIsRefused)
{
    CResourceLibrary library;
    EXPECT_FALSE(library.Load(m_dir / "TextRes.so"));
    EXPECT_FALSE(library.IsLoaded());
    std::string text;
    EXPECT_FALSE(library.FindText(101, text));
    EXPECT_FALSE(library.FindResource("cdrw.html", "RT_HTML", text));
}

TEST_F(ResourceLibraryTest, FileThatIsNoLibraryIsRefused)
{
    const std::string fake = m_dir / "TextRes.so";
    tbmtest::WriteFileBytes(fake, "101\tnot a shared object\n");
    CResourceLibrary library;
    EXPECT_FALSE(library.Load(fake));
    EXPECT_FALSE(library.IsLoaded());
}

TEST_F(ResourceLibraryTest, SharedObjectWithoutTheTableIsRefused)
{
    CResourceLibrary library;
    EXPECT_FALSE(library.Load(ProgramFile("libTvTools.so")));
    EXPECT_FALSE(library.IsLoaded());
}

TEST_F(ResourceLibraryTest, TableWithAWrongMagicNumberIsRefused)
{
    CResourceLibrary library;
    EXPECT_FALSE(library.Load(restest::OddTableLibraryPath("BadMagicRes")));
    std::string text;
    EXPECT_FALSE(library.FindText(101, text));
}

TEST_F(ResourceLibraryTest, TableThatPromisesEntriesButHasNoneIsRefused)
{
    CResourceLibrary library;
    EXPECT_FALSE(library.Load(restest::OddTableLibraryPath("NullEntriesRes")));
}

TEST_F(ResourceLibraryTest, EntryWithoutDataReadsAsEmpty)
{
    CResourceLibrary library;
    ASSERT_TRUE(library.Load(restest::OddTableLibraryPath("NullDataRes")));
    std::string text = "unchanged";
    EXPECT_TRUE(library.FindText(101, text));
    EXPECT_EQ("", text);
}

TEST_F(ResourceLibraryTest, FailedLoadDropsTheLibraryLoadedBefore)
{
    CResourceLibrary library;
    ASSERT_TRUE(library.Load(ProgramFile(kTextResFileName)));
    EXPECT_FALSE(library.Load(m_dir / "missing.so"));
    std::string text;
    EXPECT_FALSE(library.FindText(101, text));
}

TEST_F(ResourceLibraryTest, UnloadedLibraryFindsNothing)
{
    CResourceLibrary library;
    ASSERT_TRUE(library.Load(ProgramFile(kPageResFileName)));
    library.Unload();
    std::string data;
    EXPECT_FALSE(library.FindResource("cdrw.html", "RT_HTML", data));
}

TEST_F(ResourceLibraryTest, ProcessWideTextsComeFromTheLoadedTextLibrary)
{
    TextResources().Unload();
    EXPECT_EQ("", LoadResString(101));
    ASSERT_TRUE(TextResources().Load(ProgramFile(kTextResFileName)));
    EXPECT_EQ("&About TBManger...", LoadResString(101));
    EXPECT_EQ("", LoadResString(65000));
    TextResources().Unload();
}

} // namespace
