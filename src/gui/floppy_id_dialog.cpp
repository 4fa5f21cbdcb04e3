#include "gui/floppy_id_dialog.hpp"

#include <QLabel>

#include "gui/fonts.hpp"
#include "gui/qt_text.hpp"

namespace quarnex {

FloppyIdDialog::FloppyIdDialog(DialogTexts& texts, TwipScale scale, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setWindowTitle(QStringLiteral("Floppy Image Drive ID"));
    setFont(DialogFont());
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(scale.Px(2415), scale.Px(1605));

    auto* title = new QLabel(QStringLiteral("Enter Drive ID"), this);
    PlaceTwips(*title, scale, 600, 120, 1230, 195);
    auto* hint = new QLabel(QStringLiteral("(Up To 11 Characters)"), this);
    PlaceTwips(*hint, scale, 360, 360, 1725, 195);
    WidenToText(*title);
    WidenToText(*hint);
    id_ = new QLineEdit(this);
    PlaceTwips(*id_, scale, 360, 720, 1695, 285);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    PlaceTwips(*cancel_, scale, 360, 1200, 735, 255);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    PlaceTwips(*ok_, scale, 1440, 1200, 615, 255);
    // Enter in the text boxes means OK (Cancel, made first, would take it).
    ok_->setDefault(true);
    setTabOrder(id_, ok_);  // OK before Cancel
    setTabOrder(ok_, cancel_);

    connect(id_, &QLineEdit::textEdited, this,
            [this](const QString& text) { texts_.floppyIdText = FromQt(text); });
    connect(cancel_, &QPushButton::clicked, this, &QWidget::hide);
    connect(ok_, &QPushButton::clicked, this, [this] {
        hide();
        emit okClicked();
    });
    Refresh();
}

void FloppyIdDialog::Open() {
    Refresh();
    show();
    raise();
    activateWindow();
    id_->setFocus();
}

void FloppyIdDialog::Refresh() {
    id_->setText(ToQt(texts_.floppyIdText));
}

}  // namespace quarnex
