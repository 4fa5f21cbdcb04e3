#include "gui/find_window.hpp"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "gui/qt_text.hpp"

namespace quarnex {

FindWindow::FindWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Find"));
    auto* column = new QVBoxLayout(this);
    auto* line = new QHBoxLayout();
    pattern_ = new QLineEdit(this);
    pattern_->setPlaceholderText(
        QStringLiteral("Part of a name, ID or description; * and ? match whole names"));
    find_ = new QPushButton(QStringLiteral("&Find"), this);
    // Enter in the pattern searches; Enter on a match chooses it. As the
    // dialog's default button, Find would also take both Enters that the
    // pattern and the list pass on, searching again and emptying the list.
    find_->setAutoDefault(false);
    line->addWidget(pattern_, 1);
    line->addWidget(find_);
    column->addLayout(line);
    list_ = new QTreeWidget(this);
    list_->setColumnCount(3);
    list_->setHeaderLabels(
        {QStringLiteral("Slot"), QStringLiteral("Disk ID"), QStringLiteral("Path or text")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(true);
    column->addWidget(list_, 1);
    note_ = new QLabel(this);
    column->addWidget(note_);
    resize(560, 320);

    connect(find_, &QPushButton::clicked, this, [this] {
        if (search && !pattern_->text().isEmpty()) {
            search(FromQt(pattern_->text()));
        }
    });
    connect(pattern_, &QLineEdit::returnPressed, find_, &QPushButton::click);
    pattern_->installEventFilter(this);
    // A double click or Enter on a match.
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (choose && item != nullptr) {
            choose(item->data(0, Qt::UserRole).toInt());
        }
    });
}

// From the pattern, Down goes on to the matches, so that the keyboard alone
// can find and choose.
bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pattern_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down && list_->topLevelItemCount() > 0) {
        list_->setFocus();
        if (list_->currentItem() == nullptr) {
            list_->setCurrentItem(list_->topLevelItem(0));
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FindWindow::ShowListing(const FindListing& listing) {
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const FindListRow& row : listing.rows) {
        auto* item =
            new QTreeWidgetItem(QStringList{ToQt(row.slotText), ToQt(row.diskId), ToQt(row.found)});
        item->setData(0, Qt::UserRole, row.slot);
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
    list_->resizeColumnToContents(0);
    list_->resizeColumnToContents(1);
    note_->setText(ToQt(listing.note));
}

}  // namespace quarnex
