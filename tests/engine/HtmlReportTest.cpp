// The HTML report: templates, placeholders, escaping and the line forms.
#include "HtmlReport.h"
#include "EngineTest.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace enginetest;

namespace {

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

class HtmlReportTest : public EngineTest
{
protected:
    CHtmlReport m_report;
};

TEST_F(HtmlReportTest, LinesGoBeforeTheMarkerInTheOrderWritten)
{
    m_report.LoadTemplate(CHtmlReport::kBackupTemplate);
    const std::string before = m_report.GetText();
    ASSERT_NE(std::string::npos, before.find(CHtmlReport::kBackupSt));
    EXPECT_EQ("\r\n", before.substr(before.size() - 2));
    m_report.SetPlaceholder(CHtmlReport::kBackupSt);
    m_report.WriteLine("first");
    m_report.WriteLine(std::string("second"));
    m_report.WriteLine("");
    const std::string& text = m_report.GetText();
    EXPECT_NE(std::string::npos, text.find("first<br>second<br><br><!--$BackupSt$-->"));
    EXPECT_EQ(before.size() + std::string("first<br>second<br><br>").size(), text.size());
}

TEST_F(HtmlReportTest, OnlyTheFirstOfTwoMarkersReceivesLines)
{
    m_report.SetText("a <!--$BackupSt$--> b <!--$BackupSt$-->");
    m_report.SetPlaceholder(CHtmlReport::kBackupSt);
    m_report.WriteLine("1");
    m_report.WriteLine("2");
    EXPECT_EQ("a 1<br>2<br><!--$BackupSt$--> b <!--$BackupSt$-->", m_report.GetText());
}

TEST_F(HtmlReportTest, LinesWithoutAPlaceToGoAreDropped)
{
    m_report.SetText("x <!--$BackupSt$-->");
    m_report.WriteLine("no placeholder yet");
    m_report.SetPlaceholder(CHtmlReport::kBackupVer);
    m_report.WriteLine("marker not in the text");
    m_report.SetPlaceholder(CHtmlReport::kBackupSt);
    m_report.WriteLine(static_cast<const char*>(nullptr));
    EXPECT_EQ("x <!--$BackupSt$-->", m_report.GetText());
}

TEST_F(HtmlReportTest, ReplacedTextIsSearchedAfresh)
{
    m_report.SetText("<!--$BackupSt$-->");
    m_report.SetPlaceholder(CHtmlReport::kBackupSt);
    m_report.WriteLine("a");
    m_report.SetText("0123456<!--$BackupSt$-->...<!--$BackupSt$-->");
    m_report.WriteLine("b");
    EXPECT_EQ("0123456b<br><!--$BackupSt$-->...<!--$BackupSt$-->", m_report.GetText());
}

TEST_F(HtmlReportTest, LinesAreEscapedButTheTemplateIsNot)
{
    m_report.LoadTemplate(CHtmlReport::kBackupTemplate);
    const std::size_t tags = Count(m_report.GetText(), "<");
    m_report.SetPlaceholder(CHtmlReport::kBackupSt);
    m_report.WriteLine("File : /home/u/<script>alert('x')</script> & \"q\".txt");
    m_report.WriteLine("<!--$BackupSt$-->");
    const std::string& text = m_report.GetText();
    EXPECT_NE(std::string::npos,
              text.find("File : /home/u/&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; "
                        "&quot;q&quot;.txt<br>&lt;!--$BackupSt$--&gt;<br><!--$BackupSt$-->"));
    EXPECT_EQ(std::string::npos, text.find("<script"));
    EXPECT_EQ(tags + 2, Count(text, "<")); // only the two "<br>" are new markup
    EXPECT_EQ(1u, Count(text, CHtmlReport::kBackupSt));
}

TEST_F(HtmlReportTest, MissingTemplateGivesALineBreakAndDropsEveryLine)
{
    m_report.LoadTemplate("no_such_page.html");
    m_report.SetPlaceholder(CHtmlReport::kBackupSt);
    m_report.WriteLine("lost");
    EXPECT_EQ("\r\n", m_report.GetText());
}

TEST_F(HtmlReportTest, FormattedLineIsCutAt1999BytesWithoutSplittingACharacter)
{
    m_report.SetText("<!--$BackupSt$-->");
    m_report.SetPlaceholder(CHtmlReport::kBackupSt);
    const std::string longText(3000, 'a');
    m_report.WriteFormatted("%s", longText.c_str());
    EXPECT_EQ(std::string(1999, 'a') + "<br><!--$BackupSt$-->", m_report.GetText());

    m_report.SetText("<!--$BackupSt$-->");
    const std::string split = std::string(1998, 'b') + "\xC3\xA9" + "tail"; // é spans 1998-1999
    m_report.WriteFormatted("%s", split.c_str());
    EXPECT_EQ(std::string(1998, 'b') + "<br><!--$BackupSt$-->", m_report.GetText());

    m_report.SetText("<!--$BackupSt$-->");
    m_report.WriteFormatted("Selected Items : %d, %s", 12, "x");
    EXPECT_EQ("Selected Items : 12, x<br><!--$BackupSt$-->", m_report.GetText());
}

TEST_F(HtmlReportTest, TextResourceAndExceptionBecomeOneLineEach)
{
    m_report.SetText("<!--$RestoreSt$-->");
    m_report.SetPlaceholder(CHtmlReport::kRestoreSt);
    m_report.WriteTextResource(150);
    m_report.WriteException(std::runtime_error(std::string(600, 'e')));
    EXPECT_EQ(CHtmlReport::EscapeHtml(LoadResString(150)) + "<br>" + std::string(511, 'e') +
                  "<br><!--$RestoreSt$-->",
              m_report.GetText());
}

TEST(TextSinkTest, CollectsLinesWithCrLf)
{
    CTextSink sink;
    sink.WriteLine("one");
    sink.WriteLine(static_cast<const char*>(nullptr));
    sink.WriteException(std::logic_error("Disk full <&>"));
    sink.WriteFormatted("%d%%", 50);
    EXPECT_EQ("one\r\n\r\nDisk full <&>\r\n50%\r\n", sink.GetText());
    EXPECT_EQ(std::string(61, '-'), sink.m_strSeparator);
    EXPECT_EQ("-------------------------Error------------------------------",
              sink.m_strErrorHeader);
}

TEST(TextSinkTest, CutNeverEndsInsideACharacter)
{
    EXPECT_EQ("ab", CTextSink::CutText("ab\xE2\x82\xAC", 4));
    EXPECT_EQ("ab\xE2\x82\xAC", CTextSink::CutText("ab\xE2\x82\xAC", 5));
    EXPECT_EQ("abc", CTextSink::CutText("abcdef", 3));
    EXPECT_EQ("ab", CTextSink::DropPartialCharacter("ab\xF0\x9F\x98"));
    EXPECT_EQ("ab\xF0\x9F\x98\x80", CTextSink::DropPartialCharacter("ab\xF0\x9F\x98\x80"));
    EXPECT_EQ("\x80\x80", CTextSink::DropPartialCharacter("\x80\x80"));
}

TEST(HtmlEscapeTest, LineEndsBecomeExactlyOneCrLf)
{
    EXPECT_EQ("a\r\nb\r\nc\r\n\r\n", CHtmlReport::WithCrLf("a\nb\r\nc\r\n\n"));
    EXPECT_EQ("lone\rcr", CHtmlReport::WithCrLf("lone\rcr"));
    EXPECT_EQ("\r\r\n", CHtmlReport::WithCrLf("\r\r\n"));
}

} // namespace
