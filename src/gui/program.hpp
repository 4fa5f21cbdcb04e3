#pragma once
// The GUI program's life: the start-up sequence in its fixed order, the
// windows it creates, and the shutdown that the main window's unload runs.

#include <memory>
#include <string>

#include "commands/system_facts.hpp"
#include "commands/window_context.hpp"
#include "commands/window_progress.hpp"
#include "gui/about_window.hpp"
#include "gui/floppy_id_dialog.hpp"
#include "gui/help_window.hpp"
#include "gui/main_window.hpp"
#include "gui/qt_text_metrics.hpp"
#include "gui/qt_ui.hpp"
#include "gui/sys_info_window.hpp"
#include "gui/usb_id_dialog.hpp"
#include "gui/window_placement.hpp"

namespace quarnex {

// What the program reaches the outside world through; the tests pass fakes.
struct ProgramServices {
    DeviceBackend& devices;
    DriveCatalog& drives;
    Clock& clock;
    QtUi& ui;
    const SystemFactSource& facts;
    std::string appFolder;      // the template and the help
    std::string placementFile;  // the window placement file
    BufferAllocator allocate;   // empty: the ordinary allocation
};

class Program {
  public:
    Program(ProgramServices services, TwipScale scale);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Rights probe (with the advisory window), buffers, program folder, the
    // hidden companion windows, the main window, help, placement file, and
    // the main window shown. False when the program is to end at once.
    bool Start();
    // Placement saved, companion windows and help unloaded, buffers freed,
    // event loop told to end. Runs once, from the main window's unload.
    void Shutdown();

    ProgramState& State() { return state_; }
    WindowContext& Ctx() { return ctx_; }
    WindowModel& Model() { return model_; }
    MainWindow* Window() { return window_.get(); }
    HelpWindow* Help() { return help_.get(); }
    AboutWindow* About() { return about_.get(); }
    SysInfoWindow* SysInfo() { return sysInfo_.get(); }
    FloppyIdDialog* FloppyId() { return floppyId_.get(); }
    UsbIdDialog* UsbId() { return usbId_.get(); }

  private:
    PlacedWidgets Placed() const;

    ProgramServices services_;
    TwipScale scale_;
    QtTextMetrics metrics_;
    ProgramState state_;
    WindowModel model_;
    WindowProgress progress_;
    WindowContext ctx_;
    // Created in the order start-up loads them; the main window goes first
    // at the end, since it refers to the others.
    std::unique_ptr<FloppyIdDialog> floppyId_;
    std::unique_ptr<UsbIdDialog> usbId_;
    std::unique_ptr<SysInfoWindow> sysInfo_;
    std::unique_ptr<AboutWindow> about_;
    std::unique_ptr<HelpWindow> help_;
    std::unique_ptr<MainWindow> window_;
    bool shutDown_ = false;
};

// The process entry: start-up, then the window events until shutdown.
int Main(int argc, char** argv);

}  // namespace quarnex
