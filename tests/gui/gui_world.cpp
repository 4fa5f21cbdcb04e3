#include "gui_world.hpp"

#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "core/media_sizes.hpp"
#include "fat12/fat12_volume.hpp"
#include "support/temp_dir.hpp"

namespace quarnex::testing {

namespace {
void WriteBytesAt(const std::string& path, std::uint64_t offset,
                  const std::vector<std::byte>& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}
}  // namespace

GuiWorld::GuiWorld(int adminRights) {
    if (!AllocateBuffers(state)) {
        throw std::runtime_error("cannot allocate the buffers");
    }
    state.AdminRights = adminRights;
    // The FAT12 template lies beside the programs.
    state.AppFolder = QUARNEX_APP_DIR "/";
    ui.SetRenderer(&window);
    ui.SetDialogParent(&window);
    window.BuildMainWindow();
    Companions companions;
    companions.shutdown = [this] { ++shutdowns; };
    window.SetCompanions(companions);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        throw std::runtime_error("the main window was not shown");
    }
}

GuiWorld::~GuiWorld() {
    ui.SetRenderer(nullptr);
}

std::string GuiWorld::MakeStore(const std::string& name, const std::string& storeId,
                                const std::vector<std::pair<int, std::string>>& labelled) {
    const std::string path = dir / name;
    MakeSparseFile(path, kStoreBytes);
    std::vector<std::byte> volume(kImageBytes);
    auto writeSlot = [&](int slot, const std::string& label) {
        fat12::BuildBlankVolume(volume, label);
        WriteBytesAt(path, SlotOffset(slot), volume);
    };
    writeSlot(0, storeId);
    for (const auto& [slot, label] : labelled) {
        writeSlot(slot, label);
    }
    state.devices.Row(1) = DeviceEntry{name, path, -1, "", kStoreBytes};
    return path;
}

std::string GuiWorld::DisksTxt(const std::string& storePath) const {
    const std::vector<unsigned char> bytes = ReadFileBytes(storePath, 0, kImageBytes);
    std::vector<std::byte> volume(bytes.size());
    std::memcpy(volume.data(), bytes.data(), bytes.size());
    return fat12::ReadRootFile(volume, "DISKS.TXT").contents;
}

namespace {
QPoint RowCentre(DiskGridView& grid, int row) {
    const int y = grid.rowViewportPosition(row - 1) + grid.rowHeight(row - 1) / 2;
    return QPoint(grid.columnViewportPosition(2) + 10, y);
}
}  // namespace

void GuiWorld::ClickRow(int row) {
    QTest::mouseClick(window.Grid().viewport(), Qt::LeftButton, {}, RowCentre(window.Grid(), row));
}

void GuiWorld::DoubleClickRow(int row) {
    // A double-click as the system delivers it: a click, then the second
    // press as a double-click, then its release.
    QWidget* viewport = window.Grid().viewport();
    const QPoint at = RowCentre(window.Grid(), row);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
}

void GuiWorld::ClickHeader() {
    QHeaderView* header = window.Grid().horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 10, header->height() / 2));
}

void GuiWorld::TypeIntoEdit(const QString& text) {
    QTest::keyClicks(&window.Edit(), text);
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
