// tbm sources, backup --source and restore --source over the fonts and favorites of
// the test's own home.
#include "TbmCommandFixture.h"

#include <sys/stat.h>

#include "FolderTools.h"

using namespace tbmtest;

namespace {

void Put(const std::string& path, const std::string& bytes)
{
    tbm::CreateFolderPath(path.substr(0, path.rfind('/')), 0700);
    WriteFileBytes(path, bytes);
}

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

} // namespace

class TbmSourcesTest : public TbmCommandTest
{
};

TEST_F(TbmSourcesTest, NamedSourcesAreBackedUpAndRestoredAlone)
{
    const std::string fonts = m_home + "/.local/share/fonts";
    const std::string favorite = m_home + "/.local/share/TBManager/Favorites/Links/x.url";
    Put(fonts + "/a.ttf", "AAA");
    Put(fonts + "/b.ttf", "BBB");
    Put(favorite, "URL=http://x/\r\n");
    Put(m_home + "/Documents/letter.txt", "not asked for");

    const TbmRun sources = Tbm().Run({"sources"});
    ASSERT_EQ(0, sources.status) << sources.err;
    EXPECT_NE(std::string::npos, sources.out.find("fonts: 2 files")) << sources.out;
    EXPECT_NE(std::string::npos, sources.out.find("favorites: 1 file")) << sources.out;

    const std::string backup = m_dir / "personal.tbm";
    const TbmRun backedUp =
        Tbm().Run({"backup", "--source", "fonts", "--source", "favorites", "--output", backup});
    ASSERT_EQ(0, backedUp.status) << backedUp.err;
    WriteFileBytes(m_dir / "check.py", R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
names = set(z.namelist())
assert {'Fonts/a.ttf', 'Fonts/b.ttf', 'Fav/Links/x.url', 'Fonts.tdat', 'favorites.tdat'} <= names, names
assert not any('letter' in n or n == 'MyFiles.tdat' for n in names), names
assert z.read('Fonts/a.ttf') == b'AAA'
)");
    EXPECT_EQ(0, Shell("python3 " + Quote(m_dir / "check.py") + " " + Quote(backup)));

    // Only the fonts come back; a font in place is kept.
    unlink((fonts + "/a.ttf").c_str());
    WriteFileBytes(fonts + "/b.ttf", "mine");
    unlink(favorite.c_str());
    const TbmRun restored = Tbm().Run({"restore", backup, "--source", "fonts"});
    ASSERT_EQ(0, restored.status) << restored.err;
    EXPECT_EQ("AAA", ReadFileBytes(fonts + "/a.ttf"));
    EXPECT_EQ("mine", ReadFileBytes(fonts + "/b.ttf"));
    EXPECT_FALSE(Exists(favorite));

    const TbmRun missing = Tbm().Run({"restore", backup, "--source", "addressbook"});
    EXPECT_EQ(1, missing.status);
    EXPECT_NE(std::string::npos, missing.err.find("holds no addressbook")) << missing.err;
    const TbmRun unknown = Tbm().Run({"backup", "--source", "mail"});
    EXPECT_EQ(2, unknown.status);
}

TEST_F(TbmSourcesTest, OutlookIsASourceNameAndComesBackWhereOutlookWasRemoved)
{
    const std::string local = m_home + "/.local/share/Microsoft/Outlook";
    const std::string roaming = m_home + "/.config/Microsoft/Outlook";
    Put(local + "/Outlook.pst", "PST");
    Put(roaming + "/outlook.srs", "SRS");

    const TbmRun sources = Tbm().Run({"sources"});
    ASSERT_EQ(0, sources.status) << sources.err;
    EXPECT_NE(std::string::npos, sources.out.find("outlook: 2 files")) << sources.out;

    const std::string backup = m_dir / "outlook.tbm";
    const TbmRun backedUp = Tbm().Run({"backup", "--source", "outlook", "--output", backup});
    ASSERT_EQ(0, backedUp.status) << backedUp.err;
    ASSERT_EQ(0, Shell("rm -rf " + Quote(m_home + "/.local/share/Microsoft") + " " +
                       Quote(m_home + "/.config/Microsoft")));

    const TbmRun restored = Tbm().Run({"restore", backup, "--source", "outlook"});
    ASSERT_EQ(0, restored.status) << restored.err;
    EXPECT_EQ("PST", ReadFileBytes(local + "/Outlook.pst"));
    EXPECT_EQ("SRS", ReadFileBytes(roaming + "/outlook.srs"));
}
