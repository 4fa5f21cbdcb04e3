#include "gui/window_fonts.hpp"

namespace quarnex {

QFont DesignSansFont() {
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

}  // namespace quarnex
