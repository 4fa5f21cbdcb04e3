#include "gui/cut_text.hpp"

#include <QFontMetrics>

namespace quarnex {

bool NeedsMoreThan(const QWidget& widget, const QString& text, int room) {
    const QFontMetrics metrics(widget.font());
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (metrics.horizontalAdvance(line) > room) {
            return true;
        }
    }
    return false;
}

void TipWhenCut(QWidget& widget, const QString& full, bool cut) {
    widget.setToolTip(cut ? full : QString());
}

void SetTextShowingAll(QLabel& label, const QString& text) {
    const int room = label.contentsRect().width();
    const bool cut = NeedsMoreThan(label, text, room);
    // Both ends of a path say the most: the middle gives way.
    label.setText(cut ? QFontMetrics(label.font()).elidedText(text, Qt::ElideMiddle, room) : text);
    TipWhenCut(label, text, cut);
}

}  // namespace quarnex
