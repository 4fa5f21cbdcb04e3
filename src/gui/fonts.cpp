#include "gui/fonts.hpp"

#include <QFontDatabase>
#include <QStringList>

#include "gui/window_fonts.hpp"

namespace quarnex {

namespace {

QFont FirstPresent(const QStringList& families, QFontDatabase::SystemFont fallback,
                   double pointSize, bool bold, bool italic) {
    QFont font = QFontDatabase::systemFont(fallback);
    const QStringList present = QFontDatabase::families();
    for (const QString& family : families) {
        if (present.contains(family, Qt::CaseInsensitive)) {
            font = QFont(family);
            break;
        }
    }
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont Monospace(double pointSize, bool italic) {
    return FirstPresent({"Courier New", "Liberation Mono"}, QFontDatabase::FixedFont, pointSize,
                        true, italic);
}

QFont SansSerif(bool bold) {
    QFont font = DesignSansFont();
    font.setBold(bold);
    return font;
}

}  // namespace

QFont GridFont() {
    return Monospace(9.75, false);
}

QFont FrameFont() {
    return Monospace(14.25, true);
}

QFont LabelFont() {
    return SansSerif(true);
}

QFont DialogFont() {
    return SansSerif(false);
}

}  // namespace quarnex
