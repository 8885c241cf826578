// One QApplication on the offscreen platform for every test of the program, made once
// the hermetic environment stands and removed before it is torn down.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

class CQtApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("TBM_SCREENSHOT_DIR", TBM_UI_SCREENSHOT_DIR, 0);
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[9] = "ui_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

const auto* const g_environment =
    ::testing::AddGlobalTestEnvironment(new CQtApplicationEnvironment);

} // namespace
