#pragma once
// The program's icon, drawn for Quarnex and built into the windows library.
// Call QApplication::setWindowIcon(ProgramIcon()) once so every window shows it.

#include <QIcon>
#include <QPixmap>

namespace quarnex {

QIcon ProgramIcon();
// The about window's picture: 32 x 32 pixels.
QPixmap ProgramIconPixmap32();

}  // namespace quarnex
