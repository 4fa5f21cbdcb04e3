// The Qt windows, offscreen: help navigation, the about and system windows,
// and the placement file through real widgets.

#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <filesystem>

#include "support/fake_system_facts.hpp"

#include "commands/text_metrics.hpp"
#include "gui/about_window.hpp"
#include "gui/help_window.hpp"
#include "gui/program_icon.hpp"
#include "gui/sys_info_window.hpp"
#include "gui/window_placement.hpp"
#include "support/fake_ui.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

using testing::ReadFileText;
using testing::TempDir;
using testing::WriteFileText;

// A folder laid out like the program's: the help page links to a second page.
struct AppFolder {
    TempDir dir;
    std::string path = dir.Path() + "/";

    AppFolder(bool withPages = true) {
        std::filesystem::create_directory(path + "QuarnCfg");
        if (withPages) {
            std::filesystem::create_directory(path + "QuarnHlp");
            WriteFileText(path + "QuarnHlp/QuarnHlp.htm",
                          "<html><body><h1>Help</h1><a href=\"second.htm\">next</a></body></html>");
            WriteFileText(path + "QuarnHlp/second.htm",
                          "<html><body><h1>Second</h1></body></html>");
        }
    }
    QUrl Page(const char* name) const {
        return QUrl::fromLocalFile(QString::fromStdString(path + "QuarnHlp/" + name));
    }
};

QPoint ScreenCentre() {
    return QGuiApplication::primaryScreen()->geometry().center();
}

bool NearlyCentred(const QWidget& window) {
    const QPoint offset = window.frameGeometry().center() - ScreenCentre();
    return std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1;
}

QStringList MenuCaptions(QWidget& window) {
    QStringList captions;
    for (QAction* action : window.findChild<QMenuBar*>()->actions()) {
        captions << action->text();
    }
    return captions;
}

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void helpCommandsFollowTheirRules();
    void helpWithoutAPageStaysEmpty();
    void aboutWindowIsOneWindow();
    void systemInformationPrintsTheFacts();
    void placementRoundTripThroughRealWindows();
    void placementSaveFailureIsShown();
};

void WindowsTest::helpCommandsFollowTheirRules() {
    AppFolder folder;
    HelpWindow help;
    QCOMPARE(help.windowTitle(), QString("Documentation"));
    QCOMPARE(MenuCaptions(help), (QStringList{" << ", " >>", "  Home  "}));
    QVERIFY(!help.windowIcon().isNull());

    QVERIFY(help.HelpInit(folder.path));
    QCOMPARE(help.HelpURL(), "file://" + folder.path + "QuarnHlp/QuarnHlp.htm");
    QVERIFY(!help.isVisible());  // loaded hidden
    QCOMPARE(help.Browser().source(), folder.Page("QuarnHlp.htm"));
    QVERIFY(help.Browser().toPlainText().contains("Help"));

    // Forward with nothing ahead, Back on the help page: nothing happens.
    help.Forward();
    QCOMPARE(help.Browser().source(), folder.Page("QuarnHlp.htm"));
    help.Browser().setSource(folder.Page("second.htm"));
    help.Home();  // history: help, second, help
    QCOMPARE(help.Browser().source(), folder.Page("QuarnHlp.htm"));
    help.Back();  // a plain browser would go back to the second page
    QCOMPARE(help.Browser().source(), folder.Page("QuarnHlp.htm"));

    // Away from the help page Back and Forward move through the history.
    help.Browser().setSource(folder.Page("second.htm"));
    help.Back();
    QCOMPARE(help.Browser().source(), folder.Page("QuarnHlp.htm"));
    help.Forward();
    QCOMPARE(help.Browser().source(), folder.Page("second.htm"));
    help.Forward();
    QCOMPARE(help.Browser().source(), folder.Page("second.htm"));

    // Closing by the frame hides; showing again keeps the page.
    help.ShowHelp();
    QVERIFY(help.isVisible());
    QVERIFY(help.close() == false);  // the close is refused
    QVERIFY(!help.isVisible());
    help.ShowHelp();
    QVERIFY(help.isVisible());
    QCOMPARE(help.Browser().source(), folder.Page("second.htm"));

    // The browser fills the client area below the menu bar.
    help.resize(700, 400);
    QApplication::processEvents();
    QCOMPARE(help.Browser().width(), help.width());
    QCOMPARE(help.Browser().geometry().bottom(), help.rect().bottom());

    help.HelpUnload();  // the real unload goes through
    QVERIFY(!help.isVisible());
}

void WindowsTest::helpWithoutAPageStaysEmpty() {
    AppFolder folder(false);
    HelpWindow help;
    QVERIFY(!help.HelpInit(folder.path));
    QCOMPARE(help.HelpURL(), std::string());
    help.ShowHelp();
    QVERIFY(help.isVisible());
    QVERIFY(help.Browser().source().isEmpty());
    QVERIFY(help.Browser().toPlainText().isEmpty());
    help.HelpUnload();
}

void WindowsTest::aboutWindowIsOneWindow() {
    AboutWindow about;
    QCOMPARE(about.VersionLabel().text(), QString("Quarn - Quarnex"));
    QVERIFY(
        QRegularExpression("^\\d{4}_\\d{2}_\\d{2}$").match(about.DateLabel().text()).hasMatch());
    QCOMPARE(about.DateLabel().text(), QString(QUARNEX_BUILD_DATE));
    QCOMPARE(about.OkButton().text(), QString(" &Ok"));
    QCOMPARE(about.palette().color(QPalette::Window), QColor(255, 255, 192));
    const QLabel* picture = about.findChild<QLabel*>("Picture1");
    QVERIFY(picture != nullptr);
    QCOMPARE(picture->pixmap().size(), QSize(32, 32));
    QVERIFY(!ProgramIcon().availableSizes().isEmpty());

    const auto aboutWindows = [] {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            count += widget->objectName() == "VrsionF" && widget->isVisible() ? 1 : 0;
        }
        return count;
    };
    about.ShowAbout();
    about.ShowAbout();
    QCOMPARE(aboutWindows(), 1);
    QVERIFY(NearlyCentred(about));

    QTest::mouseClick(&about.OkButton(), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(aboutWindows(), 0);
    about.move(0, 0);
    about.ShowAbout();  // the same window, centred again
    QCOMPARE(aboutWindows(), 1);
    QVERIFY(NearlyCentred(about));
}

void WindowsTest::systemInformationPrintsTheFacts() {
    testing::FakeSystemFacts facts;
    facts.processor = 0;
    facts.keyboard = 7;
    facts.available = 2048ull << 20;
    SysInfoWindow info(facts);
    QCOMPARE(info.windowTitle(), QString("Current System Information"));
    QCOMPARE(info.OkButton().text(), QString("&Ok"));
    info.ShowSysInfo();
    QVERIFY(NearlyCentred(info));
    info.grab();  // paints

    const std::string zone(14, ' ');
    const std::vector<std::string>& lines = info.PrintedLines();
    QCOMPARE(lines.size(), std::size_t{12});
    QCOMPARE(lines[0], std::string());
    QCOMPARE(lines[1], std::string());
    QCOMPARE(lines[2], zone + "WinDIR:       /");
    QCOMPARE(lines[6], zone + "Processor:    ");
    QCOMPARE(lines[8], zone + "PhysMem:      8,192 MB");
    QCOMPARE(lines[9], zone + "FreeMem:      2,048 MB");
    QCOMPARE(lines[10], zone + "KBType:       Special keyboard");

    // Every paint asks again.
    facts.available = 1000ull << 20;
    info.grab();
    QCOMPARE(info.PrintedLines()[9], zone + "FreeMem:      1,000 MB");

    // "&Ok" closes; showing again centres the window anew.
    QTest::mouseClick(&info.OkButton(), Qt::LeftButton);
    QVERIFY(!info.isVisible());
    info.move(3, 4);
    info.ShowSysInfo();
    QVERIFY(NearlyCentred(info));
    // Shown while open: left where the user put it.
    info.move(5, 6);
    info.ShowSysInfo();
    QCOMPARE(info.pos(), QPoint(5, 6));
}

void WindowsTest::placementRoundTripThroughRealWindows() {
    AppFolder folder(false);
    ProgramState state;
    testing::FakeUi ui(state);
    const double perPixel = TwipsPerPixel(nullptr);
    QCOMPARE(perPixel, 15.0);  // the offscreen screen is 96 dpi

    QWidget mainWindow, floppy, usb;
    HelpWindow help;
    mainWindow.setGeometry(20, 30, 500, 400);
    mainWindow.show();
    help.setGeometry(100, 60, 300, 200);
    help.ShowHelp();
    floppy.setGeometry(40, 50, 200, 100);
    usb.setGeometry(44, 55, 200, 100);
    usb.show();
    const PlacedWidgets saved{&mainWindow, &help, &floppy, &usb};
    QVERIFY(SaveWindowPlacement(folder.path, saved, ui));
    QVERIFY(ui.messages.empty());
    // Outer frames in twips; the hidden, never shown dialog has no frame yet.
    const auto twips = [](const QWidget& w, bool withSize) {
        const QRect f = w.frameGeometry();
        std::string text =
            ", " + std::to_string(f.top() * 15) + ", " + std::to_string(f.left() * 15);
        if (withSize) {
            text += ", " + std::to_string(f.height() * 15) + ", " + std::to_string(f.width() * 15);
        }
        return text;
    };
    if (QGuiApplication::platformName() == "offscreen") {
        QVERIFY(mainWindow.frameGeometry().width() > 500);  // its frame is counted
    }
    const std::string written = ReadFileText(folder.path + "QuarnCfg/Quarn.cfg");
    QCOMPARE(written,
             "[WINDOWS]\r\n|------| = Visible, Top, Left [, Height, Width]\r\n"
             "QrnF = 1" +
                 twips(mainWindow, true) + "\r\n" + "HelpF = 1" + twips(help, true) + "\r\n" +
                 "FlpyIDF = 0, 750, 600\r\n" + "USBIDF = 1" + twips(usb, false) + "\r\n\r\n");

    // The next run: fresh hidden windows get the same outer frames.
    QWidget mainAgain, floppyAgain, usbAgain;
    HelpWindow helpAgain;
    floppyAgain.resize(222, 111);
    const PlacedWidgets loaded{&mainAgain, &helpAgain, &floppyAgain, &usbAgain};
    LoadWindowPlacement(folder.path, loaded);
    QApplication::processEvents();
    QVERIFY(mainAgain.isVisible());
    QCOMPARE(mainAgain.frameGeometry(), mainWindow.frameGeometry());
    QVERIFY(helpAgain.isVisible());
    QCOMPARE(helpAgain.frameGeometry(), help.frameGeometry());
    QVERIFY(!floppyAgain.isVisible());
    QCOMPARE(floppyAgain.frameGeometry(), QRect(40, 50, 222, 111));  // dialogs keep their size
    QVERIFY(usbAgain.isVisible());
    QCOMPARE(usbAgain.frameGeometry().topLeft(), usb.frameGeometry().topLeft());

    // And saving them again writes the same file: windows do not creep.
    QVERIFY(SaveWindowPlacement(folder.path, loaded, ui));
    QCOMPARE(ReadFileText(folder.path + "QuarnCfg/Quarn.cfg"), written);
    floppyAgain.show();  // its frame is known only now; its size stays
    QApplication::processEvents();
    QCOMPARE(floppyAgain.size(), QSize(222, 111));

    // A window loaded hidden learns its frame only when shown; it then gets
    // the outer size from the file all the same.
    WriteFileText(folder.path + "QuarnCfg/Quarn.cfg",
                  "[WINDOWS]\r\nHelpF = 0, 900, 1500, 3060, 4560\r\n");
    HelpWindow hiddenHelp;
    LoadWindowPlacement(folder.path, {nullptr, &hiddenHelp, nullptr, nullptr});
    QVERIFY(!hiddenHelp.isVisible());
    hiddenHelp.ShowHelp();
    QApplication::processEvents();
    QCOMPARE(hiddenHelp.frameGeometry(), QRect(100, 60, 304, 204));
    hiddenHelp.HelpUnload();
    helpAgain.HelpUnload();
    help.HelpUnload();
}

void WindowsTest::placementSaveFailureIsShown() {
    TempDir dir;  // no QuarnCfg folder inside
    ProgramState state;
    testing::FakeUi ui(state);
    QWidget mainWindow;
    const std::string appFolder = dir.Path() + "/";
    QVERIFY(!SaveWindowPlacement(appFolder, {&mainWindow, nullptr, nullptr, nullptr}, ui));
    QCOMPARE(ui.messages.size(), std::size_t{1});
    QCOMPARE(ui.LastMessage().title, std::string("ConfigMSbrSave"));
    QCOMPARE(ui.LastMessage().text,
             "Error Saving Configuration File.\n" + appFolder + "QuarnCfg/Quarn.cfg\n2");
    QCOMPARE(ui.LastMessage().icon, MessageIcon::Critical);
}

}  // namespace quarnex

QTEST_MAIN(quarnex::WindowsTest)
#include "windows_qt_test.moc"
