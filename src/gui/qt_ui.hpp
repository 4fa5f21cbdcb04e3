#pragma once
// The Ui port on Qt: message boxes, file dialogs and the advisory window, and
// the window parts that operations change handed on to the main window.

#include <QString>
#include <QStringList>
#include <QWidget>

#include "commands/error_report_text.hpp"
#include "gui/twips.hpp"
#include "ports/ui.hpp"

namespace quarnex {

// Whatever shows the window model: the main window.
class WindowRenderer {
  public:
    virtual ~WindowRenderer() = default;
    virtual void Render(WindowPart part) = 0;
};

// Qt's filter list from the "Name|*.x|All Files (*.*)|*.*" form.
QStringList QtFilters(const std::string& filter);

class QtUi : public Ui {
  public:
    explicit QtUi(TwipScale scale) : scale_(scale) {}

    void SetRenderer(WindowRenderer* renderer) { renderer_ = renderer; }
    // Dialogs open over this window.
    void SetDialogParent(QWidget* parent) { parent_ = parent; }

    MessageAnswer ShowMessage(const MessageRequest& request) override;
    void ShowError(const ErrorRecord& error) override { ShowMessage(ErrorReportMessage(error)); }
    std::optional<std::string> AskOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> AskSaveFile(const FileDialogRequest& request) override;
    int AskAdvisory() override;
    void Changed(WindowPart part) override;
    void PumpEvents() override;

  protected:
    TwipScale Scale() const { return scale_; }

  private:
    std::optional<std::string> AskFile(const FileDialogRequest& request, FileDialogKind kind);

    TwipScale scale_;
    WindowRenderer* renderer_ = nullptr;
    QWidget* parent_ = nullptr;
};

}  // namespace quarnex
