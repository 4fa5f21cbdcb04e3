#include "gui/window_centring.hpp"

#include "gui/window_placement.hpp"

namespace quarnex {

int CentredOffset(int screenTwips, int windowTwips) {
    return (screenTwips - windowTwips) / 2;
}

void CentreOnScreen(QWidget& window) {
    WidgetPlacement placement(window);
    const ScreenTwips screen = ScreenSizeTwips(&window);
    TwipRect rect = placement.Geometry();
    rect.top = CentredOffset(screen.height, rect.height);
    rect.left = CentredOffset(screen.width, rect.width);
    window.move(TwipsToPixels(&window, rect.left), TwipsToPixels(&window, rect.top));
}

}  // namespace quarnex
