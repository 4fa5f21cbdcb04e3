#include "gui/usb_id_dialog.hpp"

#include <QGroupBox>
#include <QPlainTextEdit>

#include "gui/cut_text.hpp"
#include "gui/fonts.hpp"
#include "gui/qt_text.hpp"

namespace quarnex {

namespace {

QLabel* CentredLabel(const char* text, QWidget* parent, const TwipScale& scale, int left, int top,
                     int width, int height) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    PlaceTwips(*label, scale, left, top, width, height);
    WidenToText(*label);
    return label;
}

}  // namespace

UsbIdDialog::UsbIdDialog(DialogTexts& texts, TwipScale scale, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setWindowTitle(QStringLiteral("Format USB (1000 Floppy Images)"));
    setFont(DialogFont());
    setModal(false);
    setFixedSize(scale.Px(4680), scale.Px(4680));

    auto* frame1 = new QGroupBox(this);
    PlaceTwips(*frame1, scale, 0, 120, 4695, 1215);
    prompt_ = CentredLabel("Enter ID For USB Device X:", frame1, scale, 1110, 120, 2415, 195);
    // The prompt names the store; let it grow both ways from its centre.
    PlaceTwips(*prompt_, scale, 120, 120, 4455, 195);
    CentredLabel("(Upto 11 Characters)", frame1, scale, 360, 360, 3885, 195);
    usbId_ = new QLineEdit(frame1);
    PlaceTwips(*usbId_, scale, 1440, 720, 1695, 285);

    auto* frame2 = new QGroupBox(this);
    PlaceTwips(*frame2, scale, 0, 1440, 4695, 3135);
    CentredLabel("Enter Base ID For Floppy Images", frame2, scale, 930, 120, 2835, 195);
    CentredLabel("(Upto 11 Characters)", frame2, scale, 480, 360, 3765, 195);
    CentredLabel("(Truncated To 8 Characters With Disk Number)", frame2, scale, 480, 600, 3735,
                 195);
    baseId_ = new QLineEdit(frame2);
    PlaceTwips(*baseId_, scale, 1440, 960, 1695, 285);
    append_ = new QCheckBox(QStringLiteral("Append Disk Number (1-999) To Base ID"), frame2);
    PlaceTwips(*append_, scale, 360, 1440, 3855, 255);
    auto* warning = new QPlainTextEdit(frame2);
    warning->setPlainText(QStringLiteral("-- WARNING --\nAll Data\nWill Be\nDestroyed\n"));
    warning->setReadOnly(true);
    warning->setFocusPolicy(Qt::NoFocus);
    warning->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PlaceTwips(*warning, scale, 1920, 1980, 1335, 855);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), frame2);
    PlaceTwips(*cancel_, scale, 600, 2280, 735, 255);
    ok_ = new QPushButton(QStringLiteral("OK"), frame2);
    PlaceTwips(*ok_, scale, 3600, 2280, 615, 255);
    // Enter in the text boxes means OK (Cancel, made first, would take it).
    ok_->setDefault(true);
    // Down the boxes, then OK before Cancel.
    setTabOrder(usbId_, baseId_);
    setTabOrder(baseId_, append_);
    setTabOrder(append_, ok_);
    setTabOrder(ok_, cancel_);

    connect(usbId_, &QLineEdit::textEdited, this,
            [this](const QString& text) { texts_.usbIdText = FromQt(text); });
    connect(baseId_, &QLineEdit::textEdited, this,
            [this](const QString& text) { texts_.usbBaseIdText = FromQt(text); });
    connect(append_, &QCheckBox::toggled, this, [this](bool on) { texts_.usbAppendId = on; });
    connect(cancel_, &QPushButton::clicked, this, &QWidget::hide);
    connect(ok_, &QPushButton::clicked, this, [this] {
        hide();
        emit okClicked();
    });
    Refresh();
}

void UsbIdDialog::Open(const std::string& deviceLetter, const std::string& devicePath) {
    forNewFile_ = false;
    ShowFor(devicePath, "Enter ID For USB Device " + deviceLetter);
}

void UsbIdDialog::OpenForNewFile(const std::string& path) {
    forNewFile_ = true;
    ShowFor(path, "Enter ID For New Store File " + path);
}

void UsbIdDialog::ShowFor(const std::string& path, const std::string& prompt) {
    openedForPath_ = path;
    SetTextShowingAll(*prompt_, ToQt(prompt));
    Refresh();
    show();
    raise();
    activateWindow();
    usbId_->setFocus();
}

void UsbIdDialog::Refresh() {
    usbId_->setText(ToQt(texts_.usbIdText));
    baseId_->setText(ToQt(texts_.usbBaseIdText));
    append_->setChecked(texts_.usbAppendId);
}

}  // namespace quarnex
