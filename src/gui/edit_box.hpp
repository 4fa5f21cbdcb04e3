#pragma once
// The multi-line description editor laid over a grid row. Escape and
// Ctrl+Enter are reported instead of typed; every other key, Enter included,
// goes in.

#include <QPlainTextEdit>

namespace quarnex {

class EditBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit EditBox(QWidget* parent = nullptr);

  signals:
    void escapePressed();
    void keepPressed();  // Ctrl+Enter

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quarnex
