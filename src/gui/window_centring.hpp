#pragma once
// Centring on the screen as the auxiliary windows do it: Top := (screen height
// - window height) \ 2, Left likewise, whole twips before the division.

#include <QWidget>

namespace quarnex {

// The centring rule on whole twips: (screen - window) \ 2, the division
// truncating toward zero (a window larger than the screen gets a small
// negative offset).
int CentredOffset(int screenTwips, int windowTwips);

// Moves the window's outer frame to the centre of its screen.
void CentreOnScreen(QWidget& window);

}  // namespace quarnex
