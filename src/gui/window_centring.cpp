#include "gui/window_centring.hpp"

#include <cmath>

#include "gui/window_placement.hpp"

namespace quarnex {

int CentredOffset(int screenTwips, int windowTwips) {
    return (screenTwips - windowTwips) / 2;
}

void CentreOnScreen(QWidget& window) {
    const ScreenTwips screen = ScreenSizeTwips(&window);
    // The window with its frame is centred: move() places the frame.
    const QSize outer = window.frameGeometry().size();
    const double perPixel = TwipsPerPixel(&window);
    const int top =
        CentredOffset(screen.height, static_cast<int>(std::lround(outer.height() * perPixel)));
    const int left =
        CentredOffset(screen.width, static_cast<int>(std::lround(outer.width() * perPixel)));
    window.move(TwipsToPixels(&window, left), TwipsToPixels(&window, top));
}

}  // namespace quarnex
