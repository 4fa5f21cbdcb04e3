#pragma once
// How the front ends name what an operation is doing: the action label of
// the main window, the terminal's progress line and its stop notes.

#include <string>

#include "ports/progress.hpp"

namespace quarnex {

std::string ActivityText(const Activity& what);

}  // namespace quarnex
