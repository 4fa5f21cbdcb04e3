#include "gui/main_window.hpp"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QTimer>

#include "commands/grid_keys.hpp"
#include "commands/image_changes.hpp"
#include "commands/refresh_main_window.hpp"
#include "commands/status.hpp"
#include "commands/store_refresh.hpp"
#include "gui/cut_text.hpp"
#include "gui/fonts.hpp"
#include "gui/qt_text.hpp"
#include "gui/readable_colours.hpp"
#include "state/progress.hpp"

namespace quarnex {

namespace {

// Design placements of the status strip, in twips.
constexpr int kStripTop = 120;
constexpr int kStripLowerTop = 360;
constexpr int kProgressLabelHeight = 210;
constexpr int kProgressBarHeight = 255;
constexpr int kActionLabelHeight = 195;

const QColor kBufferLabelColour(kBufferLabelRed, kBufferLabelGreen, kBufferLabelBlue);

}  // namespace

MainWindow::MainWindow(WindowContext& ctx, const QtTextMetrics& metrics, TwipScale scale,
                       UsbIdDialog& usbId, FloppyIdDialog& floppyId)
    : ctx_(ctx),
      metrics_(metrics),
      scale_(scale),
      usbIdDialog_(&usbId),
      floppyIdDialog_(&floppyId) {
    setWindowTitle(QStringLiteral("Quarnex"));
    auto* client = new QWidget(this);
    client->setAutoFillBackground(true);
    QPalette colours = client->palette();
    colours.setColor(QPalette::Window, MainWindowColour(colours));
    client->setPalette(colours);
    setCentralWidget(client);
    CreateStatusStrip(client);
    CreateFrame(client);
    CreateMenus();
    CreateShortcuts();

    connect(usbIdDialog_, &UsbIdDialog::okClicked, this, &MainWindow::OnFormatStoreOk);
    connect(floppyIdDialog_, &FloppyIdDialog::okClicked, this, &MainWindow::OnFormatImageOk);
}

void MainWindow::CreateStatusStrip(QWidget* client) {
    const QFont font = LabelFont();
    fixedLabel_ = new QLabel(QStringLiteral("Image:"), client);
    fixedLabel_->setFont(font);
    // Level with the self-sizing source label beside it, which starts at its top.
    fixedLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(*fixedLabel_, scale_, 480, kStripLowerTop, 615, 210);

    bufferLabel_ = new QLabel(QStringLiteral("Zeroed"), client);
    bufferLabel_->setFont(font);
    QPalette colours = bufferLabel_->palette();
    colours.setColor(QPalette::Window, kBufferLabelColour);
    bufferLabel_->setPalette(colours);
    bufferLabel_->move(scale_.Px(1200), scale_.Px(kStripLowerTop));

    actionLabel_ = new QLabel(client);
    actionLabel_->setFont(font);
    actionLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    progressLabel_ = new QLabel(QStringLiteral("Progress"), client);
    progressLabel_->setFont(font);
    progressLabel_->setAutoFillBackground(true);
    progressLabel_->setBackgroundRole(QPalette::Base);
    QPalette progressColours = progressLabel_->palette();
    SetFixedBackground(progressColours, QPalette::Base, QPalette::WindowText,
                       progressColours.color(QPalette::Base));
    progressLabel_->setPalette(progressColours);

    progressBar_ = new QProgressBar(client);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(true);
}

void MainWindow::CreateFrame(QWidget* client) {
    frame_ = new QGroupBox(QStringLiteral(" Disk Selector "), client);
    frame_->setFont(FrameFont());
    const QFont gridFont = GridFont();

    grid_ = new DiskGridView(frame_);
    grid_->setFont(gridFont);
    grid_->horizontalHeader()->setFont(gridFont);
    gridModel_ = new GridTableModel(ctx_.window.grid, this);
    grid_->setModel(gridModel_);
    connect(gridModel_, &GridTableModel::rowHeightChanged, this, &MainWindow::ApplyRowHeight);
    connect(grid_, &DiskGridView::gridPressed, this, &MainWindow::OnGridPressed);
    connect(grid_, &DiskGridView::gridClicked, this, &MainWindow::OnGridClicked);
    connect(grid_, &DiskGridView::gridDoubleClicked, this, &MainWindow::OnGridDoubleClicked);
    connect(grid_, &DiskGridView::gridKey, this, &MainWindow::OnGridKey);
    connect(grid_, &DiskGridView::editKey, this, &MainWindow::OnGridEditKey);
    connect(grid_, &DiskGridView::filesDropped, this, &MainWindow::OnGridFilesDropped);
    gridModel_->SetHighlighted([this](int row) { return RowHighlighted(ctx_, row); });

    gridScroll_ = new QScrollBar(Qt::Vertical, frame_);
    gridScroll_->setRange(1, 999);
    gridScroll_->setValue(1);
    gridScroll_->setSingleStep(1);
    gridScroll_->setPageStep(1);
    connect(gridScroll_, &QScrollBar::valueChanged, this, &MainWindow::OnScrollChanged);
    connect(grid_, &DiskGridView::wheelSteps, this, [this](int steps) {
        if (gridScroll_->isEnabled()) {
            gridScroll_->setValue(gridScroll_->value() + steps);
        }
    });

    edit_ = new EditBox(frame_);
    edit_->setFont(gridFont);
    edit_->hide();
    connect(edit_, &QPlainTextEdit::textChanged, this, &MainWindow::OnEditTextChanged);
    connect(edit_, &EditBox::escapePressed, this, &MainWindow::OnEditEscape);
    connect(edit_, &EditBox::keepPressed, this, &MainWindow::OnEditKeep);
}

void MainWindow::BuildMainWindow() {
    LayoutInProgress = true;
    GridModel& grid = ctx_.window.grid;
    const int base = grid.BaseRowHeight();
    layout_ = BuildMainLayout(
        base, {metrics_.TextWidthTwips(" 123 "), metrics_.TextWidthTwips(" 12345678901 > "),
               metrics_.TextWidthTwips(" 1234567890123456789012345678901234567890 ")});
    grid_->verticalHeader()->setDefaultSectionSize(scale_.Px(base + kGridLine));
    grid_->horizontalHeader()->setFixedHeight(scale_.Px(base + kGridLine));
    ApplyLayout();
    resize(scale_.Px(layout_.clientWidth),
           scale_.Px(layout_.clientHeight) + menuBar()->sizeHint().height());

    RefreshMainWindow(ctx_, StateReset);
    for (int row = 1; row < kGridRows; ++row) {
        ApplyRowHeight(row);
    }
    PlaceTwips(*edit_, scale_, layout_.editLeft, kGridTop + 15 * base, layout_.editWidth, base);
    edit_->hide();

    // Without the rights for raw devices nothing can be scrolled or edited
    // until a store image file is opened.
    ApplyGridUsable();
    ctx_.window.menus[MenuId::Menu_Spacer_3].enabled = false;
    ctx_.progress.Over();
    grid_->setFocus();
    LayoutInProgress = false;
}

void MainWindow::ApplyColumnWidths() {
    QHeaderView* header = grid_->horizontalHeader();
    header->resizeSection(0, scale_.Px(layout_.ColumnWidths[0] + kGridLine));
    header->resizeSection(1, scale_.Px(layout_.ColumnWidths[1] + kGridLine));
    header->resizeSection(2, scale_.Px(layout_.column2Width + kGridLine));
}

void MainWindow::ApplyRowHeight(int row) {
    if (row == 0) {
        return;  // the header keeps its height
    }
    grid_->verticalHeader()->resizeSection(row - 1,
                                           scale_.Px(ctx_.window.grid.RowHeight(row) + kGridLine));
}

void MainWindow::ApplyLayout() {
    PlaceTwips(*frame_, scale_, kFrameLeft, kFrameTop, layout_.frameWidth, layout_.frameHeight);
    PlaceTwips(*grid_, scale_, kGridLeft, kGridTop, layout_.gridWidth, layout_.gridHeight);
    ApplyColumnWidths();
    PlaceTwips(*gridScroll_, scale_, layout_.scrollLeft, kGridTop, kScrollWidth,
               layout_.scrollHeight);
    PlaceTwips(*progressBar_, scale_, layout_.progressBarLeft, kStripLowerTop, kProgressBarWidth,
               kProgressBarHeight);
    PlaceTwips(*progressLabel_, scale_, layout_.progressBarLeft, kStripTop, kProgressBarWidth,
               kProgressLabelHeight);
    RenderActionLabel();
    RenderBufferLabel();
    TipFrameCaption();
    RenderEditBox();
}

void MainWindow::Render(WindowPart part) {
    const WindowModel& model = ctx_.window;
    const StatusStrip& status = ctx_.state.status;
    switch (part) {
        case WindowPart::ActionLabel:
            RenderActionLabel();
            break;
        case WindowPart::BufferLabel:
            RenderBufferLabel();
            break;
        case WindowPart::ProgressLabel:
            progressLabel_->setText(ToQt(status.progressLabel));
            break;
        case WindowPart::ProgressBar:
            progressBar_->setValue(status.progressBar);
            break;
        case WindowPart::Menus:
            ApplyBusyState(ctx_);
            RenderMenus();
            break;
        case WindowPart::FrameCaption:
            frame_->setTitle(ToQt(model.frameCaption));
            TipFrameCaption();
            break;
        case WindowPart::Grid:
            // The table model passes every cell change on itself.
            gridModel_->SlotMarksChanged();
            if (ctx_.state.selectedDisk != 0) {
                // Its focus frame stands on the selected slot, not where the
                // table last had it.
                grid_->selectionModel()->setCurrentIndex(
                    gridModel_->index(ctx_.state.selectedDisk - 1, 1),
                    QItemSelectionModel::NoUpdate);
            }
            break;
        case WindowPart::EditBox:
            RenderEditBox();
            break;
        case WindowPart::Dialogs:
            usbIdDialog_->Refresh();
            floppyIdDialog_->Refresh();
            break;
    }
}

void MainWindow::RenderActionLabel() {
    const StatusStrip& status = ctx_.state.status;
    const QString shown = ToQt(status.actionLabel);
    actionLabel_->setText(shown);
    actionLabel_->adjustSize();
    const int width = actionLabel_->width();
    // Right-aligned against the progress bar, whatever the text's length: a
    // long one runs off the window's left edge.
    const int left = scale_.Px(ActionLabelLeft(layout_, scale_.Twips(width)));
    actionLabel_->setGeometry(left, scale_.Px(kStripTop), width, scale_.Px(kActionLabelHeight));
    const QString full = ToQt(InFull(status.actionLabel, status.actionLabelPath));
    TipWhenCut(*actionLabel_, full, full != shown || left < 0);
}

void MainWindow::RenderBufferLabel() {
    const StatusStrip& status = ctx_.state.status;
    const QString shown = ToQt(status.bufferCaption);
    bufferLabel_->setText(shown);
    bufferLabel_->setAutoFillBackground(status.bufferOpaque);
    // Its text reads on the window, or on its own colour when that is shown.
    QPalette colours = bufferLabel_->palette();
    const QColor windowText = centralWidget()->palette().color(QPalette::WindowText);
    colours.setColor(QPalette::WindowText,
                     status.bufferOpaque ? TextOn(kBufferLabelColour, windowText) : windowText);
    bufferLabel_->setPalette(colours);
    bufferLabel_->adjustSize();
    bufferLabel_->update();
    // The progress bar on the same line covers what runs past its left edge.
    const QString full = ToQt(InFull(status.bufferCaption, status.bufferCaptionPath));
    TipWhenCut(*bufferLabel_, full,
               full != shown || bufferLabel_->geometry().right() >= progressBar_->x());
}

void MainWindow::TipFrameCaption() {
    // The group box needs at least the caption's width.
    TipWhenCut(*frame_, frame_->title(), frame_->minimumSizeHint().width() > frame_->width());
}

void MainWindow::RenderEditBox() {
    const EditState& edit = ctx_.window.edit;
    if (FromQt(edit_->toPlainText()) != edit.boxText) {
        const QSignalBlocker quiet(edit_);
        edit_->setPlainText(ToQt(edit.boxText));
        edit_->moveCursor(QTextCursor::End);
    }
    if (edit.boxVisible) {
        PlaceTwips(*edit_, scale_, layout_.editLeft, placement_.top, layout_.editWidth,
                   placement_.height);
        edit_->show();
        edit_->raise();
    } else {
        edit_->hide();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ResizeHandler();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        ResizeHandler();
    }
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        CheckStoreChangedElsewhere();
    }
}

void MainWindow::CheckStoreChangedElsewhere() {
    if (CommandRunning()) {
        return;
    }
    ++commandDepth_;
    const StoreCheck check = ReloadIfChangedElsewhere(ctx_);
    --commandDepth_;
    FinishCommand();
    // Another program writing the store is not waited for: look again soon.
    if (check == StoreCheck::Busy && !storeCheckPending_) {
        storeCheckPending_ = true;
        QTimer::singleShot(kStoreCheckRetryMs, this, [this] {
            storeCheckPending_ = false;
            if (isActiveWindow()) {
                CheckStoreChangedElsewhere();
            }
        });
    }
}

void MainWindow::ResizeHandler() {
    if (LayoutInProgress || ResizeInProgress) {
        return;
    }
    ResizeInProgress = true;
    MinimizeCompanions();
    if (!isMinimized()) {
        const QWidget* client = centralWidget();
        ResizeMainLayout(layout_, scale_.Twips(client->width()), scale_.Twips(client->height()),
                         scale_.Twips(actionLabel_->width()));
        // The smallest outer size, whatever the frame around the window adds.
        const QSize decoration = frameGeometry().size() - geometry().size();
        setMinimumSize(scale_.Px(kMinWindowWidth) - decoration.width(),
                       scale_.Px(kMinWindowHeight) - decoration.height());
        ApplyLayout();
        PlaceEditBox(ctx_, CurrentGridView(), placement_);
    }
    ResizeInProgress = false;
}

void MainWindow::MinimizeCompanions() {
    if (isMinimized()) {
        if (!wasMinimised_) {
            companionMemory_ = 0;
            if (companions_.about != nullptr && companions_.about->isVisible()) {
                companionMemory_ |= 1U;
            }
            if (companions_.help != nullptr && companions_.help->isVisible()) {
                companionMemory_ |= 2U;
            }
            for (QWidget* companion : {companions_.about, companions_.help}) {
                if (companion != nullptr) {
                    companion->hide();
                }
            }
        }
        wasMinimised_ = true;
        return;
    }
    if (wasMinimised_) {
        if ((companionMemory_ & 1U) != 0 && companions_.about != nullptr) {
            companions_.about->show();
        }
        if ((companionMemory_ & 2U) != 0 && companions_.help != nullptr) {
            companions_.help->show();
        }
    }
    wasMinimised_ = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (commandDepth_ > 0) {
        // An operation is still waiting inside this window's events: ask it
        // to stop and unload once it has returned.
        ctx_.state.cancelRequested = true;
        exitPending_ = true;
        event->ignore();
        return;
    }
    if (!shutDown_ && !MayDiscardImageChanges(ctx_, ImageDiscard::Exit)) {
        event->ignore();
        return;
    }
    event->accept();
    if (!shutDown_) {
        shutDown_ = true;
        if (companions_.shutdown) {
            companions_.shutdown();
        }
    }
}

}  // namespace quarnex
