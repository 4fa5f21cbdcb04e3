// Runs every GUI test class in one QApplication.

#include <QApplication>
#include <QTest>

#include "gui_world.hpp"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    using namespace quarnex::testing;
    int failures = 0;
    for (auto make : {MakeStatesTests, MakeProgramTests}) {
        failures += QTest::qExec(make().get(), argc, argv);  // a fresh object per class
    }
    return failures == 0 ? 0 : 1;
}
