// The program's start-up and shutdown as a whole: the rights probe and the
// advisory answers, the buffers, the windows it loads hidden, the placement
// file read after the main window is built, and the shutdown's effects.

#include <QTest>
#include <filesystem>

#include "gui/program.hpp"
#include "gui_tests.hpp"
#include "gui_world.hpp"
#include "platform/posix/posix_system_facts.hpp"

namespace quarnex::testing {
namespace {

// A program folder in a temporary directory: the executable's name inside it
// gives the AppFolder, and QuarnCfg holds the placement file.
struct ProgramWorld {
    explicit ProgramWorld(bool rights, BufferAllocator allocate = {}) {
        std::filesystem::create_directories(dir / "QuarnCfg");
        if (rights) {
            drives.rightsProbePath = dir / "probe";
            WriteFileBytes(drives.rightsProbePath, {0});
        }
        program = std::make_unique<Program>(ProgramServices{devices, drives, clock, ui, facts,
                                                            dir / "quarnex", std::move(allocate)},
                                            scale);
    }

    TempDir dir;
    TwipScale scale{96.0};
    PosixDeviceBackend posix;
    FaultInjectingBackend devices{posix};
    FakeDriveCatalog drives;
    FakeClock clock;
    // The fake records labels from a state of its own; the program's state is
    // checked through its windows.
    ProgramState labelState;
    ScriptedQtUi ui{scale, labelState};
    PosixSystemFacts facts;
    std::unique_ptr<Program> program;
};

class ProgramTests : public QObject {
    Q_OBJECT
  private slots:
    void withRightsNoQuestionEverythingLoadedAndReleased();
    void advisoryExitEndsBeforeAnythingExists();
    void advisoryContinueLeavesNoStoreCommands();
    void failedBuffersEndTheProgramWithTheirMessage();
    void placementIsAppliedAfterTheWindowIsBuilt();
};

void ProgramTests::withRightsNoQuestionEverythingLoadedAndReleased() {
    ProgramWorld w(true);
    QVERIFY(w.program->Start());
    Program& p = *w.program;
    QCOMPARE(w.ui.fake.advisoryQuestions, 0);
    QCOMPARE(p.State().AdminRights, 1);
    QCOMPARE(p.State().AppFolder, w.dir.Path() + "/");
    QVERIFY(!p.State().InternalImage.Empty());
    QVERIFY(!p.State().TransferBuffer.Empty());
    QVERIFY(p.Window()->isVisible());
    // The companions exist, hidden until asked for.
    for (QWidget* hidden : std::initializer_list<QWidget*>{p.FloppyId(), p.UsbId(), p.SysInfo(),
                                                           p.About(), p.Help()}) {
        QVERIFY(hidden != nullptr);
        QVERIFY(!hidden->isVisible());
    }
    QCOMPARE(FileMenu(*p.Window()), FileMenuWith({"Scan Drives"}));
    QVERIFY(p.Window()->Action(MenuId::Help_Menu_Documentation).isEnabled());
    // No scan at start-up.
    QCOMPARE(p.State().devices.DeviceCount, 0);
    QCOMPARE(w.devices.Count(FaultOp::Open), 1);  // the probe alone
    QCOMPARE(w.devices.OpenHandles(), 0);

    // The Help menu reaches the companion windows, without blocking.
    p.Window()->Action(MenuId::Help_Menu_About).trigger();
    p.Window()->Action(MenuId::Help_Menu_System).trigger();
    p.Window()->Action(MenuId::Help_Menu_Documentation).trigger();
    QVERIFY(p.About()->isVisible() && !p.About()->isModal());
    QVERIFY(p.SysInfo()->isVisible());
    QVERIFY(p.Help()->isVisible());
    QVERIFY(p.Window()->isEnabled());

    // Exit: the companions go too, the buffers are freed, the placement saved.
    p.Window()->Action(MenuId::File_Menu_Exit).trigger();
    QVERIFY(!p.Window()->isVisible());
    QVERIFY(!p.About()->isVisible());
    QVERIFY(p.State().InternalImage.Empty());
    QVERIFY(p.State().TransferBuffer.Empty());
    const std::string config = ReadFileText(w.dir / "QuarnCfg/Quarn.cfg");
    QVERIFY(config.rfind("[WINDOWS]\r\n", 0) == 0);
    QVERIFY(config.find("QrnF = 0") != std::string::npos ||
            config.find("QrnF = 1") != std::string::npos);
    QVERIFY(w.ui.fake.messages.empty());
}

void ProgramTests::advisoryExitEndsBeforeAnythingExists() {
    ProgramWorld w(false);
    w.ui.fake.advisoryAnswers.push_back(-1);
    QVERIFY(!w.program->Start());
    QCOMPARE(w.ui.fake.advisoryQuestions, 1);
    QVERIFY(w.program->State().InternalImage.Empty());
    QVERIFY(w.program->Window() == nullptr);
    QVERIFY(w.program->About() == nullptr);
    QVERIFY(w.ui.fake.messages.empty());
}

void ProgramTests::advisoryContinueLeavesNoStoreCommands() {
    ProgramWorld w(false);
    w.ui.fake.advisoryAnswers.push_back(0);
    QVERIFY(w.program->Start());
    Program& p = *w.program;
    QCOMPARE(p.State().AdminRights, 0);
    // Only the store files, which need no rights, and Exit.
    QCOMPARE(FileMenu(*p.Window()), FileMenuWith({}));
    QVERIFY(!p.Window()->GridScroll().isEnabled());
    QVERIFY(p.Window()->isVisible());
}

void ProgramTests::failedBuffersEndTheProgramWithTheirMessage() {
    ProgramWorld w(true, [](AlignedBuffer&, std::size_t) { return false; });
    QVERIFY(!w.program->Start());
    QCOMPARE(w.ui.fake.messages.size(), std::size_t{1});
    QCOMPARE(w.ui.fake.messages[0].title, std::string("RorUve"));
    QCOMPARE(w.ui.fake.messages[0].text,
             std::string("Allocation Of Buffers Failed.\r\nProgram Will Exit."));
    QCOMPARE(w.ui.fake.messages[0].icon, MessageIcon::Exclamation);
    QVERIFY(w.program->Window() == nullptr);
}

void ProgramTests::placementIsAppliedAfterTheWindowIsBuilt() {
    ProgramWorld w(true);
    // Outer frame: top 600, left 900, height 7200, width 9600 twips.
    WriteFileText(w.dir / "QuarnCfg/Quarn.cfg", "[WINDOWS]\r\nQrnF = 1, 600, 900, 7200, 9600\r\n");
    QVERIFY(w.program->Start());
    const QRect frame = w.program->Window()->frameGeometry();
    QCOMPARE(frame.topLeft(), QPoint(60, 40));
    QCOMPARE(frame.size(), QSize(640, 480));
    // The grid followed the placed size.
    QVERIFY(w.program->Window()->Frame().width() < 640);
    QVERIFY(w.program->Window()->Frame().width() > 600);
}

}  // namespace

std::unique_ptr<QObject> MakeProgramTests() {
    return std::make_unique<ProgramTests>();
}

}  // namespace quarnex::testing

#include "program_test.moc"
