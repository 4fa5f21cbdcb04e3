#include "app/program.hpp"

#include <QApplication>
#include <memory>

#include "app/fonts.hpp"
#include "app/main_window.hpp"
#include "app/qt_text_metrics.hpp"
#include "app/qt_ui.hpp"
#include "device/posix/posix_device_backend.hpp"
#include "device/posix/posix_system_facts.hpp"
#include "device/posix/program_path.hpp"
#include "device/posix/system_clock.hpp"
#include "device/system_drive_catalog.hpp"
#include "discovery/pending_ops.hpp"
#include "frame/startup.hpp"
#include "windows/about_window.hpp"
#include "windows/help_window.hpp"
#include "windows/program_icon.hpp"
#include "windows/sys_info_window.hpp"
#include "windows/window_placement.hpp"

namespace quarnex {

int Main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    const TwipScale scale = TwipScale::ForScreen();
    const QtTextMetrics metrics(GridFont(), scale);
    ProgramState state(metrics);
    PosixDeviceBackend devices;
    std::unique_ptr<DriveCatalog> drives = MakeSystemDriveCatalog();
    SystemClock clock;
    QtUi ui(scale);
    Context ctx{state, devices, *drives, ui, clock};

    // Without the rights for raw devices the user may go on without stores.
    state.AdminRights = CheckAdminRights(ctx);
    if (state.AdminRights < 0) {
        return 0;
    }
    if (!AllocateBuffersOrExplain(state, ui)) {
        return 0;
    }
    GetProgramPaths(state, RunningExecutablePath());

    // The main window holds the two ID dialogs; they and the information
    // windows stay hidden until asked for.
    MainWindow window(ctx, metrics, scale);
    const PosixSystemFacts facts;
    SysInfoWindow sysInfo(facts);
    AboutWindow about;
    ui.SetRenderer(&window);
    ui.SetDialogParent(&window);
    window.BuildMainWindow();

    HelpWindow help;
    help.HelpInit(state.AppFolder);
    const PlacedWidgets placed{&window, &help, &window.FloppyIdWindow(), &window.UsbIdWindow()};
    LoadWindowPlacement(state.AppFolder, placed);

    window.SetCompanions(Companions{
        &about, &help, [&help] { help.ShowHelp(); }, [&sysInfo] { sysInfo.ShowSysInfo(); },
        [&about] { about.ShowAbout(); },
        [&] {
            SaveWindowPlacement(state.AppFolder, placed, ui);
            about.close();
            sysInfo.close();
            window.UsbIdWindow().close();
            window.FloppyIdWindow().close();
            help.HelpUnload();
            ui.SetRenderer(nullptr);
            FreeBuffers(state);
            QCoreApplication::quit();
        }});
    window.show();
    return QApplication::exec();
}

}  // namespace quarnex
