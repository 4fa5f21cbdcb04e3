#pragma once
// A built main window over a temporary folder: real fonts and Qt widgets, the
// plain operations on real files through the fault-injecting backend, and a
// Ui that answers dialogs from queues instead of waiting for a user.

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

#include "commands/window_progress.hpp"
#include "gui/fonts.hpp"
#include "gui/main_window.hpp"
#include "platform/posix/posix_device_backend.hpp"
#include "platform/posix/sparse_file_backend.hpp"
#include "support/fake_clock.hpp"
#include "support/fake_drive_catalog.hpp"
#include "support/fake_ui.hpp"
#include "support/fault_injecting_backend.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {

// The Qt Ui with its real windows, whose questions a FakeUi answers and records.
class ScriptedQtUi final : public QtUi {
  public:
    ScriptedQtUi(TwipScale scale, const ProgramState& state) : QtUi(scale), fake(state) {}

    MessageAnswer ShowMessage(const MessageRequest& r) override { return fake.ShowMessage(r); }
    std::optional<std::string> AskOpenFile(const FileDialogRequest& request) override {
        return fake.AskOpenFile(request);
    }
    std::optional<std::string> AskSaveFile(const FileDialogRequest& request) override {
        if (onSaveDialog) {
            onSaveDialog();  // what the user does while the dialog is open
        }
        return fake.AskSaveFile(request);
    }
    int AskAdvisory() override { return fake.AskAdvisory(); }
    void Changed(WindowPart part) override {
        QtUi::Changed(part);
        fake.Changed(part);
    }
    // Real events first, then the fake's onPump, as a click arrives inside a pump.
    void PumpEvents() override {
        QtUi::PumpEvents();
        fake.PumpEvents();
    }

    FakeUi fake;
    std::function<void()> onSaveDialog;
};

struct GuiWorld {
    explicit GuiWorld(int adminRights = 1);
    ~GuiWorld() { ui.SetRenderer(nullptr); }

    // A store file whose slots 0 and labelled hold empty FAT12 volumes so
    // labelled; returns its path.
    std::string MakeStore(const std::string& name, const std::string& storeId,
                          const std::vector<std::pair<int, std::string>>& labelled = {});

    void ClickRow(int row);
    void DoubleClickRow(int row);
    // What the grid shows in a cell of a slot row, and a menu entry's caption.
    QString Cell(int row, int column) {
        return window.Grid().model()->index(row - 1, column).data().toString();
    }
    QString Caption(MenuId id) { return window.Action(id).text(); }

    TempDir dir;
    TwipScale scale{96.0};
    QtTextMetrics metrics{GridFont(), scale};
    ProgramState state;
    WindowModel model{state.slotTable, metrics};
    PosixDeviceBackend posix;
    SparseFileBackend sparse{posix};  // as the program keeps its files
    FaultInjectingBackend devices{sparse};
    FakeDriveCatalog drives;
    FakeClock clock;
    ScriptedQtUi ui{scale, state};
    WindowProgress progress{state, ui};
    WindowContext ctx{{state, devices, drives, ui, clock, progress}, model};
    FloppyIdDialog floppyId{model.dialogs, scale};
    UsbIdDialog usbId{model.dialogs, scale};
    MainWindow window{ctx, metrics, scale, usbId, floppyId};
    int shutdowns = 0;
};

// An empty FAT12 volume so labelled, written into the file at offset.
void PutBlankVolume(const std::string& path, std::uint64_t offset, const std::string& label);
// The visible entries of a menu, by caption, separators as "-".
QStringList VisibleEntries(QAction& menuAction);
QStringList FileMenu(MainWindow& window);
// The File menu as it should read: the store-file commands, then middle
// between separators, then Exit.
QStringList FileMenuWith(const QStringList& middle);

std::unique_ptr<QObject> MakeStatesTests();
std::unique_ptr<QObject> MakeProgramTests();

}  // namespace quarnex::testing
