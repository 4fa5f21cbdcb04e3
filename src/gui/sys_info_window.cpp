#include "gui/sys_info_window.hpp"

#include <QFontMetrics>
#include <QPainter>
#include <QShortcut>

#include "gui/program_icon.hpp"
#include "gui/window_centring.hpp"
#include "gui/window_fonts.hpp"
#include "gui/window_placement.hpp"

namespace quarnex {

namespace {

constexpr int kClientWidthTwips = 9195;
constexpr int kClientHeightTwips = 2955;
constexpr int kEmptyLinesBefore = 2;

}  // namespace

SysInfoWindow::SysInfoWindow(const SystemFactSource& facts, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), facts_(facts) {
    setObjectName("SysInfoF");
    setWindowTitle("Current System Information");
    setWindowIcon(ProgramIcon());
    setFont(DesignSansFont());
    setFixedSize(TwipsToPixels(this, kClientWidthTwips), TwipsToPixels(this, kClientHeightTwips));

    ok_ = new QPushButton("&Ok", this);
    ok_->setObjectName("Command1");
    ok_->setGeometry(TwipsToPixels(this, 7920, 2400, 855, 375));
    connect(ok_, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

void SysInfoWindow::ShowSysInfo() {
    // A closed window is loaded again, which centres it. Centred once shown,
    // when its frame is known.
    const bool wasHidden = !isVisible();
    show();
    if (wasHidden) {
        CentreOnScreen(*this);
    }
    raise();
    activateWindow();
}

void SysInfoWindow::paintEvent(QPaintEvent* /*event*/) {
    // Queried on every paint, so the free memory is current each time.
    const std::array<SystemInfoLine, kSystemInfoLines> lines = SystemInfoLines(facts_);
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().windowText().color());
    const QFontMetrics metrics(font());
    const int zoneUnit = metrics.averageCharWidth();
    printed_.assign(kEmptyLinesBefore, std::string());
    int baseline = metrics.ascent() + kEmptyLinesBefore * metrics.height();
    for (const SystemInfoLine& line : lines) {
        const std::array<int, 3> columns = PrintZoneColumns(line);
        painter.drawText(columns[1] * zoneUnit, baseline, QString::fromStdString(line.label));
        painter.drawText(columns[2] * zoneUnit, baseline, QString::fromLocal8Bit(line.value));
        printed_.push_back(PrintZoneText(line));
        baseline += metrics.height();
    }
}

}  // namespace quarnex
