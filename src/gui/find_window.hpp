#pragma once
// Find's small list window: a pattern, the Find button and the matches
// (slot, Disk ID, path or text). Choosing a match selects its slot in the
// main window's grid; the searching and the selecting are the main window's.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

#include "commands/store_find_list.hpp"

namespace quarnex {

class FindWindow : public QDialog {
    Q_OBJECT
  public:
    explicit FindWindow(QWidget* parent);

    std::function<void(const std::string& pattern)> search;
    std::function<void(int slot)> choose;

    void ShowListing(const FindListing& listing);

    QLineEdit& Pattern() { return *pattern_; }
    QPushButton& FindButton() { return *find_; }
    QTreeWidget& List() { return *list_; }
    QLabel& NoteLabel() { return *note_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* pattern_ = nullptr;
    QPushButton* find_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* note_ = nullptr;
};

}  // namespace quarnex
