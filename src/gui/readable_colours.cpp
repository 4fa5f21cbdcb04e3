#include "gui/readable_colours.hpp"

#include <algorithm>
#include <cmath>

namespace quarnex {

namespace {

// Below this, text does not read comfortably (the usual 4.5:1 for body text).
constexpr double kReadableContrast = 4.5;

double Luminance(const QColor& colour) {
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

}  // namespace

bool IsDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor MainWindowColour(const QPalette& palette) {
    return IsDarkPalette(palette) ? palette.color(QPalette::Window) : QColor(212, 208, 200);
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor TextOn(const QColor& background, const QColor& paletteText) {
    if (Contrast(background, paletteText) >= kReadableContrast) {
        return paletteText;
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return Contrast(background, black) >= Contrast(background, white) ? black : white;
}

void SetFixedBackground(QPalette& palette, QPalette::ColorRole background, QPalette::ColorRole text,
                        const QColor& colour) {
    palette.setColor(background, colour);
    // Only a colour that does not read is replaced, so a light palette keeps
    // its own text colours in every state.
    const QColor readable = TextOn(colour, palette.color(text));
    if (readable != palette.color(text)) {
        palette.setColor(text, readable);
    }
}

}  // namespace quarnex
