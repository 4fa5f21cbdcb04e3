#pragma once
// The GUI test classes, each made fresh for its run.

#include <QObject>
#include <memory>

namespace quarnex::testing {

std::unique_ptr<QObject> MakeStatesTests();
std::unique_ptr<QObject> MakeEditingTests();
std::unique_ptr<QObject> MakeLayoutTests();
std::unique_ptr<QObject> MakeProgramTests();
std::unique_ptr<QObject> MakeStartupTests();

}  // namespace quarnex::testing
