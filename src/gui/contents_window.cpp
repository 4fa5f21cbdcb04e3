#include "gui/contents_window.hpp"

#include <algorithm>

#include <QDrag>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/qt_text.hpp"

namespace quarnex {

namespace {

enum Column { NameColumn, SizeColumn, DateColumn, AttributesColumn };

// Local files only: what the file manager hands over.
QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (data != nullptr && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                files << url.toLocalFile();
            }
        }
    }
    return files;
}

std::string HostPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

void ContentsList::startDrag(Qt::DropActions /*actions*/) {
    const QStringList files = filesForDrag ? filesForDrag() : QStringList();
    if (files.isEmpty()) {
        return;
    }
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& file : files) {
        urls << QUrl::fromLocalFile(file);
    }
    data->setUrls(urls);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void ContentsList::dragEnterEvent(QDragEnterEvent* event) {
    // Our own items dragged back in are not added again.
    if (event->source() != this && !LocalFiles(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ContentsList::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() != this && !LocalFiles(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ContentsList::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (event->source() == this || files.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (filesDropped) {
        filesDropped(files);
    }
}

void ContentsList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace && goUp) {
        goUp();
        return;
    }
    if (event->key() == Qt::Key_Delete && deleteSelected) {
        deleteSelected();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        emit itemActivated(currentItem(), 0);
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

ContentsWindow::ContentsWindow(Context& ctx, QWidget* parent) : QDialog(parent), model_(ctx) {
    setWindowTitle(QString::fromLatin1(kContentsTitle));
    // Nothing else may change the internal image while its files are shown.
    setWindowModality(Qt::ApplicationModal);
    resize(640, 420);

    folderLabel_ = new QLabel(this);
    folderLabel_->setTextFormat(Qt::PlainText);
    freeLabel_ = new QLabel(this);
    freeLabel_->setTextFormat(Qt::PlainText);
    noteLabel_ = new QLabel(this);
    noteLabel_->setTextFormat(Qt::PlainText);
    noteLabel_->setWordWrap(true);
    list_ = new ContentsList(this);
    list_->setColumnCount(4);
    list_->setHeaderLabels({"Name", "Size", "Modified", "Attributes"});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setDragEnabled(true);
    list_->setAcceptDrops(true);
    list_->setDropIndicatorShown(false);
    list_->setDragDropMode(QAbstractItemView::DragDrop);
    list_->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);

    up_ = new QPushButton(QStringLiteral("&Up"), this);
    extract_ = new QPushButton(QStringLiteral("E&xtract..."), this);
    add_ = new QPushButton(QStringLiteral("&Add..."), this);
    delete_ = new QPushButton(QStringLiteral("&Delete"), this);
    newFolder_ = new QPushButton(QStringLiteral("&New Folder"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {up_, extract_, add_, delete_, newFolder_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QHBoxLayout;
    heading->addWidget(folderLabel_, 1);
    heading->addWidget(freeLabel_);
    layout->addLayout(heading);
    layout->addWidget(list_, 1);
    layout->addWidget(noteLabel_);
    layout->addLayout(buttons);

    list_->filesForDrag = [this] { return FilesForDrag(); };
    list_->filesDropped = [this](const QStringList& files) {
        std::vector<std::string> paths;
        for (const QString& file : files) {
            paths.push_back(HostPath(file));
        }
        model_.Add(paths);
        Render();
    };
    list_->goUp = [this] {
        if (model_.Up()) {
            Render();
        }
    };
    connect(list_, &QTreeWidget::itemActivated, this, &ContentsWindow::OnActivated);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &ContentsWindow::Render);
    connect(up_, &QPushButton::clicked, this, [this] { list_->goUp(); });
    connect(extract_, &QPushButton::clicked, this, &ContentsWindow::OnExtract);
    connect(add_, &QPushButton::clicked, this, &ContentsWindow::OnAdd);
    list_->deleteSelected = [this] {
        if (model_.Changeable()) {
            model_.Delete(SelectedRows());
            Render();
        }
    };
    connect(delete_, &QPushButton::clicked, this, [this] { list_->deleteSelected(); });
    connect(newFolder_, &QPushButton::clicked, this, &ContentsWindow::OnNewFolder);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void ContentsWindow::Open() {
    model_.Open();
    list_->clear();
    Render();
    if (!placed_ && parentWidget() != nullptr) {
        placed_ = true;  // over the main window; then where the user leaves it
        move(parentWidget()->frameGeometry().center() - rect().center());
    }
    open();
    raise();
    activateWindow();
    list_->setFocus();
}

// Qt centres the window over the main window, which is narrower: without a
// window manager to pull it back, its left edge would lie off the screen.
void ContentsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QRect room = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const int left = std::clamp(frame.left(), room.left(),
                                std::max(room.left(), room.right() + 1 - frame.width()));
    const int top = std::clamp(frame.top(), room.top(),
                               std::max(room.top(), room.bottom() + 1 - frame.height()));
    if (left != frame.left() || top != frame.top()) {
        move(pos() + QPoint(left - frame.left(), top - frame.top()));
    }
}

void ContentsWindow::Render() {
    const std::vector<ContentsRow>& rows = model_.Rows();
    // Rebuilt only when the rows changed; a selection change keeps them.
    bool same = list_->topLevelItemCount() == static_cast<int>(rows.size());
    for (int i = 0; same && i < list_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list_->topLevelItem(i);
        const ContentsRow& row = rows[static_cast<std::size_t>(i)];
        same = item->text(NameColumn) == ToQt(row.name) &&
               item->text(SizeColumn) == ToQt(row.size) &&
               item->text(DateColumn) == ToQt(row.date) &&
               item->text(AttributesColumn) == ToQt(row.attributes);
    }
    if (!same) {
        const QSignalBlocker blocker(list_);
        list_->clear();
        const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
        const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
        for (const ContentsRow& row : rows) {
            auto* item = new QTreeWidgetItem(
                list_, {ToQt(row.name), ToQt(row.size), ToQt(row.date), ToQt(row.attributes)});
            item->setIcon(NameColumn, row.folder ? folderIcon : fileIcon);
            item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        }
        // Wide enough for the widest value a floppy can hold, so the columns
        // do not jump from folder to folder.
        const QString widest[] = {QStringLiteral("1,474,560"), QStringLiteral("2000-01-01 00:00"),
                                  QStringLiteral("RHSA")};
        for (int column = SizeColumn; column <= AttributesColumn; ++column) {
            list_->resizeColumnToContents(column);
            const int needed =
                list_->fontMetrics().horizontalAdvance(widest[column - SizeColumn]) + 16;
            list_->setColumnWidth(column, std::max(list_->columnWidth(column), needed));
        }
        if (list_->topLevelItemCount() > 0) {
            list_->setCurrentItem(list_->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
        }
    }
    folderLabel_->setText(QStringLiteral("Folder: ") + ToQt(model_.FolderText()));
    freeLabel_->setText(ToQt(model_.FreeText()));
    noteLabel_->setText(ToQt(model_.Note()));
    noteLabel_->setVisible(!model_.Note().empty());
    const bool selected = !SelectedRows().empty();
    up_->setEnabled(!model_.Folder().empty());
    extract_->setEnabled(selected);
    add_->setEnabled(model_.Changeable());
    delete_->setEnabled(model_.Changeable() && selected);
    newFolder_->setEnabled(model_.Changeable());
    list_->setAcceptDrops(model_.Changeable());
}

std::vector<std::size_t> ContentsWindow::SelectedRows() const {
    std::vector<std::size_t> rows;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->isSelected() &&
            !model_.Rows().at(static_cast<std::size_t>(i)).up) {
            rows.push_back(static_cast<std::size_t>(i));
        }
    }
    return rows;
}

void ContentsWindow::OnActivated(QTreeWidgetItem* item) {
    const int row = list_->indexOfTopLevelItem(item);
    if (row >= 0 && model_.Enter(static_cast<std::size_t>(row))) {
        Render();
    }
}

void ContentsWindow::OnExtract() {
    const std::vector<std::size_t> rows = SelectedRows();
    if (rows.empty()) {
        return;
    }
    QFileDialog dialog(this, QStringLiteral("Extract To Folder"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        model_.Extract(rows, HostPath(dialog.selectedFiles().constFirst()), ReplacePrompt::Ask);
    }
}

void ContentsWindow::OnAdd() {
    QFileDialog dialog(this, QStringLiteral("Add To The Internal Image"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::vector<std::string> paths;
    for (const QString& file : dialog.selectedFiles()) {
        paths.push_back(HostPath(file));
    }
    model_.Add(paths);
    Render();
}

void ContentsWindow::OnNewFolder() {
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, QStringLiteral("New Folder"), QStringLiteral("Folder name:"),
                              QLineEdit::Normal, QStringLiteral("New Folder"), &ok);
    if (ok) {
        model_.NewFolder(FromQt(name));
        Render();
    }
}

QStringList ContentsWindow::FilesForDrag() {
    const std::vector<std::size_t> rows = SelectedRows();
    if (rows.empty()) {
        return {};
    }
    dragFolder_ = std::make_unique<QTemporaryDir>();
    if (!dragFolder_->isValid()) {
        return {};
    }
    QStringList files;
    for (const std::string& path :
         model_.Extract(rows, HostPath(dragFolder_->path()), ReplacePrompt::None)) {
        files << QFile::decodeName(QByteArray::fromStdString(path));
    }
    return files;
}

}  // namespace quarnex
