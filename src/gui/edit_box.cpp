#include "gui/edit_box.hpp"

#include <QKeyEvent>

#include "gui/readable_colours.hpp"

namespace quarnex {

EditBox::EditBox(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFrameShape(QFrame::NoFrame);
    document()->setDocumentMargin(0);
    QPalette colours = palette();
    SetFixedBackground(colours, QPalette::Base, QPalette::Text, QColor(255, 255, 192));
    setPalette(colours);
}

void EditBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit escapePressed();
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier) != 0) {
        emit keepPressed();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace quarnex
