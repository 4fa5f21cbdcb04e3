#pragma once
// The window that shows the files inside the internal image: a list of the
// folder shown with name, size, date and attributes, folders to open and to
// leave, buttons to extract, add, delete and make folders, and drag and drop
// with the desktop's file manager. What it shows and does comes from the
// plain ImageContents model.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "commands/image_contents.hpp"

namespace quarnex {

// The list: items dragged out become files, files dropped on it are added.
class ContentsList : public QTreeWidget {
    Q_OBJECT
  public:
    using QTreeWidget::QTreeWidget;

    // The host files of the selected items, written when a drag starts.
    std::function<QStringList()> filesForDrag;
    std::function<void(const QStringList&)> filesDropped;
    std::function<void()> goUp;
    std::function<void()> deleteSelected;

  protected:
    void startDrag(Qt::DropActions actions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

class ContentsWindow : public QDialog {
    Q_OBJECT
  public:
    ContentsWindow(Context& ctx, QWidget* parent);

    // Shows the root of the internal image; the other windows wait.
    void Open();

    ImageContents& Model() { return model_; }
    ContentsList& List() { return *list_; }
    QLabel& FolderLabel() { return *folderLabel_; }
    QLabel& NoteLabel() { return *noteLabel_; }
    QPushButton& UpButton() { return *up_; }
    QPushButton& ExtractButton() { return *extract_; }
    QPushButton& AddButton() { return *add_; }
    QPushButton& DeleteButton() { return *delete_; }
    QPushButton& NewFolderButton() { return *newFolder_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Render();
    std::vector<std::size_t> SelectedRows() const;
    void OnActivated(QTreeWidgetItem* item);
    void OnExtract();
    void OnAdd();
    void OnNewFolder();
    QStringList FilesForDrag();

    ImageContents model_;
    QLabel* folderLabel_ = nullptr;
    QLabel* freeLabel_ = nullptr;
    QLabel* noteLabel_ = nullptr;
    ContentsList* list_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* extract_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* newFolder_ = nullptr;
    // Where dragged items are written; kept until the next drag or the end.
    std::unique_ptr<QTemporaryDir> dragFolder_;
    bool placed_ = false;
};

}  // namespace quarnex
