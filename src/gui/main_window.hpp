#pragma once
// The main window. It renders the plain window model (status strip,
// menus, frame caption, grid, edit box) and turns the user's menu choices,
// clicks and keys into the plain operations.

#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <array>
#include <functional>

#include "commands/context.hpp"
#include "commands/grid_editing.hpp"
#include "commands/main_layout.hpp"
#include "gui/contents_window.hpp"
#include "gui/disk_grid_view.hpp"
#include "gui/edit_box.hpp"
#include "gui/find_window.hpp"
#include "gui/floppy_id_dialog.hpp"
#include "gui/grid_table_model.hpp"
#include "gui/qt_text_metrics.hpp"
#include "gui/qt_ui.hpp"
#include "gui/usb_id_dialog.hpp"

namespace quarnex {

// The windows that live beside the main window, reached through what they do.
struct Companions {
    QWidget* about = nullptr;  // VrsionF: follows the main window into minimised
    QWidget* help = nullptr;   // the help viewer: likewise
    std::function<void()> showHelp;
    std::function<void()> showSystem;
    std::function<void()> showAbout;
    // Runs once when the main window unloads; the program ends after it.
    std::function<void()> shutdown;
};

class MainWindow : public QMainWindow, public WindowRenderer {
    Q_OBJECT
  public:
    // The ID dialogs are loaded before the main window and outlive it.
    MainWindow(WindowContext& ctx, const QtTextMetrics& metrics, TwipScale scale,
               UsbIdDialog& usbId, FloppyIdDialog& floppyId);

    // Sizes everything from the grid font and puts the window into its reset
    // state; the window stays hidden.
    void BuildMainWindow();
    void SetCompanions(Companions companions) { companions_ = std::move(companions); }

    void Render(WindowPart part) override;

    // Runs a menu command as the user's choice would (ignored while it may
    // not run).
    void RunCommand(MenuId id);
    // A file named on the command line, opened as a command.
    void OpenFile(const std::string& path);

    QAction& Action(MenuId id) { return *actions_.at(static_cast<std::size_t>(id)); }
    QLabel& ActionLabel() { return *actionLabel_; }
    QLabel& BufferLabel() { return *bufferLabel_; }
    QLabel& ProgressLabel() { return *progressLabel_; }
    QProgressBar& ProgressBar() { return *progressBar_; }
    QGroupBox& Frame() { return *frame_; }
    DiskGridView& Grid() { return *grid_; }
    QScrollBar& GridScroll() { return *gridScroll_; }
    EditBox& Edit() { return *edit_; }
    UsbIdDialog& UsbIdWindow() { return *usbIdDialog_; }
    FloppyIdDialog& FloppyIdWindow() { return *floppyIdDialog_; }
    // Null until the Image menu's Contents entry was first chosen.
    ContentsWindow* ContentsWin() { return contents_; }
    // Null until File, Find was first chosen.
    FindWindow* FindWin() { return find_; }
    const MainLayout& Layout() const { return layout_; }
    int TopRow() const { return topRow_; }
    // True while a command runs (a long operation may be waiting in it).
    bool CommandRunning() const { return commandDepth_ > 0; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateStatusStrip(QWidget* client);
    void CreateFrame(QWidget* client);
    void CreateMenus();
    void CreateShortcuts();
    QAction* AddEntry(QMenu* menu, MenuId id);
    QMenu* AddMenu(QMenu* parent, MenuId id);
    void RenderMenus();
    void RenderEditBox();
    void RenderBufferLabel();
    void RenderActionLabel();
    void TipFrameCaption();
    void ApplyLayout();
    void ApplyColumnWidths();
    void ApplyRowHeight(int row);
    void ResizeHandler();
    void MinimizeCompanions();

    GridView CurrentGridView() const;
    bool GridUsable() const;
    void ApplyGridUsable();
    bool GridInUse() const;
    void OnGridPressed(int y);
    void OnGridClicked(int row);
    void OnGridDoubleClicked(int row);
    void OnGridKey(GridKey key);
    void OnGridEditKey();
    void OnGridFilesDropped(int row, const QStringList& files);
    int RowsInViewFrom(int top) const;
    void ShowRow(int row);
    void ApplyGridResult(const GridEventResult& result);
    void OnEditTextChanged();
    void OnEditEscape();
    void OnEditKeep();
    void FocusGridAfterEdit();
    void OnScrollChanged();
    void FocusEditBox();

    void Dispatch(MenuId id);
    // Runs fn as a command unless another one is running; unloads the window
    // afterwards when Exit was chosen meanwhile.
    template <typename Fn>
    void Guarded(Fn&& fn);
    void FinishCommand();
    // Reads the store again when another program changed its descriptions.
    void CheckStoreChangedElsewhere();
    void RequestExit();
    bool MayRun(MenuId id) const;
    void OnImageMenuOpening();
    void OnFormatStoreOk();
    void OnFormatImageOk();
    void OpenContentsWindow();
    void OpenFindWindow();
    void SelectFoundSlot(int slot);

    WindowContext& ctx_;
    const QtTextMetrics& metrics_;
    TwipScale scale_;
    MainLayout layout_;
    EditBoxPlacement placement_;
    Companions companions_;

    QLabel* fixedLabel_ = nullptr;
    QLabel* bufferLabel_ = nullptr;
    QLabel* actionLabel_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QGroupBox* frame_ = nullptr;
    DiskGridView* grid_ = nullptr;
    GridTableModel* gridModel_ = nullptr;
    QScrollBar* gridScroll_ = nullptr;
    EditBox* edit_ = nullptr;
    UsbIdDialog* usbIdDialog_ = nullptr;
    FloppyIdDialog* floppyIdDialog_ = nullptr;
    std::array<QAction*, kMenuCount> actions_{};
    QMenu* imageMenu_ = nullptr;
    ContentsWindow* contents_ = nullptr;
    FindWindow* find_ = nullptr;

    int topRow_ = 1;
    bool LayoutInProgress = false;
    bool ResizeInProgress = false;
    bool scrollInProgress_ = false;
    bool wasMinimised_ = false;
    unsigned companionMemory_ = 0;
    int commandDepth_ = 0;
    // A look at the store for changes made elsewhere waits for another
    // program's lock to go.
    bool storeCheckPending_ = false;
    static constexpr int kStoreCheckRetryMs = 2000;
    bool exitPending_ = false;
    bool shutDown_ = false;
};

}  // namespace quarnex
