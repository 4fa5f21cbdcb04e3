#pragma once
// The window's fixed colours against the desktop's palette: on a light
// palette they stay as designed; on a dark one the window takes the palette's
// own colour, and text on a fixed light background is drawn in a colour that
// reads on it.

#include <QColor>
#include <QPalette>

namespace quarnex {

// A palette whose window colour is dark.
bool IsDarkPalette(const QPalette& palette);
// The main window's background: the design grey, or the dark palette's window.
QColor MainWindowColour(const QPalette& palette);
// Contrast ratio of two colours, 1 (none) to 21 (black on white).
double Contrast(const QColor& a, const QColor& b);
// The palette's text where it reads on the background, else black or white.
QColor TextOn(const QColor& background, const QColor& paletteText);
// Fills the background role with a fixed colour and gives the text role a
// colour that reads on it.
void SetFixedBackground(QPalette& palette, QPalette::ColorRole background, QPalette::ColorRole text,
                        const QColor& colour);

}  // namespace quarnex
