#pragma once
// QueryF: the advisory window of start-up when raw devices cannot be opened.
// Continue goes on with limited functionality, Exit ends the program; closing
// it by its frame counts as Exit.

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/twips.hpp"

namespace quarnex {

class QueryWindow : public QDialog {
    Q_OBJECT
  public:
    explicit QueryWindow(TwipScale scale, QWidget* parent = nullptr);

    // Shows the window centred and waits in a modal loop: 0 = Continue,
    // -1 = Exit.
    int Ask();

    QPushButton& ContinueButton() { return *continue_; }
    QPushButton& ExitButton() { return *exit_; }
    QPlainTextEdit& TextBox() { return *text_; }

  private:
    QPlainTextEdit* text_ = nullptr;
    QPushButton* continue_ = nullptr;
    QPushButton* exit_ = nullptr;
};

}  // namespace quarnex
