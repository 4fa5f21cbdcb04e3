#pragma once
// Twips (1/1440 inch) against pixels at the screen's logical resolution:
// 15 twips per pixel at 96 dpi.

#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace quarnex {

class TwipScale {
  public:
    explicit TwipScale(double dotsPerInch = 96.0) : twipsPerPixel_(1440.0 / dotsPerInch) {}

    int Px(double twips) const { return static_cast<int>(std::lround(twips / twipsPerPixel_)); }
    int Twips(double pixels) const {
        return static_cast<int>(std::lround(pixels * twipsPerPixel_));
    }
    double TwipsPerPixel() const { return twipsPerPixel_; }

    // The primary screen's logical resolution.
    static TwipScale ForScreen();

  private:
    double twipsPerPixel_;
};

// Puts a widget at a design placement given in twips.
inline void PlaceTwips(QWidget& widget, const TwipScale& scale, int left, int top, int width,
                       int height) {
    widget.setGeometry(scale.Px(left), scale.Px(top), scale.Px(width), scale.Px(height));
}

// A design label whose text needs more room than the design gave it (the
// fallback fonts run wider than the designed ones) grows around its centre,
// within its parent, so that no caption is cut off.
inline void WidenToText(QLabel& label) {
    const int need = label.sizeHint().width();
    if (need <= label.width()) {
        return;
    }
    const QWidget* parent = label.parentWidget();
    const int room = parent != nullptr ? parent->width() : need;
    const int width = std::min(need, room);
    const int left =
        std::clamp(label.x() - (width - label.width()) / 2, 0, std::max(0, room - width));
    label.setGeometry(left, label.y(), width, label.height());
}

}  // namespace quarnex
