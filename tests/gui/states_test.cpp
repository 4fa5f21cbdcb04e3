// The main window's states as the user sees them: menu entries and their
// captions, the frame caption, the busy state and the Cancel command.

#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QToolTip>
#include <filesystem>

#include "commands/main_commands.hpp"
#include "core/media_sizes.hpp"
#include "fat12/fat12_volume.hpp"
#include "gui_world.hpp"
#include "image/image_files.hpp"

namespace quarnex::testing {
namespace {

class StatesTests : public QObject {
    Q_OBJECT
  private slots:
    void menusAndStripAtStart();
    void cancelOrExitWhileBusyStopsTheOperation();
    void idDialogs();
    void scanSelectClickAndExportToTheSlot();  // with the captions of each step
    void storeImageFilesWithoutRights();
    void cutTextsShowInFullAsTooltips();
    void imageContentsWindow();
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
            QVERIFY(cancel.isVisible() && cancel.isEnabled());
            QVERIFY(w.window.Action(MenuId::Menu_Spacer_3).isVisible());
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
        QCOMPARE(w.shutdowns, stop == Cancel ? 0 : 1);
        QCOMPARE(w.window.isVisible(), stop == Cancel);
        QVERIFY(!cancel.isVisible() && import.isEnabled());
        QCOMPARE(w.devices.OpenHandles(), 0);
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

    // After another store was selected, OK formats nothing and says why.
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
    QCOMPARE(w.devices.Count(FaultOp::Write), writesBefore);
    QCOMPARE(QString::fromStdString(w.ui.fake.messages.back().text).section("\r\n", 0, 0),
             QString("The selected device changed after this dialog was opened."));
}

void StatesTests::scanSelectClickAndExportToTheSlot() {
    GuiWorld w;
    const std::string store = w.MakeStore("stick", "MYSTORE", {{7, "OLDGAME007"}});
    // Slot 7 as a put stopped part way leaves it: its boot sector marked.
    PutBytes(store, SlotOffset(7) + 3, "QRNXBUSY");
    w.state.devices.Row(1) = DeviceEntry{};
    w.drives.drives = {FakeDrive{"sys", w.dir / "sys", DriveKind::Fixed, 0},
                       FakeDrive{"sdb", store, DriveKind::Removable, 1}};
    w.window.RunCommand(MenuId::File_Menu_Scan);
    w.window.RunCommand(MenuId::File_Menu_Select_1);
    QCOMPARE(FileMenu(w.window),
             FileMenuWith({"Select Device &sdb", "-", "&USB  sdb  Disks(0-999) ->  File",
                           "&File  ->  USB  sdb  Disks(0-999)", "-",
                           "&Format  USB  sdb  Disks(0-999)", "-", "ReScan Drives"}));
    QAction& importSlot = w.window.Action(MenuId::Image_Menu_Import_USB_DISKxxx);
    QAction& exportSlot = w.window.Action(MenuId::Image_Menu_Export_USB_DISKxxx);
    const QString frame = QString::fromStdString(" Disk Selector (%1) [sdb (" + store + ")] ");
    QCOMPARE(importSlot.text() + w.window.Frame().title(), "USB Disk # ???" + frame.arg("???"));
    QVERIFY(importSlot.isVisible() && !importSlot.isEnabled());
    const QModelIndex row7 = w.window.Grid().model()->index(6, 2);
    QCOMPARE(
        row7.data(Qt::ToolTipRole).toString() + w.ui.fake.messages.back().text.c_str(),
        QString("Slot 007 was not completely written: put an image into it again.").repeated(2));
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
    QCOMPARE(w.Cell(7, 1) + "|" + w.Cell(7, 2), QString(" NEW DISK    |Fresh volume"));
    QCOMPARE(importSlot.text() + "|" + exportSlot.text(), QString("USB Disk # ???|USB Disk # ???"));
    QVERIFY(exportSlot.isVisible() && !exportSlot.isEnabled() && !importSlot.isEnabled());
    QVERIFY(!row7.data(Qt::BackgroundRole).isValid());  // written whole: no longer marked
    QCOMPARE(w.devices.OpenHandles(), 0);
}

void StatesTests::storeImageFilesWithoutRights() {
    // No rights: no scan, so no store and no usable grid; files stay on offer.
    GuiWorld w(0);
    w.ClickRow(5);
    QCOMPARE(w.Cell(5, 1), QString(" ----------- "));

    const std::string small = w.dir / "small.img";
    WriteFileBytes(small, std::vector<unsigned char>(1000, 0));
    w.ui.fake.fileAnswers.push_back(small);
    w.window.RunCommand(MenuId::File_Menu_OpenStoreFile);
    QVERIFY(w.ui.fake.messages.at(0).title == "Image File Length Invalid" &&
            w.ui.fake.messages[0].text.find("File Length = 1,000") != std::string::npos);

    // A new store file: its name, then the IDs as Format asks for them, Enter
    // for OK. It is a formatted store of the whole length, sparse, opened and
    // selected, whose descriptions can be written at once.
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
    w.DoubleClickRow(3);
    QTest::keyClicks(&w.window.Edit(), "First disk");
    w.DoubleClickRow(3);
    QVERIFY(w.DisksTxt(fresh).find("First disk") != std::string::npos);
    QCOMPARE(w.ui.fake.messages.size(), std::size_t{1});
    QCOMPARE(FileMenu(w.window), FileMenuWith({"Select Device &fresh.img", "-",
                                               "&USB  fresh.img  Disks(0-999) ->  File",
                                               "&File  ->  USB  fresh.img  Disks(0-999)", "-",
                                               "&Format  USB  fresh.img  Disks(0-999)"}));
    w.ClickRow(5);  // the grid serves the file as it would a stick
    QCOMPARE(w.Caption(MenuId::Image_Menu_Import_USB_DISKxxx), QString("USB Disk # 005"));
    // An existing name is never overwritten by New: said before the IDs.
    w.ui.fake.fileAnswers.push_back(small);
    w.window.RunCommand(MenuId::File_Menu_NewStoreFile);
    QVERIFY(w.ui.fake.messages.back().text.find(small) != std::string::npos && !usb.isVisible());
    QCOMPARE(ReadFileBytes(small, 0, 2000).size(), std::size_t{1000});
    QCOMPARE(w.state.SelectedEntry().path, fresh);
    QCOMPARE(w.devices.OpenHandles(), 0);
}

void StatesTests::cutTextsShowInFullAsTooltips() {
    GuiWorld w;
    const std::string folder = w.dir / "a folder with a name long enough to be cut off";
    std::filesystem::create_directory(folder);
    const std::string image = folder + "/disk.img";
    WriteFileBytes(image, std::vector<unsigned char>(kImageBytes, 0));
    w.ui.fake.fileAnswers.push_back(image);
    w.window.RunCommand(MenuId::Image_Menu_Import_Image_File);
    const QString path = QString::fromStdString(image);
    QCOMPARE(w.window.BufferLabel().toolTip() + "|" + w.window.ActionLabel().toolTip(),
             path + "|Import of Disk Image " + path);
    QVERIFY(!w.window.BufferLabel().text().contains(path));  // shortened
    QVERIFY(OpenStoreFile(w.ctx, w.MakeStore("a folder with a name long enough to be cut off/"
                                             "store.img",
                                             "STORE")));
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
    fat12::BuildBlankVolume(w.state.imageBuffer.Span(), "GUI");
    QVERIFY(WriteImageFile(w.ctx, "Hello there.txt", "hi").Ok() &&
            MakeImageFolder(w.ctx, "Docs").Ok() && WriteImageFile(w.ctx, "Docs/in.txt", "").Ok());
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
    QCOMPARE(ReadImageFile(w.ctx, "Docs/dropped.txt").contents, std::string("from the desktop"));
    QTest::keyClick(&list, Qt::Key_Backspace);
    QCOMPARE(contents->FolderLabel().text(), QString("Folder: /"));
    QVERIFY(w.window.BufferLabel().text().startsWith("Changed: "));
}

}  // namespace

std::unique_ptr<QObject> MakeStatesTests() {
    return std::make_unique<StatesTests>();
}

}  // namespace quarnex::testing

#include "states_test.moc"
