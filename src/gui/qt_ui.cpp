#include "gui/qt_ui.hpp"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>

#include "gui/qt_text.hpp"
#include "gui/query_window.hpp"

namespace quarnex {

QStringList QtFilters(const std::string& filter) {
    const QStringList parts = QString::fromLatin1(filter.c_str()).split(QChar('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QChar(';'), QChar(' '));
        filters << (parts[i].contains(QChar('(')) ? parts[i] : parts[i] + " (" + patterns + ")");
    }
    return filters;
}

MessageAnswer QtUi::ShowMessage(const MessageRequest& request) {
    QMessageBox box(parent_);
    box.setWindowTitle(ToQt(request.title));
    // File names in the texts are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQt(request.text));
    switch (request.icon) {
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    if (request.buttons == MessageButtons::RetryCancel) {
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        return box.exec() == QMessageBox::Retry ? MessageAnswer::Retry : MessageAnswer::Cancel;
    }
    if (request.buttons == MessageButtons::OkCancel) {
        // Questions that put data at stake: Cancel is the safe default.
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
    if (request.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

std::optional<std::string> QtUi::AskFile(const FileDialogRequest& request, FileDialogKind kind) {
    QFileDialog dialog(parent_, ToQt(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    const bool save = kind == FileDialogKind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.chosen == ChosenFile::Existing ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
    if (save && request.replacePrompt == ReplacePrompt::None) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    const QStringList filters = QtFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const qsizetype index =
            std::clamp<qsizetype>(request.filterIndex - 1, 0, filters.size() - 1);
        dialog.selectNameFilter(filters[index]);
    }
    dialog.setDefaultSuffix(ToQt(request.defaultExtension));
    if (!request.fileName.empty()) {
        dialog.selectFile(ToQt(request.fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // Paths go to the file system in its own encoding.
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::optional<std::string> QtUi::AskOpenFile(const FileDialogRequest& request) {
    return AskFile(request, FileDialogKind::Open);
}

std::optional<std::string> QtUi::AskSaveFile(const FileDialogRequest& request) {
    return AskFile(request, FileDialogKind::Save);
}

int QtUi::AskAdvisory() {
    QueryWindow query(scale_);
    return query.Ask();
}

void QtUi::Changed(WindowPart part) {
    if (renderer_ != nullptr) {
        renderer_->Render(part);
    }
}

void QtUi::PumpEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace quarnex
