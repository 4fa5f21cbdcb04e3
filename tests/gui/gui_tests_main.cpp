// Runs every GUI test class in one QApplication.

#include <QApplication>
#include <QTest>

#include "gui_tests.hpp"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    using namespace quarnex::testing;
    int failures = 0;
    for (auto make :
         {MakeStatesTests, MakeEditingTests, MakeLayoutTests, MakeStartupTests, MakeProgramTests}) {
        const std::unique_ptr<QObject> tests = make();
        failures += QTest::qExec(tests.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
