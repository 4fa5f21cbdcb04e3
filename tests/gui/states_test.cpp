// The main window as the user sees and works it: menu entries and their
// captions, the frame caption, the busy state and the Cancel command; the grid,
// selecting slots and editing descriptions in place through real mouse and key
// events, scrolling, resizing and minimising.

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <array>
#include <filesystem>

#include "commands/main_commands.hpp"
#include "commands/status.hpp"
#include "core/media_sizes.hpp"
#include "fat12/fat12_volume.hpp"
#include "gui/about_window.hpp"
#include "gui/find_window.hpp"
#include "gui_world.hpp"
#include "image/image_files.hpp"

namespace quarnex::testing {
namespace {

int Px(double twips) {
    return static_cast<int>(twips / 15.0 + 0.5);
}

class StatesTests : public QObject {
    Q_OBJECT
  private slots:
    void menusAndStripAtStart();
    void cancelOrExitWhileBusyStopsTheOperation();
    void idDialogs();
    void scanSelectClickAndExportToTheSlot();  // with the captions of each step
    void storeFilesOpenedGivenOrNewWithoutRights();
    void cutTextsShowInFullAsTooltips();
    void imageContentsWindow();
    void clicksScrollingAndEscapeMoveTheMarkersAndTheBox();
    void keysAndClicksSelectEditCommitAndDrop();
    void sizesScrollingToTheEndAndTheMinimisedState();
    void textsReadOnLightAndDarkPalettes();
};

void StatesTests::menusAndStripAtStart() {
    GuiWorld w;
    QCOMPARE(FileMenu(w.window), FileMenuWith({"Scan Drives"}));
    QCOMPARE(
        w.Caption(MenuId::File_Menu) + w.Caption(MenuId::Image_Menu) + w.Caption(MenuId::Help_Menu),
        QString("     &File         &Image         &Help     "));
    QCOMPARE(VisibleEntries(w.window.Action(MenuId::Image_Menu_Import)),
             QStringList({"&Image File", "-", "&A: (Raw)", "&B: (Raw)"}));
    QCOMPARE(VisibleEntries(w.window.Action(MenuId::Help_Menu)),
             QStringList({"&Documentation", "&System", "&About"}));
    QCOMPARE(w.window.Frame().title() + "|" + w.window.ProgressLabel().text() + "|" +
                 w.window.BufferLabel().text(),
             QString(" Disk Selection |Progress|Zeroed"));
}

void StatesTests::cancelOrExitWhileBusyStopsTheOperation() {
    // Cancel or Exit during an export, or closing while it asks for its file:
    // the export stops early; Exit unloads only after the export returned.
    enum Stop { Cancel, Exit, CloseWhileAsking };
    for (const Stop stop : {Cancel, Exit, CloseWhileAsking}) {
        GuiWorld w;
        w.ui.fake.fileAnswers.push_back(w.dir / "out.img");
        QAction& cancel = w.window.Action(MenuId::Cancel_Menu);
        QAction& import = w.window.Action(MenuId::Image_Menu_Import_Image_File);
        bool stillOpen = false;
        w.ui.fake.onPump = [&](int pump) {
            if (pump != 2) {
                return;
            }
            QVERIFY(cancel.isVisible() && cancel.isEnabled() &&
                    w.window.Action(MenuId::Menu_Spacer_3).isVisible());
            // A second operation cannot start, not even by its command.
            QVERIFY(!import.isEnabled() && !w.window.Action(MenuId::Menu_Image_Zero).isEnabled() &&
                    !w.window.Action(MenuId::Image_Menu_Contents).isEnabled() &&
                    !w.window.FloppyIdWindow().OkButton().isEnabled());
            w.window.RunCommand(MenuId::Image_Menu_Import_Image_File);
            w.window.RunCommand(MenuId::Image_Menu_Contents);
            QVERIFY(w.window.ContentsWin() == nullptr);
            QCOMPARE(w.ui.fake.fileDialogs.size(), std::size_t{1});
            (stop == Cancel ? cancel : w.window.Action(MenuId::File_Menu_Exit)).trigger();
            stillOpen = w.window.isVisible() && w.shutdowns == 0;
        };
        if (stop == CloseWhileAsking) {
            w.ui.onSaveDialog = [&w] { w.window.close(); };
        }
        QVERIFY(!cancel.isVisible());
        w.window.Action(MenuId::Image_Menu_Export_Image_File).trigger();
        QVERIFY(stop == CloseWhileAsking ? w.ui.fake.pumps <= 1
                                         : w.ui.fake.pumps == 2 && stillOpen);
        QVERIFY(w.window.ProgressLabel().text() != QString("Progress      Finished"));
        // Shutdowns, still shown, Cancel shown, Import enabled, handles left open.
        QCOMPARE((QList<int>{w.shutdowns, w.window.isVisible(), cancel.isVisible(),
                             import.isEnabled(), w.devices.OpenHandles()}),
                 (QList<int>{stop != Cancel, stop == Cancel, false, true, 0}));
    }
}

void StatesTests::idDialogs() {
    GuiWorld w;
    // OK keeps the capitals of the first 11 characters and formats with them.
    w.window.Action(MenuId::Image_Menu_Format).trigger();
    FloppyIdDialog& floppy = w.window.FloppyIdWindow();
    QCOMPARE(floppy.windowTitle() + (floppy.isVisible() && !floppy.isModal() ? "|shown" : ""),
             QString("Floppy Image Drive ID|shown"));
    QTest::keyClicks(&floppy.IdBox(), "backup disk 12");
    QTest::keyClick(&floppy.IdBox(), Qt::Key_Return);  // Enter means OK
    QCOMPARE(w.window.BufferLabel().text(), QString("FAT12 / ID = [BACKUP DISK]"));

    // After another store was selected, OK formats nothing.
    OpenStoreFile(w.ctx, w.MakeStore("first.img", "FIRST"));
    w.window.Action(MenuId::File_Menu_Format).trigger();
    UsbIdDialog& usb = w.window.UsbIdWindow();
    QVERIFY(usb.isVisible() && !usb.isModal() && usb.AppendBox().isChecked());
    QCOMPARE(usb.windowTitle() + "|" + usb.Prompt().text(),
             QString("Format USB (1000 Floppy Images)|Enter ID For USB Device first.img"));
    OpenStoreFile(w.ctx, w.MakeStore("second.img", "SECOND"));
    QCOMPARE(usb.UsbIdBox().text(), QString("SECOND"));  // refilled by the load
    usb.UsbIdBox().clear();
    QTest::keyClicks(&usb.UsbIdBox(), "new id");
    const int writesBefore = w.devices.Count(FaultOp::Write);
    QTest::mouseClick(&usb.OkButton(), Qt::LeftButton);
    QCOMPARE(usb.UsbIdBox().text(), QString("NEW ID"));
    QCOMPARE(w.devices.Count(FaultOp::Write), writesBefore);  // the dialog's own store only
}

void StatesTests::scanSelectClickAndExportToTheSlot() {
    GuiWorld w;
    const std::string store = w.MakeStore("stick", "MYSTORE", {{7, "OLDGAME007"}});
    // Slot 7 as a put stopped part way leaves it: its boot sector marked.
    PutBytes(store, SlotOffset(7) + 3, "QRNXBUSY");
    w.drives.drives = {FakeDrive{"sys", w.dir / "sys", DriveKind::Fixed, 0},
                       FakeDrive{"sdb", store, DriveKind::Removable, 1}};
    w.window.RunCommand(MenuId::File_Menu_Scan);
    w.window.RunCommand(MenuId::File_Menu_Select_1);
    QCOMPARE(FileMenu(w.window),
             FileMenuWith({"Select Device &sdb", "-", "&USB  sdb  Disks(0-999) ->  File",
                           "&File  ->  USB  sdb  Disks(0-999)", "Export &Slots To Folder...",
                           "Import Fo&lder...", "-", "&Format  USB  sdb  Disks(0-999)", "F&ind...",
                           "-", "ReScan Drives"}));
    QAction& importSlot = w.window.Action(MenuId::Image_Menu_Import_USB_DISKxxx);
    QAction& exportSlot = w.window.Action(MenuId::Image_Menu_Export_USB_DISKxxx);
    const QString frame = QString::fromStdString(" Disk Selector (%1) [sdb (" + store + ")] ");
    QCOMPARE(importSlot.text() + w.window.Frame().title(), "USB Disk # ???" + frame.arg("???"));
    QVERIFY(importSlot.isVisible() && !importSlot.isEnabled());
    const QModelIndex row7 = w.window.Grid().model()->index(6, 2);
    QCOMPARE(row7.data(Qt::ToolTipRole).toString(),
             QString("Slot 007 was not completely written: put an image into it again."));
    QVERIFY(row7.data(Qt::BackgroundRole).isValid() &&
            !row7.siblingAtRow(7).data(Qt::BackgroundRole).isValid());

    w.ClickRow(7);
    QCOMPARE(importSlot.text() + "|" + exportSlot.text(), QString("USB Disk # 007|USB Disk # 007"));
    QVERIFY(importSlot.isEnabled());
    QCOMPARE(w.window.Frame().title() + w.Cell(7, 1), frame.arg("007") + " OLDGAME007  *");

    w.model.dialogs.floppyIdText = "new disk";
    FormatImageFromDialog(w.ctx);
    w.state.slotTable.internalImage.description = "Fresh volume";
    w.window.RunCommand(MenuId::Image_Menu_Export_USB_DISKxxx);

    // The rewritten ID cell has lost its marker; the slot entries wait for a click.
    QCOMPARE(w.Cell(7, 1) + "|" + w.Cell(7, 2) + "|" + importSlot.text() + "|" + exportSlot.text(),
             QString(" NEW DISK    |Fresh volume|USB Disk # ???|USB Disk # ???"));
    QVERIFY(exportSlot.isVisible() && !exportSlot.isEnabled() && !importSlot.isEnabled() &&
            !row7.data(Qt::BackgroundRole).isValid());  // written whole: no longer marked
}

void StatesTests::storeFilesOpenedGivenOrNewWithoutRights() {
    // No rights: no scan, so no store and no usable grid; files stay on offer.
    GuiWorld w(0);
    w.ClickRow(5);
    QCOMPARE(w.Cell(5, 1), QString(" ----------- "));
    // Files given to the program open as the menus would: a floppy image into
    // the internal image, a file of neither length refused.
    const std::string floppy = w.dir / "disk.img", small = w.dir / "small.img";
    MakeSparseFile(floppy, kImageBytes);
    PutBlankVolume(floppy, 0, "PARTS");
    MakeSparseFile(small, 1000);
    w.window.OpenFile(floppy);
    w.window.OpenFile(small);
    QCOMPARE(w.window.BufferLabel().text(), QString::fromStdString(floppy));
    QCOMPARE(w.ui.fake.messages.size(), std::size_t{1});
    QCOMPARE(w.ui.fake.LastMessage().title + "|" + w.ui.fake.LastMessage().text,
             "Image File Length Invalid|Not a 1000 Floppy Image File.\r\n" + small +
                 "\r\nFile Length = 1,000");
    // The right length is not enough: a blank file is refused, nothing opened.
    const std::string blank = w.dir / "blank.img";
    MakeSparseFile(blank, kStoreBytes);
    QVERIFY(!OpenStoreFile(w.ctx, blank) && w.state.devices.count == 0);
    QCOMPARE(w.ui.fake.messages.at(1).title, std::string("Not A Store"));

    // A new store file: its name, then the IDs as Format asks for them, Enter
    // for OK. It is a formatted store of the whole length, sparse, opened and
    // selected.
    const std::string fresh = w.dir / "fresh.img";
    w.ui.fake.fileAnswers.push_back(fresh);
    w.window.RunCommand(MenuId::File_Menu_NewStoreFile);
    UsbIdDialog& usb = w.window.UsbIdWindow();
    QVERIFY(usb.isVisible() && !w.devices.FileExists(fresh));  // made on OK
    QCOMPARE(usb.Prompt().toolTip(),
             QString::fromStdString("Enter ID For New Store File " + fresh));
    usb.UsbIdBox().clear();
    QTest::keyClicks(&usb.UsbIdBox(), "shop");
    usb.BaseIdBox().clear();
    QTest::keyClicks(&usb.BaseIdBox(), "fdisk");
    QTest::keyClick(&usb.BaseIdBox(), Qt::Key_Return);
    QCOMPARE(FileSize(fresh), kStoreBytes);
    QVERIFY(AllocatedBytes(fresh) < kStoreBytes / 100);
    QCOMPARE(w.Cell(999, 1) + "|" + QString::fromStdString(*w.state.slotTable.storeId),
             QString(" FDISK999    |SHOP"));
    QCOMPARE(w.ui.fake.messages.size(), std::size_t{2});
    // An existing name is never overwritten by New: said before the IDs.
    w.ui.fake.fileAnswers.push_back(small);
    w.window.RunCommand(MenuId::File_Menu_NewStoreFile);
    QVERIFY(w.ui.fake.messages.back().text.find(small) != std::string::npos && !usb.isVisible());
    QCOMPARE(ReadFileBytes(small, 0, 2000).size(), std::size_t{1000});
    QCOMPARE(w.state.SelectedEntry().path, fresh);
    QCOMPARE(w.devices.OpenHandles(), 0);
    // A store given to the program opens as Open Store Image File does.
    const std::string store = w.MakeStore("store.img", "MYSTORE");
    w.window.OpenFile(store);
    QCOMPARE(w.window.Frame().title() + QString::number(w.ui.fake.messages.size()),
             QString::fromStdString(" Disk Selector (?\?\?) [store.img (" + store + ")] 3"));
}

void StatesTests::cutTextsShowInFullAsTooltips() {
    GuiWorld w;
    const std::string name = "a folder with a name long enough to be cut off";
    const std::string folder = w.dir / name;
    std::filesystem::create_directory(folder);
    const std::string image = folder + "/disk.img";
    WriteFileBytes(image, std::vector<unsigned char>(kImageBytes, 0));
    w.ui.fake.fileAnswers.push_back(image);
    w.window.RunCommand(MenuId::Image_Menu_Import_Image_File);
    const QString path = QString::fromStdString(image);
    QCOMPARE(w.window.BufferLabel().toolTip() + "|" + w.window.ActionLabel().toolTip(),
             path + "|Import of Disk Image " + path);
    QVERIFY(!w.window.BufferLabel().text().contains(path));  // shortened
    QVERIFY(OpenStoreFile(w.ctx, w.MakeStore(name + "/store.img", "STORE")));
    QGroupBox& frame = w.window.Frame();
    QVERIFY(frame.title().contains("store.img") && frame.toolTip() == frame.title());
    // A long description in its cell, in full when the pointer rests on it.
    const QString text(60, 'x');
    w.state.slotTable.SetDescription(4, text.toStdString());
    DiskGridView& grid = w.window.Grid();
    QHelpEvent help(QEvent::ToolTip,
                    QPoint(grid.columnViewportPosition(2) + 5, grid.rowViewportPosition(3) + 3),
                    grid.viewport()->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(grid.viewport(), &help);
    QCOMPARE(QToolTip::text(), text);
    // Texts shown whole have none.
    ZeroImage(w.ctx);
    QCOMPARE(w.window.BufferLabel().toolTip() + w.window.ActionLabel().toolTip(), QString());
}

void StatesTests::imageContentsWindow() {
    GuiWorld w;
    const auto image = w.state.imageBuffer.Span();
    fat12::BuildBlankVolume(image, "GUI");
    QVERIFY(WriteImageFile(image, w.ctx.clock, "Hello there.txt", "hi").Ok() &&
            MakeImageFolder(image, w.ctx.clock, "Docs").Ok() &&
            WriteImageFile(image, w.ctx.clock, "Docs/in.txt", "").Ok());
    QCOMPARE(VisibleEntries(w.window.Action(MenuId::Image_Menu)),
             QStringList({"&Import From", "&Export To", "&Contents...", "-", "&Format", "&Zero"}));

    w.window.Action(MenuId::Image_Menu_Contents).trigger();
    ContentsWindow* contents = w.window.ContentsWin();
    QVERIFY(contents != nullptr && contents->isVisible());
    QVERIFY2(contents->screen()->availableGeometry().contains(contents->frameGeometry()),
             "wholly on the screen, with or without a window manager");
    QTreeWidget& list = contents->List();
    auto rows = [&list] {
        QStringList texts;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            for (int column = 0; column < 4; ++column) {
                texts << list.topLevelItem(i)->text(column);
            }
        }
        return texts;
    };
    QCOMPARE(rows(), QStringList({"Docs", "", "2026-03-14 12:00", "", "Hello there.txt", "2",
                                  "2026-03-14 12:00", "A"}));
    QVERIFY(contents->AddButton().isEnabled() && !contents->DeleteButton().isEnabled() &&
            !contents->UpButton().isEnabled());
    list.setCurrentItem(list.topLevelItem(0));
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(contents->FolderLabel().text(), QString("Folder: /Docs"));
    QCOMPARE(rows(), QStringList({"..", "", "", "", "in.txt", "0", "2026-03-14 12:00", "A"}));
    // A file dropped from the file manager lands in the folder shown.
    WriteFileText(w.dir / "dropped.txt", "from the desktop");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(w.dir / "dropped.txt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &drop);
    QCOMPARE(list.topLevelItemCount(), 3);
    QCOMPARE(list.topLevelItem(1)->text(0), QString("dropped.txt"));
    QTest::keyClick(&list, Qt::Key_Backspace);
    QCOMPARE(contents->FolderLabel().text(), QString("Folder: /"));
    // Exit asks before the dropped file is lost; No keeps the program.
    w.window.Action(MenuId::File_Menu_Exit).trigger();
    QVERIFY(w.window.isVisible() && w.shutdowns == 0);
    QCOMPARE(w.ui.fake.LastMessage().title, std::string("Internal Image Changed"));
}

void StatesTests::clicksScrollingAndEscapeMoveTheMarkersAndTheBox() {
    GuiWorld w;
    w.ClickRow(5);
    w.ClickRow(4);
    QCOMPARE(w.Cell(5, 1) + "|" + w.Cell(4, 1), QString(" -----------| ----------- *"));
    w.DoubleClickRow(6);
    EditBox& edit = w.window.Edit();
    const int top = edit.y();
    QTest::keyClicks(&edit, "typed");
    // Header clicks change nothing and hand the keyboard back to the edit:
    // not the selection, nor where the columns and the box sit (" Disk
    // Description" and the line at its right end included).
    DiskGridView& grid = w.window.Grid();
    QHeaderView* header = grid.horizontalHeader();
    const QRect box = edit.geometry();
    const int column2 = grid.columnViewportPosition(2);
    for (const int x : {40, column2 + 30, column2 + grid.columnWidth(2) - 1}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    }
    QCOMPARE(w.Cell(6, 1) + "|" + w.Cell(4, 1), QString(" ----------- >| -----------"));
    QVERIFY(edit.hasFocus() && edit.geometry() == box);
    QCOMPARE(QList<int>({grid.horizontalScrollBar()->value(), grid.columnViewportPosition(2)}),
             QList<int>({0, column2}));

    w.window.GridScroll().setValue(3);  // row 6 is now the fourth row shown
    QVERIFY(edit.isVisible() && edit.y() == top - 2 * w.window.Grid().rowHeight(0));
    w.window.GridScroll().setValue(10);  // scrolled off the top
    QVERIFY(!edit.isVisible() && w.model.edit.EditingActive);
    w.window.GridScroll().setValue(1);
    QVERIFY(edit.isVisible() && edit.y() == top);
    QCOMPARE(edit.toPlainText(), QString("typed"));

    // Escape drops the text and restores the selection marker; with another
    // row clicked meanwhile, the edited row is left bare.
    QTest::keyClick(&edit, Qt::Key_Escape);
    QCOMPARE(w.Cell(6, 1) + "|" + w.Cell(6, 2), QString(" ----------- *|"));
    w.DoubleClickRow(9);
    w.ClickRow(5);
    QCOMPARE(w.Cell(9, 1), QString(" ----------- >"));
    QTest::keyClick(&edit, Qt::Key_Escape);
    QCOMPARE(w.Cell(9, 1) + "|" + w.Cell(5, 1), QString(" -----------| ----------- *"));
    w.window.GridScroll().setValue(3);  // the box stays hidden through scrolling
    w.window.GridScroll().setValue(1);
    QVERIFY(!edit.isVisible());
}

void StatesTests::keysAndClicksSelectEditCommitAndDrop() {
    GuiWorld w;
    const std::string path = w.MakeStore("store.img", "MYSTORE", {{9, "WORK009"}});
    QVERIFY(OpenStoreFile(w.ctx, path));
    DiskGridView& grid = w.window.Grid();
    EditBox& edit = w.window.Edit();
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window) && grid.hasFocus());
    auto shown = [&grid](int slot) {  // inside the grid, all but its bottom line
        const int top = grid.rowViewportPosition(slot - 1);
        return top >= 0 && top + grid.rowHeight(slot - 1) <= grid.viewport()->height() + 1;
    };
    // Key, the slot selected (0: the last row in view, -1: the first), whether the grid scrolls.
    const Qt::KeyboardModifiers none, ctrl = Qt::ControlModifier;
    const std::vector<std::tuple<int, Qt::KeyboardModifiers, int, bool>> steps{
        {Qt::Key_Down, none, 1, false},     {Qt::Key_Down, none, 2, false},
        {Qt::Key_Up, none, 1, false},       {Qt::Key_Up, none, 1, false},
        {Qt::Key_PageDown, none, 0, false}, {Qt::Key_PageDown, none, 0, true},
        {Qt::Key_PageUp, none, -1, false},  {Qt::Key_End, none, 0, false},
        {Qt::Key_Home, none, -1, false},    {Qt::Key_End, ctrl, 999, true},
        {Qt::Key_Home, ctrl, 1, true}};
    for (const auto& [key, modifiers, expected, scrolls] : steps) {
        const int topBefore = w.window.TopRow();
        QTest::keyClick(&grid, static_cast<Qt::Key>(key), modifiers);
        QCOMPARE(w.window.TopRow() != topBefore, scrolls);
        const int slot = w.state.selectedDisk;
        const QModelIndex id = grid.model()->index(slot - 1, 1);
        const int top = grid.rowViewportPosition(slot - 1);  // scrolled into view
        QVERIFY2(
            top >= 0 && top < grid.viewport()->height() &&
                (expected > 0    ? slot == expected
                 : expected == 0 ? !shown(slot + 1)
                                 : !shown(slot - 1)) &&
                id.data().toString().endsWith(" *") &&
                w.window.Frame().title().contains(QString(" (%1) ").arg(slot, 3, 10, QChar('0'))),
            qPrintable(QString::number(slot)));
        QCOMPARE(id.data(Qt::BackgroundRole).value<QBrush>(),
                 QGuiApplication::palette().highlight());
        QVERIFY(!grid.model()->index(slot, 1).data(Qt::BackgroundRole).isValid());
    }
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(&grid, Qt::Key_Down);
    }
    // A double-click opens the edit, another closes it: unchanged, nothing written.
    const int writes = w.devices.Count(FaultOp::Write);
    w.DoubleClickRow(9);
    w.DoubleClickRow(9);
    QVERIFY(w.Cell(9, 1) == " WORK009     *" && w.devices.Count(FaultOp::Write) == writes);
    // F2 opens it too; Enter breaks the line, the box grows by it, Ctrl+Enter
    // keeps: one look at the file, one replacement of it.
    QTest::keyClick(&grid, Qt::Key_F2);
    QVERIFY(w.Cell(9, 1).endsWith(" >") && edit.hasFocus());
    const int oneLine = edit.height();
    const int opens = w.devices.Count(FaultOp::Open);
    QTest::keyClicks(&edit, "Tax 2024");
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, "receipts");
    QVERIFY(edit.height() > oneLine);
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(w.Cell(9, 1).endsWith(" *") && grid.hasFocus() && !edit.isVisible());
    QVERIFY(w.devices.Count(FaultOp::Open) == opens + 2 && grid.rowHeight(8) > grid.rowHeight(7));
    const std::string file =
        fat12::ReadRootFile(ReadVolume(path, 0, kImageBytes), "DISKS.TXT").contents;
    QVERIFY2(file.find("009   1>Tax 2024\r\n009   2>receipts") != std::string::npos, file.c_str());
    QTest::keyClick(&grid, Qt::Key_F2);
    QTest::keyClicks(&edit, " dropped");
    QTest::keyClick(&edit, Qt::Key_Escape);
    QVERIFY(w.Cell(9, 2) == "Tax 2024\nreceipts" && grid.hasFocus());
    // F5 reads the open store again, as choosing it does.
    w.state.slotTable.SetDescription(9, "only in the window");
    QTest::keyClick(&w.window, Qt::Key_F5);
    QCOMPARE(w.Cell(9, 2), QString("Tax 2024\nreceipts"));
    // Ctrl+F, a pattern, Enter; Down to the matches and Enter selects that slot.
    QTest::keyClick(&grid, Qt::Key_Home, ctrl);
    QTest::keyClick(&w.window, Qt::Key_F, ctrl);
    auto* find = w.window.findChild<FindWindow*>();
    QVERIFY(find != nullptr && find->isVisible());
    QTest::keyClicks(&find->Pattern(), "RECEIPT");
    QTest::keyClick(&find->Pattern(), Qt::Key_Return);
    QTest::keyClick(&find->Pattern(), Qt::Key_Down);
    QTest::keyClick(&find->List(), Qt::Key_Return);
    QVERIFY(find->List().currentItem() != nullptr);
    QCOMPARE(find->List().currentItem()->text(2), QString("Description: Tax 2024 / receipts"));
    QCOMPARE(w.state.selectedDisk, 9);
    QCOMPARE(w.devices.OpenHandles(), 0);
}

void StatesTests::sizesScrollingToTheEndAndTheMinimisedState() {
    GuiWorld w;
    DiskGridView& grid = w.window.Grid();
    // The header and 20 slot rows at first; every ID fits with its marker.
    QCOMPARE(grid.rowAt(grid.viewport()->height() - 3), 19);
    QVERIFY(QFontMetrics(grid.font()).horizontalAdvance(" 12345678901 >") < grid.columnWidth(1));
    // Scrolled to the end among tall rows, slot 999 ends inside the grid and
    // one row more would not fit.
    for (int row = 990; row <= 999; ++row) {
        w.state.slotTable.SetDescription(row, "first\r\nsecond\r\nthird");
    }
    w.model.grid.FitRowHeights();
    QScrollBar& scroll = w.window.GridScroll();
    scroll.setValue(2);  // the range follows the rows on the next move
    scroll.setValue(999);
    int rowsHeight = 0;
    for (int row = scroll.maximum(); row <= 999; ++row) {
        rowsHeight += grid.rowHeight(row - 1);
    }
    const int viewport = grid.viewport()->height();
    QVERIFY(rowsHeight <= viewport + 1 &&
            rowsHeight + grid.rowHeight(scroll.maximum() - 2) > viewport);
    scroll.setValue(1);

    // Wider: only the descriptions column and the edit box widen.
    w.DoubleClickRow(3);
    const QList<int> before{grid.columnWidth(0), grid.columnWidth(1), grid.columnWidth(2),
                            w.window.Edit().width()};
    w.window.resize(w.window.width() + 300, w.window.height() + 150);
    QTest::qWait(20);
    QCOMPARE((QList<int>{grid.columnWidth(0), grid.columnWidth(1), grid.columnWidth(2) - 300,
                         w.window.Edit().width() - 300}),
             before);

    // The outer frame, decorations included, keeps the smallest size.
    w.window.resize(200, 150);
    QTest::qWait(20);
    QCOMPARE(w.window.frameGeometry().size(), QSize(Px(kMinWindowWidth), Px(kMinWindowHeight)));

    // The companions follow the window into the minimised state and back.
    QWidget about, help;
    w.window.SetCompanions(Companions{&about, &help, {}, {}, {}, {}});
    about.show();
    const QRect placed = w.window.Frame().geometry();
    w.window.setWindowState(Qt::WindowMinimized);
    QTest::qWait(20);
    QVERIFY(!about.isVisible() && !help.isVisible());
    QCOMPARE(w.window.Frame().geometry(), placed);  // nothing laid out meanwhile
    w.window.setWindowState(Qt::WindowNoState);
    QTest::qWait(20);
    QVERIFY(about.isVisible() && !help.isVisible());

    // Closed while restored, it stays closed through the next resize.
    about.hide();
    w.window.resize(w.window.width() + 10, w.window.height());
    w.window.setWindowState(Qt::WindowMinimized);
    w.window.setWindowState(Qt::WindowNoState);
    QTest::qWait(20);
    QVERIFY(!about.isVisible());
}

// Text reads on its background: some grey of the shot lies at least 100 of
// 255 from its most common one.
bool TextReads(const QImage& shot) {
    const QImage grey = shot.convertToFormat(QImage::Format_Grayscale8);
    std::array<int, 256> counts{};
    for (int y = 0; y < grey.height(); ++y) {
        std::for_each_n(grey.constScanLine(y), grey.width(), [&](uchar g) { ++counts[g]; });
    }
    const auto back = std::max_element(counts.begin(), counts.end()) - counts.begin();
    return std::any_of(counts.begin(), counts.end(), [&](const int& n) {
        return n > 0 && std::abs(&n - counts.data() - back) >= 100;
    });
}

void StatesTests::textsReadOnLightAndDarkPalettes() {
    const QPalette desktop = QApplication::palette();
    for (const bool isDark : {false, true}) {
        QApplication::setPalette(isDark ? QPalette(Qt::white, QColor(53, 53, 53), Qt::gray,
                                                   Qt::black, Qt::darkGray, Qt::white, Qt::white,
                                                   QColor(35, 35, 35), QColor(53, 53, 53))
                                        : desktop);
        GuiWorld w;
        SetBufferLabel(w.ctx, kUnreliableImageCaption, true);  // on its own colour
        AboutWindow about;
        about.ShowAbout();
        EditBox edit;
        edit.setPlainText("Lathe");
        QCOMPARE(
            w.window.centralWidget()->palette().color(QPalette::Window) == QColor(212, 208, 200),
            !isDark);  // the design grey on a light palette
        const auto* frame = w.window.findChild<QGroupBox*>();
        QVERIFY(
            TextReads(w.window.grab({frame->mapTo(&w.window, QPoint()), QSize(frame->width(), 20)})
                          .toImage()));
        QVERIFY(TextReads(edit.grab().toImage()));
        for (QWidget* window : {static_cast<QWidget*>(&w.window), static_cast<QWidget*>(&about)}) {
            for (const QLabel* label : window->findChildren<QLabel*>()) {
                QVERIFY2(label->text().isEmpty() ||
                             TextReads(window->grab({label->mapTo(window, QPoint()), label->size()})
                                           .toImage()),
                         qPrintable(label->text()));
            }
        }
    }
    QApplication::setPalette(desktop);
}

}  // namespace

std::unique_ptr<QObject> MakeStatesTests() {
    return std::make_unique<StatesTests>();
}

}  // namespace quarnex::testing

#include "states_test.moc"
