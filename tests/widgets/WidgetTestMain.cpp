// Runs every registered Qt Test class on the offscreen platform, with HOME, the XDG
// folders and TMPDIR pointing into a private folder like every other test program.
#include "WidgetTests.h"

#include "TestEnvironment.h"

#include <QApplication>
#include <QTest>

#include <cstdlib>

namespace widgettest {

std::vector<Factory>& Factories()
{
    static std::vector<Factory> factories;
    return factories;
}

} // namespace widgettest

int main(int argc, char** argv)
{
    tbmtest::SetUpHermeticEnvironment();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int failures = 0;
    {
        QApplication app(argc, argv);
        for (const auto& factory : widgettest::Factories()) {
            const std::unique_ptr<QObject> test = factory();
            failures += QTest::qExec(test.get(), argc, argv);
        }
    }
    tbmtest::TearDownHermeticEnvironment(failures != 0);
    return failures == 0 ? 0 : 1;
}
