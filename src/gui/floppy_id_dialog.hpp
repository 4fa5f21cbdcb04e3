#pragma once
// The dialog asking for the volume ID of an internal-image format. Not modal; its buttons
// only hide it, so the text box keeps the last ID.

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "commands/window_model.hpp"
#include "gui/twips.hpp"

namespace quarnex {

class FloppyIdDialog : public QDialog {
    Q_OBJECT
  public:
    FloppyIdDialog(DialogTexts& texts, TwipScale scale, QWidget* parent = nullptr);

    // The Image, Format command.
    void Open();
    void Refresh();

    QLineEdit& IdBox() { return *id_; }
    QPushButton& OkButton() { return *ok_; }
    QPushButton& CancelButton() { return *cancel_; }

  signals:
    void okClicked();

  private:
    DialogTexts& texts_;
    QLineEdit* id_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace quarnex
