// The Qt windows, offscreen: help navigation, the about and system windows,
// and the placement file through real widgets.

#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <filesystem>

#include "commands/text_metrics.hpp"
#include "gui/about_window.hpp"
#include "gui/help_window.hpp"
#include "gui/sys_info_window.hpp"
#include "gui/window_placement.hpp"
#include "support/fake_system_facts.hpp"
#include "support/fake_ui.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {
namespace {

using testing::ReadFileText;
using testing::WriteFileText;

bool NearlyCentred(const QWidget& window) {
    const QPoint offset =
        window.frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center();
    return std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1;
}

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void helpCommandsFollowTheirRules();
    void aboutWindowIsOneWindow();
    void systemInformationPrintsTheFacts();
    void placementRoundTripThroughRealWindows();
};

void WindowsTest::helpCommandsFollowTheirRules() {
    testing::TempDir dir;
    const std::string app = dir.Path() + "/";
    std::filesystem::create_directory(app + "QuarnCfg");
    HelpWindow help;
    QCOMPARE(help.windowTitle(), QString("Documentation"));
    QStringList captions;
    for (QAction* action : help.findChild<QMenuBar*>()->actions()) {
        captions << action->text();
    }
    QCOMPARE(captions, (QStringList{" << ", " >>", "  Home  "}));
    QVERIFY(!help.windowIcon().isNull());
    // Without a page the window opens empty.
    QVERIFY(!help.HelpInit(app));
    help.ShowHelp();
    QVERIFY(help.Browser().source().isEmpty());
    help.hide();

    std::filesystem::create_directory(app + "QuarnHlp");
    WriteFileText(app + "QuarnHlp/QuarnHlp.htm", "<h1>Help</h1><a href=\"second.htm\">next</a>");
    WriteFileText(app + "QuarnHlp/second.htm", "<h1>Second</h1>");
    QVERIFY(help.HelpInit(app));
    QVERIFY(!help.isVisible());
    QVERIFY(help.Browser().toPlainText().contains("Help"));
    // Back does nothing on the help page (a plain browser would go back to
    // the second page); elsewhere Back and Forward move through the history.
    const QUrl second = QUrl::fromLocalFile(QString::fromStdString(app + "QuarnHlp/second.htm"));
    const auto page = [&help] { return help.Browser().source().fileName(); };
    const auto go = [&](void (HelpWindow::*command)(), const char* expected) {
        (help.*command)();
        QCOMPARE(page(), QString(expected));
    };
    go(&HelpWindow::Forward, "QuarnHlp.htm");
    help.Browser().setSource(second);
    go(&HelpWindow::Home, "QuarnHlp.htm");
    go(&HelpWindow::Back, "QuarnHlp.htm");
    help.Browser().setSource(second);
    go(&HelpWindow::Back, "QuarnHlp.htm");
    go(&HelpWindow::Forward, "second.htm");

    // Closing by the frame hides; showing again keeps the page.
    help.ShowHelp();
    QVERIFY(!help.close() && !help.isVisible());
    help.ShowHelp();
    QVERIFY(help.isVisible());
    QCOMPARE(page(), QString("second.htm"));
    // The browser fills the client area below the menu bar.
    help.resize(700, 400);
    QApplication::processEvents();
    QCOMPARE(help.Browser().width(), help.width());
    QCOMPARE(help.Browser().geometry().bottom(), help.rect().bottom());
    help.HelpUnload();  // the real unload goes through
    QVERIFY(!help.isVisible());
}

void WindowsTest::aboutWindowIsOneWindow() {
    AboutWindow about;
    QCOMPARE(about.VersionLabel().text(), QString("Quarn - Quarnex"));
    QVERIFY(
        QRegularExpression("^\\d{4}_\\d{2}_\\d{2}$").match(about.DateLabel().text()).hasMatch());
    QCOMPARE(about.OkButton().text(), QString(" &Ok"));
    QCOMPARE(about.palette().color(QPalette::Window), QColor(255, 255, 192));
    const QLabel* picture = about.findChild<QLabel*>("Picture1");
    QVERIFY(picture != nullptr && picture->pixmap().size() == QSize(32, 32));
    about.ShowAbout();
    QVERIFY(about.isVisible());
    QTest::mouseClick(&about.OkButton(), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    about.move(0, 0);
    about.ShowAbout();  // centred again
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
    info.grab();  // paints
    const std::string zone(14, ' ');
    const std::vector<std::string>& lines = info.PrintedLines();
    QCOMPARE(lines.size(), std::size_t{12});
    QCOMPARE(lines[0] + lines[1], std::string());
    QCOMPARE(lines[2], zone + "WinDIR:       /");
    QCOMPARE(lines[6], zone + "Processor:    ");
    QCOMPARE(lines[8], zone + "PhysMem:      8,192 MB");
    QCOMPARE(lines[10], zone + "KBType:       Special keyboard");
    facts.available = 1000ull << 20;  // every paint asks again
    info.grab();
    QCOMPARE(info.PrintedLines()[9], zone + "FreeMem:      1,000 MB");

    // "&Ok" closes; showing again centres the window anew, but not while open.
    QTest::mouseClick(&info.OkButton(), Qt::LeftButton);
    QVERIFY(!info.isVisible());
    info.move(3, 4);
    info.ShowSysInfo();
    QVERIFY(NearlyCentred(info));
    info.move(5, 6);
    info.ShowSysInfo();
    QCOMPARE(info.pos(), QPoint(5, 6));
}

void WindowsTest::placementRoundTripThroughRealWindows() {
    testing::TempDir dir;
    const std::string app = dir.Path() + "/";
    const std::string file = app + "QuarnCfg/Quarn.cfg";
    std::filesystem::create_directory(app + "QuarnCfg");
    ProgramState state;
    testing::FakeUi ui(state);
    QCOMPARE(TwipsPerPixel(nullptr), 15.0);  // the offscreen screen is 96 dpi

    QWidget mainWindow, floppy;
    mainWindow.setGeometry(20, 30, 500, 400);
    mainWindow.show();
    floppy.setGeometry(40, 50, 200, 100);
    QVERIFY(SaveWindowPlacement(app, {&mainWindow, nullptr, &floppy, nullptr}, ui));
    // Outer frames in twips; the hidden, never shown dialog has no frame yet.
    const QRect f = mainWindow.frameGeometry();
    QVERIFY(f.width() > 500);  // its frame is counted
    const auto t = [](int pixels) { return ", " + std::to_string(pixels * 15); };
    const std::string written = ReadFileText(file);
    QCOMPARE(written, "[WINDOWS]\r\n|------| = Visible, Top, Left [, Height, Width]\r\nQrnF = 1" +
                          t(f.top()) + t(f.left()) + t(f.height()) + t(f.width()) +
                          "\r\nHelpF = 0, 0, 0, 500, 500\r\nFlpyIDF = 0, 750, 600\r\n"
                          "USBIDF = 0, 0, 0\r\n\r\n");

    // The next run: fresh hidden windows get the same outer frames; dialogs
    // keep their size. Saved again, the file is the same: windows do not creep.
    QWidget mainAgain, floppyAgain;
    floppyAgain.resize(222, 111);
    const PlacedWidgets loaded{&mainAgain, nullptr, &floppyAgain, nullptr};
    LoadWindowPlacement(app, loaded);
    QApplication::processEvents();
    QVERIFY(mainAgain.isVisible() && !floppyAgain.isVisible());
    QCOMPARE(mainAgain.frameGeometry(), mainWindow.frameGeometry());
    QCOMPARE(floppyAgain.frameGeometry(), QRect(40, 50, 222, 111));
    QVERIFY(SaveWindowPlacement(app, loaded, ui));
    QCOMPARE(ReadFileText(file), written);

    // A window loaded hidden learns its frame only when shown; it then gets
    // the outer size from the file all the same.
    WriteFileText(file, "[WINDOWS]\r\nHelpF = 0, 900, 1500, 3060, 4560\r\n");
    QWidget hiddenHelp;
    LoadWindowPlacement(app, {nullptr, &hiddenHelp, nullptr, nullptr});
    QVERIFY(!hiddenHelp.isVisible());
    hiddenHelp.show();
    QApplication::processEvents();
    QCOMPARE(hiddenHelp.frameGeometry(), QRect(100, 60, 304, 204));
}

}  // namespace quarnex

QTEST_MAIN(quarnex::WindowsTest)
#include "windows_qt_test.moc"
