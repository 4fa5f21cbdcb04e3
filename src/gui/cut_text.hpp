#pragma once
// Texts cut short by the room they are shown in (a shortened path, a caption
// wider than its window) can still be read: the widget's tooltip then holds
// them in full.

#include <QLabel>
#include <QString>
#include <QWidget>

namespace quarnex {

// Whether text in the widget's font needs more than room pixels; the widest
// line of a text of several lines counts.
bool NeedsMoreThan(const QWidget& widget, const QString& text, int room);

// The tooltip is the full text when what is shown is cut, none otherwise.
void TipWhenCut(QWidget& widget, const QString& full, bool cut);

// A one-line label's text; one wider than the label loses its middle to
// "..." and shows in full as the tooltip.
void SetTextShowingAll(QLabel& label, const QString& text);

}  // namespace quarnex
