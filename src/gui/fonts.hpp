#pragma once
// The fonts the windows use: Courier New where the system has it, else a
// metric-compatible monospace (Liberation Mono, then the system's monospace);
// MS Sans Serif where present, else the system's sans-serif.

#include <QFont>

namespace quarnex {

// Courier New, bold, 9.75 pt: grid, edit box and measuring.
QFont GridFont();
// Courier New, bold italic, 14.25 pt: the frame caption.
QFont FrameFont();
// MS Sans Serif, bold, 8.25 pt: the status strip.
QFont LabelFont();
// MS Sans Serif, 8.25 pt: the dialogs.
QFont DialogFont();

}  // namespace quarnex
