#pragma once
// The ID dialog of a store format. Not modal; its buttons only hide
// it, so the text boxes keep their contents between uses. It remembers the
// store it was opened for, so that OK never formats another one.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "commands/window_model.hpp"
#include "gui/twips.hpp"

namespace quarnex {

class UsbIdDialog : public QDialog {
    Q_OBJECT
  public:
    UsbIdDialog(DialogTexts& texts, TwipScale scale, QWidget* parent = nullptr);

    // The Format command: names the store in the prompt, shows the dialog and
    // puts the focus into the device ID box.
    void Open(const std::string& deviceLetter, const std::string& devicePath);
    // New Store Image File: the same questions for a file still to be made.
    void OpenForNewFile(const std::string& path);
    // The store the dialog was last opened for, and whether it is a new file.
    const std::string& OpenedForPath() const { return openedForPath_; }
    bool ForNewFile() const { return forNewFile_; }
    // The model's texts back into the boxes.
    void Refresh();

    QLabel& Prompt() { return *prompt_; }
    QLineEdit& UsbIdBox() { return *usbId_; }
    QLineEdit& BaseIdBox() { return *baseId_; }
    QCheckBox& AppendBox() { return *append_; }
    QPushButton& OkButton() { return *ok_; }
    QPushButton& CancelButton() { return *cancel_; }

  signals:
    void okClicked();

  private:
    void ShowFor(const std::string& path, const std::string& prompt);

    DialogTexts& texts_;
    std::string openedForPath_;
    bool forNewFile_ = false;
    QLabel* prompt_ = nullptr;
    QLineEdit* usbId_ = nullptr;
    QLineEdit* baseId_ = nullptr;
    QCheckBox* append_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace quarnex
