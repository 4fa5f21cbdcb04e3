#include "gui/about_window.hpp"

#include <QPalette>
#include <QShortcut>

#include "gui/program_icon.hpp"
#include "gui/readable_colours.hpp"
#include "gui/window_centring.hpp"
#include "gui/window_fonts.hpp"
#include "gui/window_placement.hpp"

namespace quarnex {

namespace {

constexpr int kClientWidthTwips = 5025;
constexpr int kClientHeightTwips = 3000;
const QColor kLightYellow(255, 255, 192);

}  // namespace

AboutWindow::AboutWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("VrsionF");
    setWindowTitle("About Quarnex");
    setWindowIcon(ProgramIcon());
    setFont(DesignSansFont());
    QPalette colours = palette();
    SetFixedBackground(colours, QPalette::Window, QPalette::WindowText, kLightYellow);
    setPalette(colours);
    setAutoFillBackground(true);
    setFixedSize(TwipsToPixels(this, kClientWidthTwips), TwipsToPixels(this, kClientHeightTwips));

    version_ = new QLabel("Quarn - Quarnex", this);
    version_->setObjectName("VrsionLbl");
    version_->setGeometry(TwipsToPixels(this, 240, 240, 4575, 300));

    date_ = new QLabel(QUARNEX_BUILD_DATE, this);
    date_->setObjectName("Label1");
    date_->setGeometry(TwipsToPixels(this, 1680, 720, 1545, 300));

    number_ = new QLabel(QStringLiteral("Version " QUARNEX_VERSION), this);
    number_->setObjectName("VersionNumberLbl");
    number_->setGeometry(TwipsToPixels(this, 1680, 1080, 1545, 300));

    picture_ = new QLabel(this);
    picture_->setObjectName("Picture1");
    picture_->setPixmap(ProgramIconPixmap32());
    picture_->setGeometry(TwipsToPixels(this, 480, 2160, 495, 495));

    ok_ = new QPushButton(" &Ok", this);
    ok_->setObjectName("Ok");
    ok_->setGeometry(TwipsToPixels(this, 4040, 2080, 615, 615));
    connect(ok_, &QPushButton::clicked, this, &QWidget::hide);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::hide);
}

void AboutWindow::ShowAbout() {
    show();
    raise();
    activateWindow();
}

void AboutWindow::Centre() {
    CentreOnScreen(*this);
}

void AboutWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Centre();
}

void AboutWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Centre();
}

}  // namespace quarnex
