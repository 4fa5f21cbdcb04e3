#pragma once
// The auxiliary windows' design font, MS Sans Serif, or the system's
// sans-serif where it is missing.

#include <QFont>

namespace quarnex {

QFont DesignSansFont();

}  // namespace quarnex
