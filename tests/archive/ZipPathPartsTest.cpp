#include "ZipPathParts.h"

#include <gtest/gtest.h>

namespace {

struct PathCase
{
    const char* path;
    const char* prefix;
    const char* drive;
    const char* folder;
    const char* title;
    const char* extension;
    const char* full; // rebuilt with '\' between parts
};

class ZipPathPartsSplitTest : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(ZipPathPartsSplitTest, SplitsAndRebuilds)
{
    const PathCase& c = GetParam();
    CZipPathParts parts(c.path);
    EXPECT_EQ(c.prefix, parts.m_prefix);
    EXPECT_EQ(c.drive, parts.m_drive);
    EXPECT_EQ(c.folder, parts.m_folder);
    EXPECT_EQ(c.title, parts.m_title);
    EXPECT_EQ(c.extension, parts.m_extension);
    parts.m_separator = '\\';
    EXPECT_EQ(c.full, parts.GetFullPath());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ZipPathPartsSplitTest,
    ::testing::Values(
        PathCase{"C:\\a\\b\\name.txt", "", "C:", "a\\b", "name", "txt", "C:\\a\\b\\name.txt"},
        // The long UNC prefix keeps all 8 characters, in whatever letter case.
        PathCase{"\\\\?\\UNC\\srv\\share\\x.tbm", "\\\\?\\UNC\\", "", "srv\\share", "x", "tbm",
                 "\\\\?\\UNC\\srv\\share\\x.tbm"},
        PathCase{"\\\\?\\unc\\srv\\x", "\\\\?\\unc\\", "", "srv", "x", "", "\\\\?\\unc\\srv\\x"},
        // A plain UNC path keeps its two backslashes.
        PathCase{"\\\\server\\share\\d\\f.doc", "\\\\", "", "server\\share\\d", "f", "doc",
                 "\\\\server\\share\\d\\f.doc"},
        // The long prefix followed by a drive keeps 4 characters.
        PathCase{"\\\\?\\C:\\dir\\f.txt", "\\\\?\\", "C:", "dir", "f", "txt",
                 "\\\\?\\C:\\dir\\f.txt"},
        // Three or five matching characters are no prefix.
        PathCase{"\\\\?x\\f", "", "\\", "?x", "f", "", "\\?x\\f"},
        PathCase{"\\\\?\\uX\\f", "", "\\", "?\\uX", "f", "", "\\?\\uX\\f"},
        PathCase{"/home/u/backup.tar.tbm", "", "/", "home/u", "backup.tar", "tbm",
                 "/home/u\\backup.tar.tbm"},
        PathCase{"/x.tbm", "", "/", "", "x", "tbm", "/x.tbm"},
        PathCase{"/", "", "/", "", "", "", "/"},
        PathCase{"name.txt", "", "", "", "name", "txt", "name.txt"},
        PathCase{"dir/sub/", "", "", "dir/sub", "", "", "dir/sub"},
        PathCase{"C:\\", "", "C:", "", "", "", "C:"},
        PathCase{".profile", "", "", "", "", "profile", ".profile"},
        PathCase{"", "", "", "", "", "", ""}));

TEST(ZipPathPartsTest, RebuiltForms)
{
    CZipPathParts parts("C:\\data\\mail\\inbox.dbx");
    EXPECT_EQ("inbox.dbx", parts.GetFileName());
    EXPECT_EQ("C:/data\\mail", parts.GetFolderPath());
    EXPECT_EQ("data\\mail/inbox.dbx", parts.GetPathWithoutDrive());

    CZipPathParts posix("/home/u/Documents/a.txt");
    EXPECT_EQ("/home/u/Documents", posix.GetFolderPath());
    EXPECT_EQ("home/u/Documents/a.txt", posix.GetPathWithoutDrive());
    posix.m_extension = "001";
    EXPECT_EQ("/home/u/Documents/a.001", posix.GetFullPath());
}

TEST(ZipPathPartsTest, NativeSyntaxTakesBackslashesAndColonsAsNameCharacters)
{
    CZipPathParts parts("/srv/C:odd\\dir/f\\g.tbm", CZipPathParts::NativeSyntax);
    EXPECT_EQ("/", parts.m_drive);
    EXPECT_EQ("srv/C:odd\\dir", parts.m_folder);
    EXPECT_EQ("f\\g", parts.m_title);
    EXPECT_EQ("/srv/C:odd\\dir/f\\g.tbm", parts.GetFullPath());

    CZipPathParts unc("\\\\server\\x", CZipPathParts::NativeSyntax);
    EXPECT_EQ("", unc.m_prefix);
    EXPECT_EQ("\\\\server\\x", unc.GetFullPath());
}

} // namespace
