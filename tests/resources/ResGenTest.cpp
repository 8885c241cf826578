#include "ResGenProcess.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using restest::RunResGen;

namespace {

struct BadTextCase
{
    const char* name;
    std::string source;
    const char* where;  // "file:line" part expected in the message
    const char* reason; // part of the message that says what is wrong
};

class ResGenBadTextTest : public tbmtest::TempDirTest,
                          public ::testing::WithParamInterface<BadTextCase>
{
};

// A malformed source stops the build with a message that names the file and
// line, and leaves no output behind for the build to pick up.
TEST_P(ResGenBadTextTest, IsRejectedWithFileAndLine)
{
    const std::string source = m_dir / "bad.txt";
    const std::string output = m_dir / "out.cpp";
    tbmtest::WriteFileBytes(source, GetParam().source);
    const auto run = RunResGen("text", source, output, m_dir / "errors.txt");
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.errors.find(source + GetParam().where)) << run.errors;
    EXPECT_NE(std::string::npos, run.errors.find(GetParam().reason)) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_FALSE(std::filesystem::exists(output + ".part"));
}

const BadTextCase kBadTexts[] = {
    {"Duplicate", "1\tone\n2\ttwo\n# three\n1\tagain\n", ":4:", "duplicate text number 1"},
    {"BadEscape", "5\tone\\qtwo\n", ":1:", "bad escape \\q"},
    {"MissingTab", "# comment\n\n7 no tab here\n", ":3:", "missing tab"},
    {"BlanksInsteadOfTab", "7    text\n", ":1:", "missing tab"},
    {"LettersInNumber", "1a\ttext\n", ":1:", "bad text number"},
    {"SignedNumber", "-3\ttext\n", ":1:", "bad text number"},
    {"NumberZero", "0\ttext\n", ":1:", "outside 1..65535"},
    {"NumberTooLarge", "65536\ttext\n", ":1:", "outside 1..65535"},
    {"HugeNumber", "99999999999999999999\ttext\n", ":1:", "bad text number"},
    {"EmptyText", "3\t\n", ":1:", "empty text"},
    {"BackslashAtEnd", "3\tends with \\\n", ":1:", "backslash at the end"},
    {"RawTab", "3\ttwo\tcolumns\n", ":1:", "tab inside the text"},
    {"ControlCharacter", std::string("3\tbell\x07here\n"), ":1:", "control character"},
    {"ZeroByte", std::string("3\tzero\0here\n", 13), ":1:", "control character"},
    {"BadUtf8", "3\tcaf\xe9\n", ":1:", "not valid UTF-8"},
    {"NoTexts", "# only a comment\n\n", ": ", "no texts defined"}};

INSTANTIATE_TEST_SUITE_P(Sources, ResGenBadTextTest, ::testing::ValuesIn(kBadTexts),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadPagesCase
{
    const char* name;
    const char* listing;
    const char* pageName; // a page file written beside the listing, if any
    std::string pageBytes;
    const char* reason;
};

class ResGenBadPagesTest : public tbmtest::TempDirTest,
                           public ::testing::WithParamInterface<BadPagesCase>
{
};

TEST_P(ResGenBadPagesTest, IsRejected)
{
    const BadPagesCase& c = GetParam();
    tbmtest::WriteFileBytes(m_dir / "PageRes.txt", c.listing);
    tbmtest::WriteFileBytes(m_dir / "good.html", "<html>good</html>");
    if (*c.pageName)
        tbmtest::WriteFileBytes(m_dir / c.pageName, c.pageBytes);
    const std::string output = m_dir / "out.cpp";
    const auto run = RunResGen("pages", m_dir / "PageRes.txt", output, m_dir / "errors.txt");
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.errors.find(c.reason)) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(output));
}

const BadPagesCase kBadPages[] = {
    {"NamesDifferOnlyInCase", "good.html\nGOOD.html\n", "GOOD.html", "<html>x</html>",
     "PageRes.txt:2: duplicate page name"},
    {"MissingPage", "good.html\nmissing.html\n", "", "", "missing.html: cannot open"},
    {"EmptyPage", "empty.html\n", "empty.html", "", "empty.html: the page is empty"},
    {"ZeroByteInPage", "zero.html\n", "zero.html", std::string("<html>\0</html>", 14),
     "zero byte at offset 6"},
    {"BadUtf8Page", "latin1.html\n", "latin1.html", "<html>caf\xe9</html>", "not valid UTF-8"},
    {"PathOutsideTheFolder", "../good.html\n", "", "", "PageRes.txt:1: bad page name"},
    {"NameWithBlank", "my page.html\n", "", "", "bad page name"},
    {"NoPages", "# nothing\n", "", "", "no pages listed"}};

INSTANTIATE_TEST_SUITE_P(Listings, ResGenBadPagesTest, ::testing::ValuesIn(kBadPages),
                         [](const auto& info) { return std::string(info.param.name); });

class ResGenTest : public tbmtest::TempDirTest
{
};

TEST_F(ResGenTest, WritesTheTableForGoodSources)
{
    tbmtest::WriteFileBytes(m_dir / "TextRes.txt", "# texts\r\n101\tAbout\r\n\r\n7\ta\\nb\r\n");
    const auto texts = RunResGen("text", m_dir / "TextRes.txt", m_dir / "texts.cpp", m_dir / "e1");
    EXPECT_EQ(0, texts.exitCode) << texts.errors;
    EXPECT_NE(std::string::npos,
              tbmtest::ReadFileBytes(m_dir / "texts.cpp").find("tbm_resource_table"));

    tbmtest::WriteFileBytes(m_dir / "PageRes.txt", "a.html\n");
    tbmtest::WriteFileBytes(m_dir / "a.html", "<html></html>");
    const auto pages = RunResGen("pages", m_dir / "PageRes.txt", m_dir / "pages.cpp", m_dir / "e2");
    EXPECT_EQ(0, pages.exitCode) << pages.errors;
    EXPECT_NE(std::string::npos, tbmtest::ReadFileBytes(m_dir / "pages.cpp").find("\"a.html\""));
}

TEST_F(ResGenTest, FailedRunKeepsTheOutputItReplacesUntouched)
{
    tbmtest::WriteFileBytes(m_dir / "out.cpp", "previous");
    tbmtest::WriteFileBytes(m_dir / "bad.txt", "1\tone\n1\tone again\n");
    const auto run = RunResGen("text", m_dir / "bad.txt", m_dir / "out.cpp", m_dir / "errors");
    EXPECT_EQ(1, run.exitCode);
    EXPECT_EQ("previous", tbmtest::ReadFileBytes(m_dir / "out.cpp"));
}

TEST_F(ResGenTest, MissingSourceAndBadArgumentsAreRefused)
{
    const auto missing = RunResGen("text", m_dir / "none.txt", m_dir / "out.cpp", m_dir / "e1");
    EXPECT_EQ(1, missing.exitCode);
    EXPECT_NE(std::string::npos, missing.errors.find("none.txt: cannot open")) << missing.errors;
    const auto badMode = RunResGen("images", m_dir / "none.txt", m_dir / "out.cpp", m_dir / "e2");
    EXPECT_EQ(2, badMode.exitCode);
    EXPECT_NE(std::string::npos, badMode.errors.find("usage")) << badMode.errors;
}

} // namespace
