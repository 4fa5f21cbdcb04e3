// The Qt windows, offscreen: help navigation, the about and system windows,
// and the placement file through real widgets.

#include <QApplication>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <filesystem>

#include "gui/about_window.hpp"
#include "gui/help_window.hpp"
#include "gui/sys_info_window.hpp"
#include "gui/window_placement.hpp"
#include "support/fake_system_facts.hpp"
#include "support/fake_ui.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {

using testing::ReadFileText;
using testing::WriteFileText;

class WindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void helpCommandsFollowTheirRules();
    void aboutAndSystemInformation();
    void placementRoundTripThroughRealWindows();
};

void WindowsTest::helpCommandsFollowTheirRules() {
    testing::TempDir dir;
    const std::string app = dir.Path() + "/";
    HelpWindow help;
    QStringList captions{help.windowTitle()};
    for (QAction* action : help.findChild<QMenuBar*>()->actions()) {
        captions << action->text();
    }
    QCOMPARE(captions, (QStringList{"Documentation", " << ", " >>", "  Home  "}));
    QVERIFY(!help.HelpInit(app));  // no page yet

    std::filesystem::create_directory(app + "QuarnHlp");
    WriteFileText(app + "QuarnHlp/QuarnHlp.htm", "<h1>Help</h1><a href=\"second.htm\">next</a>");
    WriteFileText(app + "QuarnHlp/second.htm", "<h1>Second</h1>");
    QVERIFY(help.HelpInit(app));
    // Back does nothing on the help page; elsewhere it moves through the history.
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
    QVERIFY(!help.close() && !help.isVisible());
    help.ShowHelp();
    QCOMPARE(page(), QString("second.htm"));
    help.HelpUnload();  // the real unload goes through
    QVERIFY(!help.isVisible());
}

void WindowsTest::aboutAndSystemInformation() {
    AboutWindow about;
    QCOMPARE(about.VersionLabel().text(), QString("Quarn - Quarnex"));
    QVERIFY(
        QRegularExpression("^\\d{4}_\\d{2}_\\d{2}$").match(about.DateLabel().text()).hasMatch());
    QCOMPARE(about.OkButton().text(), QString(" &Ok"));
    about.ShowAbout();
    QTest::mouseClick(&about.OkButton(), Qt::LeftButton);
    QVERIFY(!about.isVisible());

    testing::FakeSystemFacts facts;
    facts.processor = 0;
    facts.keyboard = 7;
    SysInfoWindow info(facts);
    QCOMPARE(info.windowTitle() + "|" + info.OkButton().text(),
             QString("Current System Information|&Ok"));
    info.ShowSysInfo();
    info.grab();  // paints
    // Two empty lines, then the facts; an unknown processor prints nothing.
    const std::string zone(14, ' ');
    const std::vector<std::string>& lines = info.PrintedLines();
    QCOMPARE(lines[0] + lines[1] + "|" + lines[2], "|" + zone + "WinDIR:       /");
    QCOMPARE(lines[6], zone + "Processor:    ");
    QCOMPARE(lines[10], zone + "KBType:       Special keyboard");
    facts.available = 1000ull << 20;  // every paint asks again
    info.grab();
    QCOMPARE(info.PrintedLines()[9], zone + "FreeMem:      1,000 MB");

    // Ok closes; showing again centres the window anew.
    QTest::mouseClick(&info.OkButton(), Qt::LeftButton);
    info.move(3, 4);
    info.ShowSysInfo();
    const QPoint offset =
        info.frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center();
    QVERIFY(offset.manhattanLength() <= 2);
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
    QVERIFY(SaveWindowPlacement(file, {&mainWindow, nullptr, &floppy, nullptr}, ui));
    // Outer frames in twips, decorations counted; the never shown dialog has none.
    const QRect f = mainWindow.frameGeometry();
    QVERIFY(f.width() > 500);
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
    LoadWindowPlacement(file, loaded);
    QApplication::processEvents();
    QVERIFY(mainAgain.isVisible() && !floppyAgain.isVisible());
    QCOMPARE(mainAgain.frameGeometry(), mainWindow.frameGeometry());
    QCOMPARE(floppyAgain.frameGeometry(), QRect(40, 50, 222, 111));
    QVERIFY(SaveWindowPlacement(file, loaded, ui));
    QCOMPARE(ReadFileText(file), written);
}

}  // namespace quarnex

QTEST_MAIN(quarnex::WindowsTest)
#include "windows_qt_test.moc"
