// The program's start-up and shutdown as a whole: the advisory window, the
// buffers, the windows it loads, the placement file and the shutdown; and its
// companion windows, offscreen: help navigation, the about and system windows.

#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "gui/about_window.hpp"
#include "gui/help_window.hpp"
#include "gui/program.hpp"
#include "gui/query_window.hpp"
#include "gui/sys_info_window.hpp"
#include "gui_world.hpp"
#include "platform/posix/posix_system_facts.hpp"
#include "platform/udisks/udisks_device_backend.hpp"
#include "platform/udisks/udisks_drive_catalog.hpp"
#include "support/fake_system_facts.hpp"
#include "support/udisks_standin.hpp"

namespace quarnex::testing {
namespace {

// A program folder with its placement file beside the program; its disks are
// files and fake drives unless others are given.
struct ProgramWorld {
    explicit ProgramWorld(bool rights, BufferAllocator allocate = {},
                          DeviceBackend* disks = nullptr, DriveCatalog* catalog = nullptr) {
        std::filesystem::create_directories(dir / "QuarnCfg");
        if (rights) {
            drives.rightsProbePath = dir / "probe";
            WriteFileBytes(drives.rightsProbePath, {0});
        }
        program = std::make_unique<Program>(
            ProgramServices{disks ? *disks : devices, catalog ? *catalog : drives, clock, ui, facts,
                            dir.Path() + "/", dir / "QuarnCfg/Quarn.cfg", std::move(allocate)},
            scale);
    }

    TempDir dir;
    TwipScale scale{96.0};
    PosixDeviceBackend posix;
    FaultInjectingBackend devices{posix};
    FakeDriveCatalog drives;
    FakeClock clock;
    ProgramState labelState;  // the fake reads labels from a state of its own
    ScriptedQtUi ui{scale, labelState};
    PosixSystemFacts facts;
    std::unique_ptr<Program> program;
};

// Answers the advisory window once its modal loop runs.
int AskAndAnswer(const std::function<void(QueryWindow&)>& answer) {
    QueryWindow query(TwipScale(96.0));
    QTimer::singleShot(0, &query, [&] { answer(query); });
    return query.Ask();
}

class ProgramTests : public QObject {
    Q_OBJECT
  private slots:
    void advisoryWindowAndItsAnswers();
    void withRightsNoQuestionEverythingLoadedPlacedAndReleased();
    void endsEarlyOnExitOrFailedBuffersOrContinuesWithoutRights();
    void throughUdisksTheScanFindsSticksAndSafelyRemoveTakesThemAway();
    void helpCommandsFollowTheirRules();
    void aboutAndSystemInformation();
};

void ProgramTests::advisoryWindowAndItsAnswers() {
    QueryWindow query(TwipScale(96.0));
    QCOMPARE(query.windowTitle() + "|" + query.TextBox().toPlainText() + "|" +
                 query.ContinueButton().text() + "|" + query.ExitButton().text(),
             QString("Quarnex|Administrative Privileges Required\nFor Full Functionality\n|"
                     "Continue|Exit"));

    QCOMPARE(AskAndAnswer([](QueryWindow& q) { q.ContinueButton().click(); }), 0);
    QCOMPARE(AskAndAnswer([](QueryWindow& q) { q.ExitButton().click(); }), -1);
    // Closing it by its frame or by Escape counts as Exit.
    QCOMPARE(AskAndAnswer([](QueryWindow& q) { q.close(); }), -1);
    QCOMPARE(AskAndAnswer([](QueryWindow& q) { QTest::keyClick(&q, Qt::Key_Escape); }), -1);
}

void ProgramTests::withRightsNoQuestionEverythingLoadedPlacedAndReleased() {
    ProgramWorld w(true);
    // The window's own area: top 600, left 900, height 7200, width 9600 twips.
    WriteFileText(w.dir / "QuarnCfg/Quarn.cfg", "[WINDOWS]\r\nQrnF = 1, 600, 900, 7200, 9600\r\n");
    QVERIFY(w.program->Start());
    Program& p = *w.program;
    QVERIFY(w.ui.fake.advisoryQuestions == 0 && !p.State().imageBuffer.Empty() &&
            !p.State().transferBuffer.Empty());
    // The placement is applied after the window is built: the layout follows.
    QCOMPARE(p.Window()->geometry(), QRect(60, 40, 640, 480));
    QVERIFY(p.Window()->Frame().width() < 640 && p.Window()->Frame().width() > 600);
    // The companions exist, hidden until asked for.
    for (QWidget* hidden : std::initializer_list<QWidget*>{p.FloppyId(), p.UsbId(), p.SysInfo(),
                                                           p.About(), p.Help()}) {
        QVERIFY(hidden != nullptr && !hidden->isVisible());
    }
    QCOMPARE(w.devices.Count(FaultOp::Open), 1);  // the probe: no scan at start-up

    // The Help menu reaches the companion windows, without blocking.
    p.Window()->Action(MenuId::Help_Menu_About).trigger();
    p.Window()->Action(MenuId::Help_Menu_System).trigger();
    p.Window()->Action(MenuId::Help_Menu_Documentation).trigger();
    QVERIFY(p.About()->isVisible() && !p.About()->isModal());
    QVERIFY(p.SysInfo()->isVisible() && p.Help()->isVisible() && p.Window()->isEnabled());

    // Exit: the companions go too, the buffers are freed, every window's placement saved.
    p.Window()->Action(MenuId::File_Menu_Exit).trigger();
    QVERIFY(!p.Window()->isVisible() && !p.About()->isVisible() && w.ui.fake.messages.empty());
    QVERIFY(p.State().imageBuffer.Empty() && p.State().transferBuffer.Empty());
    QVERIFY(ReadFileText(w.dir / "QuarnCfg/Quarn.cfg").find("\r\nUSBIDF = ") != std::string::npos);
}

void ProgramTests::endsEarlyOnExitOrFailedBuffersOrContinuesWithoutRights() {
    // Exit on the advisory window, or buffers that cannot be had, end the
    // program before any window exists.
    ProgramWorld exit(false);
    exit.ui.fake.advisoryAnswers.push_back(-1);
    QVERIFY(!exit.program->Start() && !exit.program->Window() && !exit.program->About());
    ProgramWorld failed(true, [](AlignedBuffer&, std::size_t) { return false; });
    QVERIFY(!failed.program->Start() && !failed.program->Window());
    QCOMPARE(failed.ui.fake.messages.size(), std::size_t{1});

    // Continue: only the store files, which need no rights, and Exit.
    ProgramWorld w(false);
    w.ui.fake.advisoryAnswers.push_back(0);
    QVERIFY(w.program->Start());
    QCOMPARE(w.program->State().adminRights, 0);
    QCOMPARE(FileMenu(*w.program->Window()), FileMenuWith({}));
}

// An ordinary user's desktop: disks come from udisks2 (here a stand-in on a
// private bus), which asks polkit for each; there are no rights to probe.
void ProgramTests::throughUdisksTheScanFindsSticksAndSafelyRemoveTakesThemAway() {
    if (const std::string missing = UdisksStandIn::Missing(); !missing.empty()) {
        QSKIP(("no stand-in udisks2 service: " + missing).c_str());
    }
    GuiWorld stores;
    UdisksStandIn service({{"sdq", stores.MakeStore("stick.img", "MYSTICK"), "", ""},
                           {"sdr", stores.MakeStore("stuck.img", "STUCK"), "stuck", ""}});
    const std::shared_ptr<UdisksClient> client = UdisksClient::Connect();
    QVERIFY(client != nullptr);
    UdisksDriveCatalog drives(client);
    UdisksDeviceBackend devices(client, std::make_unique<PosixDeviceBackend>());
    ProgramWorld w(false, {}, &devices, &drives);
    QVERIFY(w.program->Start());
    QVERIFY(w.ui.fake.advisoryQuestions == 0 && w.program->State().adminRights == 1);
    MainWindow& window = *w.program->Window();
    ScriptedQtUi& ui = w.ui;
    QAction& remove = window.Action(MenuId::File_Menu_SafelyRemove);
    window.RunCommand(MenuId::File_Menu_Scan);
    QVERIFY(ui.fake.messages.empty());

    // Offered but not possible with no stick selected (nor while another
    // command runs: the busy state's test); after a failure the stick stays.
    const QStringList both{"Select Device &sdq", "Select Device &sdr", "-", "ReScan Drives",
                           "Safely &Remove"};
    QCOMPARE(FileMenu(window), FileMenuWith(both));
    QVERIFY(remove.isVisible() && !remove.isEnabled());
    window.RunCommand(MenuId::File_Menu_Select_2);
    QVERIFY(remove.isEnabled());
    window.RunCommand(MenuId::File_Menu_SafelyRemove);
    QVERIFY(remove.isEnabled() &&
            ui.fake.LastMessage().text.find("The drive of /dev/sdr was not powered off; unplug it "
                                            "only after it has been.") != std::string::npos);
    window.RunCommand(MenuId::File_Menu_Select_1);
    window.RunCommand(MenuId::File_Menu_SafelyRemove);
    QCOMPARE(ui.fake.LastMessage().text,
             std::string("/dev/sdq is powered off and can be unplugged."));
    QCOMPARE(FileMenu(window),
             FileMenuWith({"Select Device &sdr", "-", "ReScan Drives", "Safely &Remove"}));

    // A store file is no drive.
    ui.fake.fileAnswers.push_back(stores.MakeStore("file.img", "FILESTORE"));
    window.RunCommand(MenuId::File_Menu_OpenStoreFile);
    QVERIFY(remove.isVisible() && !remove.isEnabled());
    window.Action(MenuId::File_Menu_Exit).trigger();
}

void ProgramTests::helpCommandsFollowTheirRules() {
    TempDir dir;
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
    // (Whether the second page is opened first, the command, the page after it.)
    const std::tuple<bool, void (HelpWindow::*)(), QString> steps[] = {
        {false, &HelpWindow::Forward, "QuarnHlp.htm"},
        {true, &HelpWindow::Home, "QuarnHlp.htm"},
        {false, &HelpWindow::Back, "QuarnHlp.htm"},
        {true, &HelpWindow::Back, "QuarnHlp.htm"},
        {false, &HelpWindow::Forward, "second.htm"}};
    for (const auto& [toSecond, command, expected] : steps) {
        if (toSecond) {
            help.Browser().setSource(second);
        }
        (help.*command)();
        QCOMPARE(help.Browser().source().fileName(), expected);
    }

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

void ProgramTests::aboutAndSystemInformation() {
    AboutWindow about;
    QCOMPARE(about.VersionLabel().text() + "|" + about.OkButton().text(),
             QString("Quarn - Quarnex| &Ok"));
    QVERIFY(
        QRegularExpression("^\\d{4}_\\d{2}_\\d{2}$").match(about.DateLabel().text()).hasMatch());
    about.ShowAbout();
    QTest::mouseClick(&about.OkButton(), Qt::LeftButton);
    QVERIFY(!about.isVisible());

    FakeSystemFacts facts;
    facts.processor = 0;
    facts.keyboard = 7;
    SysInfoWindow info(facts);
    QCOMPARE(info.windowTitle() + "|" + info.OkButton().text(),
             QString("Current System Information|&Ok"));
    info.ShowSysInfo();
    info.grab();  // paints
    // Two empty lines, then the facts in their print zone (the texts: the
    // commands' SystemFacts test); an unknown processor prints nothing.
    const std::string zone(14, ' ');
    const std::vector<std::string>& lines = info.PrintedLines();
    QCOMPARE(lines[0] + lines[1] + "|" + lines[2].substr(0, 21) + "|" + lines[6] + "|" + lines[10],
             "|" + zone + "WinDIR:|" + zone + "Processor:    |" + zone +
                 "KBType:       Special keyboard");
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

}  // namespace

std::unique_ptr<QObject> MakeProgramTests() {
    return std::make_unique<ProgramTests>();
}

}  // namespace quarnex::testing

#include "program_test.moc"
