// The main window's menu bar: built from the plain menu model, rendered from
// it after every change, and every entry wired to its command.

#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QShortcut>

#include "commands/folder_commands.hpp"
#include "commands/grid_keys.hpp"
#include "commands/main_commands.hpp"
#include "commands/open_given_file.hpp"
#include "commands/safely_remove.hpp"
#include "gui/main_window.hpp"
#include "gui/qt_text.hpp"
#include "state/progress.hpp"

namespace quarnex {

namespace {

// A folder chosen in a folder dialog; empty when cancelled.
std::string ChooseFolder(QWidget* parent, const QString& title) {
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace

QAction* MainWindow::AddEntry(QMenu* menu, MenuId id) {
    const MenuEntry& entry = ctx_.window.menus[id];
    QAction* action = nullptr;
    if (entry.caption == "-") {
        action = menu->addSeparator();
    } else {
        action = menu->addAction(ToQt(entry.caption));
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    }
    actions_.at(static_cast<std::size_t>(id)) = action;
    return action;
}

QMenu* MainWindow::AddMenu(QMenu* parent, MenuId id) {
    QMenu* menu = parent != nullptr ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
    actions_.at(static_cast<std::size_t>(id)) = menu->menuAction();
    return menu;
}

void MainWindow::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto barEntry = [this, bar](MenuId id) {
        QAction* action = bar->addAction(QString());
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        actions_.at(static_cast<std::size_t>(id)) = action;
    };

    QMenu* file = AddMenu(nullptr, MenuId::File_Menu);
    for (auto id = static_cast<std::size_t>(MenuId::File_Menu_OpenStoreFile);
         id <= static_cast<std::size_t>(MenuId::File_Menu_Exit); ++id) {
        AddEntry(file, static_cast<MenuId>(id));
    }
    barEntry(MenuId::Menu_Spacer_1);

    imageMenu_ = AddMenu(nullptr, MenuId::Image_Menu);
    connect(imageMenu_, &QMenu::aboutToShow, this, &MainWindow::OnImageMenuOpening);
    QMenu* import = AddMenu(imageMenu_, MenuId::Image_Menu_Import);
    for (MenuId id : {MenuId::Image_Menu_Import_Image_File, MenuId::Image_Menu_Import_USB_DISKxxx,
                      MenuId::Image_Menu_Separator_1, MenuId::Image_Menu_Import_A_Raw,
                      MenuId::Image_Menu_Import_B_Raw}) {
        AddEntry(import, id);
    }
    QMenu* exportTo = AddMenu(imageMenu_, MenuId::Menu_Image_Export);
    for (MenuId id : {MenuId::Image_Menu_Export_Image_File, MenuId::Image_Menu_Export_USB_DISKxxx,
                      MenuId::Image_Menu_Separator_2, MenuId::Image_Menu_Export_A_Raw,
                      MenuId::Image_Menu_Export_B_Raw}) {
        AddEntry(exportTo, id);
    }
    for (MenuId id : {MenuId::Image_Menu_Contents, MenuId::Menu_Image_Separator_3,
                      MenuId::Image_Menu_Format, MenuId::Menu_Image_Zero}) {
        AddEntry(imageMenu_, id);
    }
    barEntry(MenuId::Menu_Spacer_2);

    QMenu* help = AddMenu(nullptr, MenuId::Help_Menu);
    for (MenuId id :
         {MenuId::Help_Menu_Documentation, MenuId::Help_Menu_System, MenuId::Help_Menu_About}) {
        AddEntry(help, id);
    }
    barEntry(MenuId::Menu_Spacer_3);
    barEntry(MenuId::Cancel_Menu);
    RenderMenus();
}

void MainWindow::CreateShortcuts() {
    // Qt shows each beside its entry's caption; the captions stay as they are.
    Action(MenuId::File_Menu_OpenStoreFile).setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Action(MenuId::File_Menu_NewStoreFile).setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    Action(MenuId::File_Menu_Exit).setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Action(MenuId::File_Menu_Find).setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    Action(MenuId::Help_Menu_Documentation).setShortcut(QKeySequence(Qt::Key_F1));
    // F5 stands for an entry that changes with the state, so it has none.
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this,
            [this] { RunCommand(RefreshKeyCommand(ctx_.state)); });
}

void MainWindow::RenderMenus() {
    const MenuModel& menus = ctx_.window.menus;
    for (std::size_t i = 0; i < kMenuCount; ++i) {
        const auto id = static_cast<MenuId>(i);
        QAction* action = actions_.at(i);
        if (action == nullptr) {
            continue;
        }
        const MenuEntry& entry = menus[id];
        if (!action->isSeparator()) {
            action->setText(ToQt(entry.caption));
        }
        action->setVisible(entry.visible);
        action->setEnabled(EffectivelyEnabled(menus, id));
    }
    // An exit asked for while a command was still choosing its file stops
    // the operation that command then starts (entering the busy state
    // clears the cancel flag).
    if (exitPending_ && menus.busy) {
        ctx_.state.cancelRequested = true;
    }
    // Every state change passes here: a store selected or forgotten.
    ApplyGridUsable();
    // The ID dialogs start operations too.
    if (usbIdDialog_ != nullptr) {
        usbIdDialog_->OkButton().setEnabled(!menus.busy);
        floppyIdDialog_->OkButton().setEnabled(!menus.busy);
    }
}

bool MainWindow::MayRun(MenuId id) const {
    const MenuModel& menus = ctx_.window.menus;
    if (!menus[id].visible || !EffectivelyEnabled(menus, id)) {
        return false;
    }
    // Nothing but cancelling, help and exit may start inside a running command.
    return commandDepth_ == 0 || AllowedWhileBusy(id);
}

template <typename Fn>
void MainWindow::Guarded(Fn&& fn) {
    ++commandDepth_;
    fn();
    --commandDepth_;
    FinishCommand();
}

void MainWindow::FinishCommand() {
    if (commandDepth_ == 0 && exitPending_) {
        exitPending_ = false;
        close();
    }
}

void MainWindow::RunCommand(MenuId id) {
    if (!MayRun(id)) {
        return;
    }
    if (id == MenuId::Cancel_Menu) {
        CancelCommand(ctx_);
        return;
    }
    if (id == MenuId::File_Menu_Exit) {
        RequestExit();
        return;
    }
    Guarded([this, id] { Dispatch(id); });
}

void MainWindow::OpenFile(const std::string& path) {
    if (commandDepth_ == 0) {
        Guarded([this, &path] { OpenGivenFile(ctx_, path); });
    }
}

void MainWindow::RequestExit() {
    close();  // the close handler defers while a command runs
}

void MainWindow::OnImageMenuOpening() {
    if (commandDepth_ == 0) {
        RefreshFloppyEntries(ctx_);
    }
}

void MainWindow::OnFormatStoreOk() {
    if (ctx_.window.menus.busy || commandDepth_ > 0) {
        return;
    }
    Guarded([this] {
        if (usbIdDialog_->ForNewFile()) {
            NewStoreFileFromDialog(ctx_, usbIdDialog_->OpenedForPath());
        } else {
            FormatStoreFromDialog(ctx_, usbIdDialog_->OpenedForPath());
        }
    });
}

void MainWindow::OnFormatImageOk() {
    if (ctx_.window.menus.busy || commandDepth_ > 0) {
        return;
    }
    Guarded([this] { FormatImageFromDialog(ctx_); });
}

void MainWindow::OpenContentsWindow() {
    if (contents_ == nullptr) {
        contents_ = new ContentsWindow(ctx_, this);
    }
    contents_->Open();
}

void MainWindow::OpenFindWindow() {
    if (find_ == nullptr) {
        find_ = new FindWindow(this);
        find_->search = [this](const std::string& pattern) {
            if (commandDepth_ == 0 && !ctx_.window.menus.busy) {
                Guarded(
                    [this, &pattern] { find_->ShowListing(FindInSelectedStore(ctx_, pattern)); });
            }
        };
        find_->choose = [this](int slot) { SelectFoundSlot(slot); };
    }
    find_->show();
    find_->raise();
    find_->activateWindow();
    find_->Pattern().setFocus();
    find_->Pattern().selectAll();
}

void MainWindow::Dispatch(MenuId id) {
    ProgramState& state = ctx_.state;
    switch (id) {
        case MenuId::File_Menu_OpenStoreFile:
            OpenStoreFileCommand(ctx_);
            break;
        case MenuId::File_Menu_NewStoreFile:
            // The IDs are asked for as the Format command asks for them.
            if (const std::optional<std::string> path = AskNewStoreFile(ctx_)) {
                usbIdDialog_->OpenForNewFile(*path);
            }
            break;
        case MenuId::File_Menu_Select_1:
        case MenuId::File_Menu_Select_2:
        case MenuId::File_Menu_Select_3:
        case MenuId::File_Menu_Select_4:
            SelectDevice(ctx_,
                         static_cast<int>(id) - static_cast<int>(MenuId::File_Menu_Select_1) + 1);
            break;
        case MenuId::File_Menu_Export:
            ExportStoreToFile(ctx_);
            break;
        case MenuId::File_Menu_Import:
            ImportStoreFromFile(ctx_);
            break;
        case MenuId::File_Menu_ExportFolder:
            if (const std::string folder = ChooseFolder(this, "Export Slots To Folder");
                !folder.empty()) {
                ExportSlotsToFolder(ctx_, folder);
            }
            break;
        case MenuId::File_Menu_ImportFolder:
            if (const std::string folder = ChooseFolder(this, "Import Folder"); !folder.empty()) {
                ImportFolder(ctx_, folder);
            }
            break;
        case MenuId::File_Menu_Format:
            if (state.selectedDevice != 0) {
                usbIdDialog_->Open(state.SelectedEntry().name, state.SelectedEntry().path);
            }
            break;
        case MenuId::File_Menu_Find:
            OpenFindWindow();
            break;
        case MenuId::File_Menu_Scan:
            ScanStores(ctx_);
            break;
        case MenuId::File_Menu_SafelyRemove:
            SafelyRemoveSelected(ctx_);
            break;
        case MenuId::Image_Menu_Import_Image_File:
            ImportImage(ctx_, 0);
            break;
        case MenuId::Image_Menu_Import_USB_DISKxxx:
            ImportImageFromSlot(ctx_);
            break;
        case MenuId::Image_Menu_Import_A_Raw:
            ImportImage(ctx_, 'A');
            break;
        case MenuId::Image_Menu_Import_B_Raw:
            ImportImage(ctx_, 'B');
            break;
        case MenuId::Image_Menu_Export_Image_File:
            ExportImage(ctx_, 0);
            break;
        case MenuId::Image_Menu_Export_USB_DISKxxx:
            ExportImageToSlot(ctx_);
            break;
        case MenuId::Image_Menu_Export_A_Raw:
            ExportImage(ctx_, 'A');
            break;
        case MenuId::Image_Menu_Export_B_Raw:
            ExportImage(ctx_, 'B');
            break;
        case MenuId::Image_Menu_Format:
            floppyIdDialog_->Open();
            break;
        case MenuId::Image_Menu_Contents:
            OpenContentsWindow();
            break;
        case MenuId::Menu_Image_Zero:
            ZeroImage(ctx_);
            break;
        case MenuId::Help_Menu_Documentation:
            if (companions_.showHelp) {
                companions_.showHelp();
            }
            break;
        case MenuId::Help_Menu_System:
            if (companions_.showSystem) {
                companions_.showSystem();
            }
            break;
        case MenuId::Help_Menu_About:
            if (companions_.showAbout) {
                companions_.showAbout();
            }
            break;
        default:
            break;
    }
}

}  // namespace quarnex
