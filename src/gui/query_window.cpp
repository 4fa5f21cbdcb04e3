#include "gui/query_window.hpp"

#include <QGuiApplication>
#include <QScreen>

#include "gui/fonts.hpp"

namespace quarnex {

QueryWindow::QueryWindow(TwipScale scale, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Quarnex"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(scale.Px(4710), scale.Px(1695));

    text_ = new QPlainTextEdit(this);
    text_->setPlainText(
        QStringLiteral("Administrative Privileges Required\nFor Full Functionality\n"));
    text_->setReadOnly(true);
    // Two short lines: the box needs no scroll bar.
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_->setGeometry(scale.Px(120), scale.Px(120), scale.Px(4455), scale.Px(735));

    continue_ = new QPushButton(QStringLiteral("Continue"), this);
    continue_->setGeometry(scale.Px(480), scale.Px(1080), scale.Px(1215), scale.Px(375));
    exit_ = new QPushButton(QStringLiteral("Exit"), this);
    exit_->setGeometry(scale.Px(3000), scale.Px(1080), scale.Px(1215), scale.Px(375));
    continue_->setDefault(true);

    connect(continue_, &QPushButton::clicked, this, &QDialog::accept);
    // Exit and the frame's close both reject.
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
}

int QueryWindow::Ask() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
    return exec() == QDialog::Accepted ? 0 : -1;
}

}  // namespace quarnex
