#include "gui/program.hpp"

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <iostream>

#include "commands/startup.hpp"
#include "gui/fonts.hpp"
#include "gui/program_arguments.hpp"
#include "gui/program_icon.hpp"
#include "platform/platform.hpp"
#include "scan/admin_rights.hpp"

namespace quarnex {

Program::Program(ProgramServices services, TwipScale scale)
    : services_(std::move(services)),
      scale_(scale),
      metrics_(GridFont(), scale),
      model_(state_.slotTable, metrics_),
      progress_(state_, services_.ui),
      ctx_{{state_, services_.devices, services_.drives, services_.ui, services_.clock, progress_},
           model_} {}

Program::~Program() {
    services_.ui.SetRenderer(nullptr);
    window_.reset();
}

PlacedWidgets Program::Placed() const {
    return PlacedWidgets{window_.get(), help_.get(), floppyId_.get(), usbId_.get()};
}

bool Program::Start() {
    state_.adminRights = CheckAdminRights(ctx_);
    if (state_.adminRights < 0) {
        return false;  // Exit on the advisory window: nothing exists yet
    }
    if (!AllocateBuffersOrExplain(state_, services_.ui, services_.allocate)) {
        return false;
    }
    GetProgramPaths(state_, services_.appFolder);

    DialogTexts& texts = model_.dialogs;
    floppyId_ = std::make_unique<FloppyIdDialog>(texts, scale_);
    usbId_ = std::make_unique<UsbIdDialog>(texts, scale_);
    sysInfo_ = std::make_unique<SysInfoWindow>(services_.facts);
    about_ = std::make_unique<AboutWindow>();

    window_ = std::make_unique<MainWindow>(ctx_, metrics_, scale_, *usbId_, *floppyId_);
    services_.ui.SetRenderer(window_.get());
    services_.ui.SetDialogParent(window_.get());
    window_->BuildMainWindow();
    // The ID dialogs stay above the main window, as dialogs of it would.
    window_->winId();
    for (QWidget* dialog :
         {static_cast<QWidget*>(floppyId_.get()), static_cast<QWidget*>(usbId_.get())}) {
        dialog->winId();
        dialog->windowHandle()->setTransientParent(window_->windowHandle());
    }

    help_ = std::make_unique<HelpWindow>();
    if (help_->HelpInit(state_.appFolder)) {
        model_.menus[MenuId::Help_Menu_Documentation].enabled = true;
        services_.ui.Changed(WindowPart::Menus);
    }
    window_->SetCompanions(Companions{about_.get(), help_.get(), [this] { help_->ShowHelp(); },
                                      [this] { sysInfo_->ShowSysInfo(); },
                                      [this] { about_->ShowAbout(); }, [this] { Shutdown(); }});

    LoadWindowPlacement(services_.placementFile, Placed());
    window_->show();
    return true;
}

void Program::Shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    // The placement is taken while every window still exists.
    SaveWindowPlacement(services_.placementFile, Placed(), services_.ui);
    about_->close();
    sysInfo_->close();
    usbId_->close();
    floppyId_->close();
    help_->HelpUnload();
    FreeBuffers(state_);
    QCoreApplication::quit();
}

namespace {

std::vector<std::string> ArgumentsOf(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

int Main(int argc, char** argv) {
    // Answered before Qt starts, so they need no display.
    const ProgramArguments early = ParseProgramArguments(ArgumentsOf(argc, argv));
    if (early.action == ProgramArguments::Action::Help) {
        std::cout << ProgramUsage();
        return 0;
    }
    if (early.action == ProgramArguments::Action::Version) {
        std::cout << ProgramVersion() << '\n';
        return 0;
    }
    QApplication application(argc, argv);
    // What Qt left after taking its own options.
    const ProgramArguments arguments = ParseProgramArguments(ArgumentsOf(argc, argv));
    if (arguments.action == ProgramArguments::Action::Wrong) {
        std::cerr << "quarnex: " << arguments.problem << "\nTry 'quarnex --help'.\n";
        return 2;
    }
    QApplication::setWindowIcon(ProgramIcon());
    // Store files stay sparse, as the terminal tool keeps them.
    const Platform platform = MakePlatform(PlatformOptions{true, false});
    const TwipScale scale = TwipScale::ForScreen();
    QtUi ui(scale);
    Program program(ProgramServices{*platform.devices,
                                    *platform.drives,
                                    *platform.clock,
                                    ui,
                                    *platform.facts,
                                    platform.paths->DataFolder(),
                                    platform.paths->PlacementFile(),
                                    {}},
                    scale);
    if (!program.Start()) {
        return 0;
    }
    if (arguments.file) {
        // Once the window is up, as if the user had chosen the file.
        QTimer::singleShot(0, program.Window(),
                           [&program, &arguments] { program.Window()->OpenFile(*arguments.file); });
    }
    return QApplication::exec();
}

}  // namespace quarnex
