#pragma once
// The help viewer. Created hidden at start-up; HelpInit finds and loads
// the page; the main window's Help, Documentation command calls ShowHelp.
// Closing it by its frame only hides it; HelpUnload closes it for good.

#include <QAction>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <string>

namespace quarnex {

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Start-up: FindHelpFile under appFolder, then NavigateHelpPage when a page
    // was found. Returns whether one was (the caller may enable its
    // Documentation entry; it is enabled by design anyway).
    bool HelpInit(const std::string& appFolder);

    // The Documentation command: navigate when nothing is shown yet, then show.
    void ShowHelp();

    // Shutdown: closes the window (no longer just hidden).
    void HelpUnload();

    const std::string& HelpURL() const { return helpUrl_; }
    QTextBrowser& Browser() { return *browser_; }

  public slots:
    void NavigateHelpPage();
    void Back();     // Menu_Back " << "
    void Forward();  // Menu_Forward " >>"
    void Home();     // Menu_Home "  Home  "

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QUrl HelpAddress() const;

    std::string helpUrl_;
    QTextBrowser* browser_ = nullptr;
    QAction* backAction_ = nullptr;
    QAction* forwardAction_ = nullptr;
    QAction* homeAction_ = nullptr;
    bool unloading_ = false;
};

}  // namespace quarnex
