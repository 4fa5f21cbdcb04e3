// The main window's states as the user sees them: menu entries and their
// captions, the frame caption, the busy state and the Cancel command.

#include <sys/stat.h>
#include <QMenu>
#include <QTest>

#include "commands/main_commands.hpp"
#include "commands/refresh_main_window.hpp"
#include "core/media_sizes.hpp"
#include "gui_tests.hpp"
#include "gui_world.hpp"
#include "image/image_format.hpp"

namespace quarnex::testing {
namespace {

void FillTable(ProgramState& state, int count) {
    const char* names[] = {"", "sdb", "sdc", "sdd", "sde"};
    for (int i = 1; i <= count; ++i) {
        state.devices.Row(i) = DeviceEntry{names[i], std::string("/dev/") + names[i], i, "", 0};
    }
    state.devices.DeviceCount = count;
}

class StatesTests : public QObject {
    Q_OBJECT
  private slots:
    void resetWithAndWithoutRights();
    void cancelOnlyWhileBusyAndNoSecondOperation();
    void exitWhileBusyWaitsForTheOperation();
    void idDialogs();
    void scanSelectClickAndExportToTheSlot();  // with the captions of each step
    void storeImageFilesWithoutRights();
};

void StatesTests::resetWithAndWithoutRights() {
    {
        GuiWorld w(1);
        QCOMPARE(FileMenu(w.window), FileMenuWith({"Scan Drives"}));
        QCOMPARE(w.window.Action(MenuId::File_Menu).text(), QString("     &File     "));
        QCOMPARE(w.window.Action(MenuId::Image_Menu).text(), QString("    &Image    "));
        QCOMPARE(w.window.Action(MenuId::Help_Menu).text(), QString("     &Help     "));
        QCOMPARE(VisibleEntries(w.window.Action(MenuId::Image_Menu_Import)),
                 QStringList({"&Image File", "-", "&A: (Raw)", "&B: (Raw)"}));
        QCOMPARE(VisibleEntries(w.window.Action(MenuId::Help_Menu)),
                 QStringList({"&Documentation", "&System", "&About"}));
        QVERIFY(!w.window.Action(MenuId::Cancel_Menu).isVisible());
        QVERIFY(!w.window.Action(MenuId::Menu_Spacer_1).isVisible());
        QCOMPARE(w.window.Frame().title(), QString(" Disk Selection "));
        QCOMPARE(w.window.Grid().model()->index(6, 1).data().toString(), QString(" ----------- "));
        QCOMPARE(w.window.Grid().model()->index(6, 0).data().toString(), QString(" 007"));
        QCOMPARE(w.window.Grid().model()->headerData(0, Qt::Horizontal).toString(), QString("  #"));
        QCOMPARE(w.window.ProgressLabel().text(), QString("Progress"));
        QCOMPARE(w.window.BufferLabel().text(), QString("Zeroed"));
        QVERIFY(w.window.GridScroll().isEnabled());

        // The menu shows only the devices of the latest scan.
        FillTable(w.state, 4);
        RefreshMainWindow(w.ctx, 4);
        QCOMPARE(FileMenu(w.window).filter("Select Device").size(), 4);
        RefreshMainWindow(w.ctx, StateReset);
        FillTable(w.state, 2);
        RefreshMainWindow(w.ctx, 2);
        QCOMPARE(FileMenu(w.window),
                 FileMenuWith({"Select Device &sdb", "Select Device &sdc", "-", "ReScan Drives"}));
        QCOMPARE(w.window.Frame().title(), QString(" Disk Selection "));
    }
    {
        // Continue on the advisory window: no scan, so no store; files need no
        // rights and stay on offer.
        GuiWorld w(0);
        QCOMPARE(FileMenu(w.window), FileMenuWith({}));
        QVERIFY(!w.window.GridScroll().isEnabled());
        w.ClickRow(5);
        QCOMPARE(w.state.SelectedDisk, 0);
        QCOMPARE(w.state.slotTable.Cell(5, 1), std::string(" ----------- "));
    }
}

void StatesTests::cancelOnlyWhileBusyAndNoSecondOperation() {
    GuiWorld w;
    const std::string target = w.dir / "out.img";
    w.ui.fake.fileAnswers.push_back(target);
    // Checked while the export runs; the count of pumps below shows it ran.
    w.ui.fake.onPump = [&](int pump) {
        if (pump != 3) {
            return;
        }
        QVERIFY(w.window.Action(MenuId::Cancel_Menu).isVisible());
        QVERIFY(w.window.Action(MenuId::Menu_Spacer_3).isVisible());
        QVERIFY(w.window.Action(MenuId::Cancel_Menu).isEnabled());
        // A second long operation cannot start: its entry is disabled, and
        // choosing it anyway asks for nothing.
        QVERIFY(!w.window.Action(MenuId::Image_Menu_Import_Image_File).isEnabled());
        w.window.RunCommand(MenuId::Image_Menu_Import_Image_File);
        QCOMPARE(w.ui.fake.fileDialogs.size(), std::size_t{1});
        QVERIFY(!w.window.FloppyIdWindow().OkButton().isEnabled());
        QVERIFY(!w.window.Action(MenuId::Menu_Image_Zero).isEnabled());
        w.window.Action(MenuId::Cancel_Menu).trigger();
    };
    QVERIFY(!w.window.Action(MenuId::Cancel_Menu).isVisible());
    w.window.Action(MenuId::Image_Menu_Export_Image_File).trigger();

    // The cancel reached the export: it stopped after the block it was on.
    QCOMPARE(w.ui.fake.pumps, 3);
    QVERIFY(w.window.ProgressLabel().text() != QString("Progress      Finished"));
    QVERIFY(!w.window.Action(MenuId::Cancel_Menu).isVisible());
    QVERIFY(w.window.Action(MenuId::Image_Menu_Import_Image_File).isEnabled());
    QVERIFY(w.window.FloppyIdWindow().OkButton().isEnabled());
    QCOMPARE(w.devices.OpenHandles(), 0);
}

void StatesTests::exitWhileBusyWaitsForTheOperation() {
    GuiWorld w;
    w.ui.fake.fileAnswers.push_back(w.dir / "out.img");
    bool stillOpen = false;
    w.ui.fake.onPump = [&](int pump) {
        if (pump == 2) {
            w.window.Action(MenuId::File_Menu_Exit).trigger();
            stillOpen = w.window.isVisible() && w.shutdowns == 0;
        }
    };
    w.window.Action(MenuId::Image_Menu_Export_Image_File).trigger();
    QVERIFY(stillOpen);
    // The export saw the request as a cancel and returned; only then the
    // window unloaded.
    QCOMPARE(w.ui.fake.pumps, 2);
    QCOMPARE(w.shutdowns, 1);
    QVERIFY(!w.window.isVisible());
    QCOMPARE(w.devices.OpenHandles(), 0);

    // Closed while the command still asks for its file: the operation it
    // then starts stops at once instead of running to the end.
    GuiWorld early;
    early.ui.fake.fileAnswers.push_back(early.dir / "early.img");
    early.ui.onSaveDialog = [&early] { early.window.close(); };
    early.window.Action(MenuId::Image_Menu_Export_Image_File).trigger();
    QVERIFY(early.ui.fake.pumps <= 1);
    QVERIFY(early.window.ProgressLabel().text() != QString("Progress      Finished"));
    QCOMPARE(early.shutdowns, 1);
    QVERIFY(!early.window.isVisible());
    QCOMPARE(early.devices.OpenHandles(), 0);
}

void StatesTests::idDialogs() {
    GuiWorld w;
    // The floppy ID dialog: not modal, OK keeps the capitals of the first 11
    // characters and formats the internal image with them.
    w.window.Action(MenuId::Image_Menu_Format).trigger();
    FloppyIdDialog& floppy = w.window.FloppyIdWindow();
    QVERIFY(floppy.isVisible() && !floppy.isModal());
    QCOMPARE(floppy.windowTitle(), QString("Floppy Image Drive ID"));
    QTest::keyClicks(&floppy.IdBox(), "backup disk 12");
    QTest::mouseClick(&floppy.OkButton(), Qt::LeftButton);
    QVERIFY(!floppy.isVisible());
    QCOMPARE(floppy.IdBox().text(), QString("BACKUP DISK"));
    QCOMPARE(w.window.BufferLabel().text(), QString("FAT12 / ID = [BACKUP DISK]"));
    w.window.Action(MenuId::Image_Menu_Format).trigger();
    QTest::mouseClick(&floppy.CancelButton(), Qt::LeftButton);
    // No caption is cut off, whatever font stands in for the designed one.
    for (QDialog* dialog : std::initializer_list<QDialog*>{&floppy, &w.window.UsbIdWindow()}) {
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        }
    }
    QCOMPARE(floppy.IdBox().text(), QString("BACKUP DISK"));

    // The store format dialog names its store; after another store was
    // selected, OK formats nothing and says why.
    const std::string first = w.MakeStore("first.img", "FIRST");
    OpenStoreFile(w.ctx, first);
    w.window.Action(MenuId::File_Menu_Format).trigger();
    UsbIdDialog& usb = w.window.UsbIdWindow();
    QVERIFY(usb.isVisible() && !usb.isModal());
    QCOMPARE(usb.windowTitle(), QString("Format USB (1000 Floppy Images)"));
    QCOMPARE(usb.Prompt().text(), QString("Enter ID For USB Device first.img"));
    QCOMPARE(usb.UsbIdBox().text(), QString("FIRST"));
    QVERIFY(usb.AppendBox().isChecked());
    const std::string second = w.MakeStore("second.img", "SECOND");
    OpenStoreFile(w.ctx, second);
    QCOMPARE(usb.UsbIdBox().text(), QString("SECOND"));  // refilled by the load
    usb.UsbIdBox().clear();
    QTest::keyClicks(&usb.UsbIdBox(), "new id");
    const int writesBefore = w.devices.Count(FaultOp::Write);
    QTest::mouseClick(&usb.OkButton(), Qt::LeftButton);
    QVERIFY(!usb.isVisible());
    QCOMPARE(usb.UsbIdBox().text(), QString("NEW ID"));
    QCOMPARE(w.devices.Count(FaultOp::Write), writesBefore);
    QVERIFY(!w.ui.fake.messages.empty());
    QCOMPARE(QString::fromStdString(w.ui.fake.messages.back().text).section("\r\n", 0, 0),
             QString("The selected device changed after this dialog was opened."));
}

void StatesTests::scanSelectClickAndExportToTheSlot() {
    GuiWorld w;
    const std::string store = w.MakeStore("stick", "MYSTORE", {{7, "OLDGAME007"}});
    w.state.devices.Row(1) = DeviceEntry{};
    w.drives.drives = {FakeDrive{"sys", w.dir / "sys", DriveKind::Fixed, 0},
                       FakeDrive{"sdb", store, DriveKind::Removable, 1}};
    w.window.RunCommand(MenuId::File_Menu_Scan);
    QCOMPARE(w.window.Action(MenuId::File_Menu_Select_1).text(), QString("Select Device &sdb"));
    w.window.RunCommand(MenuId::File_Menu_Select_1);
    QCOMPARE(FileMenu(w.window),
             FileMenuWith({"Select Device &sdb", "-", "&USB  sdb  Disks(0-999) ->  File",
                           "&File  ->  USB  sdb  Disks(0-999)", "-",
                           "&Format  USB  sdb  Disks(0-999)", "-", "ReScan Drives"}));
    QAction& importSlot = w.window.Action(MenuId::Image_Menu_Import_USB_DISKxxx);
    QCOMPARE(importSlot.text(), QString("USB Disk # ???"));
    QVERIFY(importSlot.isVisible() && !importSlot.isEnabled());
    QCOMPARE(w.window.Frame().title(),
             QString::fromStdString(" Disk Selector (\?\?\?) [sdb (" + store + ")] "));
    QCOMPARE(w.state.slotTable.Cell(7, 1), std::string(" OLDGAME007  "));
    QCOMPARE(w.model.dialogs.usbIdText, std::string("MYSTORE"));

    w.ClickRow(7);
    QCOMPARE(importSlot.text(), QString("USB Disk # 007"));
    QVERIFY(importSlot.isEnabled());
    QCOMPARE(w.window.Action(MenuId::Image_Menu_Export_USB_DISKxxx).text(),
             QString("USB Disk # 007"));
    QCOMPARE(w.window.Frame().title(),
             QString::fromStdString(" Disk Selector (007) [sdb (" + store + ")] "));
    QCOMPARE(w.window.Grid().model()->index(6, 1).data().toString(), QString(" OLDGAME007  *"));

    // The internal image gets a new ID and a description, then goes to slot 7.
    w.model.dialogs.floppyIdText = "new disk";
    FormatImageFromDialog(w.ctx);
    w.state.slotTable.DiskDescriptions[0] = "Fresh volume";
    w.window.RunCommand(MenuId::Image_Menu_Export_USB_DISKxxx);

    // The reload shows the slot's new ID and description; the rewritten ID
    // cell has lost its marker and the slot entries wait for the next click.
    QCOMPARE(w.state.slotTable.Cell(7, 1), std::string(" NEW DISK    "));
    QCOMPARE(w.state.slotTable.Cell(7, 2), std::string("Fresh volume"));
    QCOMPARE(w.window.Grid().model()->index(6, 2).data().toString(), QString("Fresh volume"));
    QAction& exportSlot = w.window.Action(MenuId::Image_Menu_Export_USB_DISKxxx);
    QCOMPARE(exportSlot.text(), QString("USB Disk # ???"));
    QVERIFY(exportSlot.isVisible() && !exportSlot.isEnabled());
    QCOMPARE(importSlot.text(), QString("USB Disk # ???"));
    QCOMPARE(w.state.SelectedDisk, 7);
    QVERIFY(w.DisksTxt(store).find("Fresh volume") != std::string::npos);
    QCOMPARE(w.devices.OpenHandles(), 0);
}

void StatesTests::storeImageFilesWithoutRights() {
    GuiWorld w(0);
    // A file of the wrong length is refused with the length message.
    const std::string small = w.dir / "small.img";
    WriteFileBytes(small, std::vector<unsigned char>(1000, 0));
    w.ui.fake.fileAnswers.push_back(small);
    w.window.RunCommand(MenuId::File_Menu_OpenStoreFile);
    QCOMPARE(w.ui.fake.messages.size(), std::size_t{1});
    QCOMPARE(w.ui.fake.messages[0].title, std::string("Image File Length Invalid"));
    QVERIFY(w.ui.fake.messages[0].text.find("File Length = 1,000") != std::string::npos);
    QCOMPARE(w.state.devices.DeviceCount, 0);
    QCOMPARE(FileMenu(w.window), FileMenuWith({}));

    // A new store file: the whole length, sparse, opened and selected; the
    // scan stays hidden without rights.
    const std::string fresh = w.dir / "fresh.img";
    w.ui.fake.fileAnswers.push_back(fresh);
    w.window.RunCommand(MenuId::File_Menu_NewStoreFile);
    struct stat info {};
    QCOMPARE(::stat(fresh.c_str(), &info), 0);
    QCOMPARE(static_cast<std::uint64_t>(info.st_size), kStoreBytes);
    QVERIFY(static_cast<std::uint64_t>(info.st_blocks) * 512 < kStoreBytes / 100);
    QCOMPARE(w.state.devices.DeviceCount, 1);
    QCOMPARE(w.state.SelectedDevice, 1);
    QCOMPARE(FileMenu(w.window), FileMenuWith({"Select Device &fresh.img", "-",
                                               "&USB  fresh.img  Disks(0-999) ->  File",
                                               "&File  ->  USB  fresh.img  Disks(0-999)", "-",
                                               "&Format  USB  fresh.img  Disks(0-999)"}));
    // The grid serves the file as it would a stick: scrolling, selecting.
    QVERIFY(w.window.GridScroll().isEnabled());
    w.ClickRow(5);
    QCOMPARE(w.state.SelectedDisk, 5);
    QCOMPARE(w.window.Action(MenuId::Image_Menu_Import_USB_DISKxxx).text(),
             QString("USB Disk # 005"));
    // An existing name is never overwritten by New.
    w.ui.fake.fileAnswers.push_back(small);
    w.window.RunCommand(MenuId::File_Menu_NewStoreFile);
    QCOMPARE(ReadFileBytes(small, 0, 2000).size(), std::size_t{1000});
    QCOMPARE(w.state.SelectedEntry().DevicePath, fresh);
    QCOMPARE(w.devices.OpenHandles(), 0);
}

}  // namespace

std::unique_ptr<QObject> MakeStatesTests() {
    return std::make_unique<StatesTests>();
}

}  // namespace quarnex::testing

#include "states_test.moc"
