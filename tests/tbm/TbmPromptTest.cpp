#include "TbmPrompt.h"
#include "TbmConsole.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace {

// A terminal with scripted answers, or no terminal at all.
class CScriptedConsole : public CTbmConsole
{
public:
    bool m_bInteractive = false;
    std::deque<std::string> m_answers;
    std::string m_written;
    std::vector<bool> m_echoes;

    bool IsInteractive() const override { return m_bInteractive; }
    void Write(const std::string& text) override { m_written += text; }
    bool ReadLine(std::string& line, bool echo) override
    {
        m_echoes.push_back(echo);
        if (m_answers.empty())
            return false;
        line = m_answers.front();
        m_answers.pop_front();
        return true;
    }
};

using OnError = CTbmOptions::OnError;

struct FileErrorCase
{
    const char* name;
    OnError onError;
    bool interactive;
    std::deque<std::string> answers;
    int expected;
    const char* said;
};

class TbmPromptFileErrorTest : public ::testing::TestWithParam<FileErrorCase>
{
};

TEST_P(TbmPromptFileErrorTest, AnswersSkipRetryCancel)
{
    const FileErrorCase& c = GetParam();
    CScriptedConsole console;
    console.m_bInteractive = c.interactive;
    console.m_answers = c.answers;
    CTbmPrompt prompt(c.onError, console);
    EXPECT_EQ(prompt.MessageBox("cannot read /x/y", MB_SKIPRETRYCANCEL | MB_ICONWARNING),
              c.expected);
    EXPECT_NE(console.m_written.find("/x/y"), std::string::npos);
    EXPECT_NE(console.m_written.find(c.said), std::string::npos) << console.m_written;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TbmPromptFileErrorTest,
    ::testing::Values(
        FileErrorCase{"SkipOption", OnError::Skip, true, {}, IDSKIPFILE, "skipped"},
        FileErrorCase{"CancelOption", OnError::Cancel, true, {}, IDCANCEL, "cancelling"},
        FileErrorCase{"AskWithoutTerminal", OnError::Ask, false, {}, IDSKIPFILE, "no terminal"},
        FileErrorCase{"AskSkip", OnError::Ask, true, {"s"}, IDSKIPFILE, "[s]kip"},
        FileErrorCase{"AskRetry", OnError::Ask, true, {"R"}, IDRETRYFILE, "[r]etry"},
        FileErrorCase{"AskAgainUntilUnderstood",
                      OnError::Ask,
                      true,
                      {"", "what", "cancel"},
                      IDCANCEL,
                      "[c]ancel"},
        FileErrorCase{"InputEnds", OnError::Ask, true, {}, IDCANCEL, "[s]kip"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TbmPromptTest, QuestionsWithoutTerminalGetCancel)
{
    CScriptedConsole console;
    CTbmPrompt prompt(OnError::Skip, console);
    EXPECT_EQ(prompt.MessageBox("insert disk 2", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(prompt.MessageBox("replace it?", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(prompt.MessageBox("really?", MB_YESNO), IDNO);
    EXPECT_EQ(prompt.MessageBox("again?", MB_RETRYCANCEL), IDCANCEL);
    EXPECT_EQ(prompt.MessageBox("it broke", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_NE(console.m_written.find("it broke"), std::string::npos);
    std::string answer;
    EXPECT_FALSE(prompt.AskPassword("the password", answer));
    EXPECT_FALSE(prompt.AskFolder("the folder", answer));
    EXPECT_TRUE(console.m_echoes.empty()); // nothing was read
}

TEST(TbmPromptTest, TerminalAnswersQuestionsAndHidesPasswords)
{
    CScriptedConsole console;
    console.m_bInteractive = true;
    console.m_answers = {"ok", "n", "y", "secret", "/media/disk"};
    CTbmPrompt prompt(OnError::Ask, console);
    EXPECT_EQ(prompt.MessageBox("insert disk 2", MB_OKCANCEL), IDOK);
    EXPECT_EQ(prompt.MessageBox("replace it?", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(prompt.MessageBox("really?", MB_YESNO), IDYES);
    std::string password;
    ASSERT_TRUE(prompt.AskPassword("the password", password));
    EXPECT_EQ(password, "secret");
    std::string folder;
    ASSERT_TRUE(prompt.AskFolder("where", folder));
    EXPECT_EQ(folder, "/media/disk");
    EXPECT_EQ(console.m_echoes, (std::vector<bool>{true, true, true, false, true}));
    EXPECT_EQ(console.m_written.find("secret"), std::string::npos);
}

} // namespace
