#include "gui/help_window.hpp"

#include <QCloseEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QVBoxLayout>

#include "commands/help_location.hpp"
#include "gui/program_icon.hpp"
#include "gui/window_placement.hpp"

namespace quarnex {

namespace {

constexpr int kClientWidthTwips = 9330;
constexpr int kClientHeightTwips = 4470;
constexpr std::string_view kFileScheme = "file://";

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpF");
    setWindowTitle("Documentation");
    setWindowIcon(ProgramIcon());

    auto* menuBar = new QMenuBar(this);
    backAction_ = menuBar->addAction(" << ");
    backAction_->setObjectName("Menu_Back");
    forwardAction_ = menuBar->addAction(" >>");
    forwardAction_->setObjectName("Menu_Forward");
    homeAction_ = menuBar->addAction("  Home  ");
    homeAction_->setObjectName("Menu_Home");
    connect(backAction_, &QAction::triggered, this, &HelpWindow::Back);
    connect(forwardAction_, &QAction::triggered, this, &HelpWindow::Forward);
    connect(homeAction_, &QAction::triggered, this, &HelpWindow::Home);
    // Escape closes the window as its close button does (it is only hidden).
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    // The browser always fills the client area: the layout resizes it with
    // the window and keeps it at the top-left corner.
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(browser_);

    resize(TwipsToPixels(this, kClientWidthTwips),
           TwipsToPixels(this, kClientHeightTwips) + menuBar->sizeHint().height());
}

bool HelpWindow::HelpInit(const std::string& appFolder) {
    helpUrl_ = FindHelpFile(appFolder);
    if (helpUrl_.empty()) {
        return false;
    }
    NavigateHelpPage();
    return true;
}

void HelpWindow::ShowHelp() {
    if (browser_->source().isEmpty()) {
        NavigateHelpPage();
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::HelpUnload() {
    unloading_ = true;
    close();
}

QUrl HelpWindow::HelpAddress() const {
    const std::string_view url = helpUrl_;
    if (url.substr(0, kFileScheme.size()) == kFileScheme) {
        // From the path itself, so that "#", "%" or spaces in folder names
        // stay part of the path.
        return QUrl::fromLocalFile(QString::fromStdString(helpUrl_.substr(kFileScheme.size())));
    }
    return QUrl(QString::fromStdString(helpUrl_), QUrl::TolerantMode);
}

void HelpWindow::NavigateHelpPage() {
    // Navigating to the empty address of a missing page does nothing.
    if (!helpUrl_.empty()) {
        browser_->setSource(HelpAddress());
    }
}

void HelpWindow::Back() {
    if (browser_->source() != HelpAddress()) {
        browser_->backward();
    }
}

void HelpWindow::Forward() {
    browser_->forward();
    // The browser scrolls back to the link that was followed (its focus
    // mark), not to the anchor it led to.
    if (const QString anchor = browser_->source().fragment(); !anchor.isEmpty()) {
        browser_->scrollToAnchor(anchor);
    }
}

void HelpWindow::Home() {
    NavigateHelpPage();
}

void HelpWindow::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    // Closed by the user: keep the page and its history for the next showing.
    event->ignore();
    hide();
}

}  // namespace quarnex
