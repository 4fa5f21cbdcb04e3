// The program's start-up and shutdown as a whole: the advisory window, the
// buffers, the windows it loads, the placement file and the shutdown.

#include <QTest>
#include <QTimer>
#include <filesystem>

#include "gui/program.hpp"
#include "gui/query_window.hpp"
#include "gui_world.hpp"
#include "platform/posix/posix_system_facts.hpp"
#include "platform/udisks/udisks_device_backend.hpp"
#include "platform/udisks/udisks_drive_catalog.hpp"
#include "support/udisks_standin.hpp"

namespace quarnex::testing {
namespace {

// A program folder with its placement file beside the program.
struct ProgramWorld {
    explicit ProgramWorld(bool rights, BufferAllocator allocate = {}) {
        std::filesystem::create_directories(dir / "QuarnCfg");
        if (rights) {
            drives.rightsProbePath = dir / "probe";
            WriteFileBytes(drives.rightsProbePath, {0});
        }
        program = std::make_unique<Program>(
            ProgramServices{devices, drives, clock, ui, facts, dir.Path() + "/",
                            dir / "QuarnCfg/Quarn.cfg", std::move(allocate)},
            scale);
    }

    TempDir dir;
    TwipScale scale{96.0};
    PosixDeviceBackend posix;
    FaultInjectingBackend devices{posix};
    FakeDriveCatalog drives;
    FakeClock clock;
    // The fake reads labels from a state of its own.
    ProgramState labelState;
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
    // Outer frame: top 600, left 900, height 7200, width 9600 twips.
    WriteFileText(w.dir / "QuarnCfg/Quarn.cfg", "[WINDOWS]\r\nQrnF = 1, 600, 900, 7200, 9600\r\n");
    QVERIFY(w.program->Start());
    Program& p = *w.program;
    QCOMPARE(w.ui.fake.advisoryQuestions, 0);
    QVERIFY(!p.State().imageBuffer.Empty() && !p.State().transferBuffer.Empty());
    // The placement is applied after the window is built: the layout follows.
    QCOMPARE(p.Window()->frameGeometry(), QRect(60, 40, 640, 480));
    QVERIFY(p.Window()->Frame().width() < 640 && p.Window()->Frame().width() > 600);
    // The companions exist, hidden until asked for.
    for (QWidget* hidden : std::initializer_list<QWidget*>{p.FloppyId(), p.UsbId(), p.SysInfo(),
                                                           p.About(), p.Help()}) {
        QVERIFY(hidden != nullptr && !hidden->isVisible());
    }
    QCOMPARE(w.devices.Count(FaultOp::Open), 1);  // the probe: no scan at start-up
    QCOMPARE(w.devices.OpenHandles(), 0);

    // The Help menu reaches the companion windows, without blocking.
    p.Window()->Action(MenuId::Help_Menu_About).trigger();
    p.Window()->Action(MenuId::Help_Menu_System).trigger();
    p.Window()->Action(MenuId::Help_Menu_Documentation).trigger();
    QVERIFY(p.About()->isVisible() && !p.About()->isModal());
    QVERIFY(p.SysInfo()->isVisible() && p.Help()->isVisible() && p.Window()->isEnabled());

    // Exit: the companions go too, the buffers are freed, the placement saved.
    p.Window()->Action(MenuId::File_Menu_Exit).trigger();
    QVERIFY(!p.Window()->isVisible() && !p.About()->isVisible());
    QVERIFY(p.State().imageBuffer.Empty() && p.State().transferBuffer.Empty());
    const std::string config = ReadFileText(w.dir / "QuarnCfg/Quarn.cfg");
    QVERIFY(config.rfind("[WINDOWS]\r\n", 0) == 0 && config.find("QrnF = ") != std::string::npos);
    QVERIFY(w.ui.fake.messages.empty());
}

void ProgramTests::endsEarlyOnExitOrFailedBuffersOrContinuesWithoutRights() {
    // Exit on the advisory window, or buffers that cannot be had, end the
    // program before any window exists.
    ProgramWorld exit(false);
    exit.ui.fake.advisoryAnswers.push_back(-1);
    QVERIFY(!exit.program->Start());
    QVERIFY(exit.program->Window() == nullptr && exit.program->About() == nullptr);
    ProgramWorld failed(true, [](AlignedBuffer&, std::size_t) { return false; });
    QVERIFY(!failed.program->Start());
    QCOMPARE(failed.ui.fake.messages.size(), std::size_t{1});
    QVERIFY(failed.program->Window() == nullptr);

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
    TempDir dir;
    std::filesystem::create_directories(dir / "QuarnCfg");
    const std::shared_ptr<UdisksClient> client = UdisksClient::Connect();
    QVERIFY(client != nullptr);
    UdisksDriveCatalog drives(client);
    UdisksDeviceBackend devices(client, std::make_unique<PosixDeviceBackend>());
    FakeClock clock;
    ProgramState labelState;
    ScriptedQtUi ui{TwipScale(96.0), labelState};
    PosixSystemFacts facts;
    Program program(
        ProgramServices{
            devices, drives, clock, ui, facts, dir.Path() + "/", dir / "QuarnCfg/Quarn.cfg", {}},
        TwipScale(96.0));
    QVERIFY(program.Start());
    QCOMPARE(ui.fake.advisoryQuestions, 0);
    QCOMPARE(program.State().adminRights, 1);
    MainWindow& window = *program.Window();
    QAction& remove = window.Action(MenuId::File_Menu_SafelyRemove);
    window.RunCommand(MenuId::File_Menu_Scan);
    QVERIFY(ui.fake.messages.empty());

    // Offered but not possible with no stick selected, nor while another
    // command runs; after a failure the stick stays.
    const QStringList both{"Select Device &sdq", "Select Device &sdr", "-", "ReScan Drives",
                           "Safely &Remove"};
    QCOMPARE(FileMenu(window), FileMenuWith(both));
    QVERIFY(remove.isVisible() && !remove.isEnabled());
    window.RunCommand(MenuId::File_Menu_Select_2);
    QVERIFY(remove.isEnabled());
    ui.fake.fileAnswers.push_back(dir / "backup.img");
    bool enabledWhileBusy = true;
    ui.fake.onPump = [&](int) {
        enabledWhileBusy = remove.isEnabled();
        window.RunCommand(MenuId::File_Menu_SafelyRemove);
        window.Action(MenuId::Cancel_Menu).trigger();
    };
    window.RunCommand(MenuId::File_Menu_Export);
    ui.fake.onPump = nullptr;
    QVERIFY(!enabledWhileBusy);

    const struct {
        MenuId select;
        std::string said;
        QStringList left;
    } removals[] = {
        {MenuId::File_Menu_Select_2,
         "The drive of /dev/sdr was not powered off; unplug it only after it has been.", both},
        {MenuId::File_Menu_Select_1,
         "/dev/sdq is powered off and can be unplugged.",
         {"Select Device &sdr", "-", "ReScan Drives", "Safely &Remove"}},
    };
    for (const auto& removal : removals) {
        window.RunCommand(removal.select);
        window.RunCommand(MenuId::File_Menu_SafelyRemove);
        QVERIFY2(ui.fake.LastMessage().text.find(removal.said) != std::string::npos,
                 ui.fake.LastMessage().text.c_str());
        if (removal.left != both) {
            QCOMPARE(FileMenu(window), FileMenuWith(removal.left));
        }
    }

    // A store file is no drive.
    ui.fake.fileAnswers.push_back(stores.MakeStore("file.img", "FILESTORE"));
    window.RunCommand(MenuId::File_Menu_OpenStoreFile);
    QVERIFY(remove.isVisible() && !remove.isEnabled());
    window.Action(MenuId::File_Menu_Exit).trigger();
}

}  // namespace

std::unique_ptr<QObject> MakeProgramTests() {
    return std::make_unique<ProgramTests>();
}

}  // namespace quarnex::testing

#include "program_test.moc"
