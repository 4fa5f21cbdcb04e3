#include "gui_world.hpp"

#include <QMenu>
#include <QTest>
#include <stdexcept>

#include "core/media_sizes.hpp"
#include "fat12/fat12_volume.hpp"

namespace quarnex::testing {

GuiWorld::GuiWorld(int adminRights) {
    if (!AllocateBuffers(state)) {
        throw std::runtime_error("cannot allocate the buffers");
    }
    state.adminRights = adminRights;
    state.appFolder = QUARNEX_APP_DIR "/";  // the FAT12 template lies beside the programs
    ui.SetRenderer(&window);
    ui.SetDialogParent(&window);
    window.BuildMainWindow();
    window.SetCompanions(Companions{nullptr, nullptr, {}, {}, {}, [this] { ++shutdowns; }});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        throw std::runtime_error("the main window was not shown");
    }
}

void PutBlankVolume(const std::string& path, std::uint64_t offset, const std::string& label) {
    std::vector<std::byte> volume(kImageBytes);
    fat12::BuildBlankVolume(volume, label);
    PutBytes(path, offset,
             std::string_view(reinterpret_cast<const char*>(volume.data()), kImageBytes));
}

std::string GuiWorld::MakeStore(const std::string& name, const std::string& storeId,
                                const std::vector<std::pair<int, std::string>>& labelled) {
    const std::string path = dir / name;
    MakeSparseFile(path, kStoreBytes);
    PutBlankVolume(path, SlotOffset(0), storeId);
    for (const auto& [slot, label] : labelled) {
        PutBlankVolume(path, SlotOffset(slot), label);
    }
    return path;
}

static QPoint RowCentre(DiskGridView& grid, int row) {
    const int y = grid.rowViewportPosition(row - 1) + grid.rowHeight(row - 1) / 2;
    return QPoint(grid.columnViewportPosition(2) + 10, y);
}

void GuiWorld::ClickRow(int row) {
    QTest::mouseClick(window.Grid().viewport(), Qt::LeftButton, {}, RowCentre(window.Grid(), row));
}

void GuiWorld::DoubleClickRow(int row) {
    // As the system delivers it: a click, then a press as a double-click.
    ClickRow(row);
    QTest::mouseDClick(window.Grid().viewport(), Qt::LeftButton, {}, RowCentre(window.Grid(), row));
}

QStringList VisibleEntries(QAction& menuAction) {
    QStringList entries;
    for (QAction* action : menuAction.menu()->actions()) {
        if (action->isVisible()) {
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
    }
    return entries;
}

QStringList FileMenu(MainWindow& window) {
    return VisibleEntries(window.Action(MenuId::File_Menu));
}

QStringList FileMenuWith(const QStringList& middle) {
    QStringList entries{"&Open Store Image File...", "&New Store Image File...", "-"};
    if (!middle.isEmpty()) {
        entries << middle << "-";
    }
    return entries << "&Exit";
}

}  // namespace quarnex::testing
