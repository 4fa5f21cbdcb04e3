// The Qt windows, offscreen: help navigation, the about and system windows.
// (Window placement is tested under a window manager:
// window_manager_test.sh.)

#include <QApplication>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

#include "gui/about_window.hpp"
#include "gui/help_window.hpp"
#include "gui/sys_info_window.hpp"
#include "support/fake_system_facts.hpp"
#include "support/temp_dir.hpp"

namespace quarnex {

using testing::WriteFileText;

class WindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void helpCommandsFollowTheirRules();
    void aboutAndSystemInformation();
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
    WriteFileText(app + "QuarnHlp/QuarnHlp.htm",
                  "<h1>Help</h1><a href=\"second.htm\">next</a> <a href=\"#far\">on</a><pre>" +
                      std::string(200, '\n') + "</pre><h2><a name=\"far\"></a>Far</h2>" + "<pre>" +
                      std::string(200, '\n') + "</pre>");
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

    // A link to an anchor, clicked: Back to the top, Forward to the anchor.
    help.Home();
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QTextCursor link = help.Browser().document()->find("on");
    link.setPosition(link.selectionStart() + 1);
    QTest::mouseClick(help.Browser().viewport(), Qt::LeftButton, {},
                      help.Browser().cursorRect(link).center());
    const auto place = [&help] {
        return help.Browser().source().fragment() + " " +
               QString::number(help.Browser().verticalScrollBar()->value());
    };
    const QString atAnchor = place();
    help.Back();
    QVERIFY(atAnchor.startsWith("far ") && atAnchor != "far 0");
    QCOMPARE(place(), QString(" 0"));
    help.Forward();
    QCOMPARE(place(), atAnchor);

    // Closing by the frame hides; showing again keeps the page.
    QVERIFY(!help.close() && !help.isVisible());
    help.ShowHelp();
    QCOMPARE(place(), atAnchor);
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

}  // namespace quarnex

QTEST_MAIN(quarnex::WindowsTest)
#include "windows_qt_test.moc"
