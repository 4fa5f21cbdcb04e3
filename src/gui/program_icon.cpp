#include "gui/program_icon.hpp"

#include <array>

// The icons live in this static library; registering them from the function
// that uses them keeps the linker from dropping them.
static void RegisterIconResources() {
    Q_INIT_RESOURCE(quarnex_icons);
}

namespace quarnex {

namespace {

constexpr std::array<int, 7> kIconSizes = {16, 24, 32, 48, 64, 128, 256};

QString IconPath(int size) {
    return QString(":/quarnex/quarnex-%1.png").arg(size);
}

}  // namespace

QIcon ProgramIcon() {
    RegisterIconResources();
    QIcon icon;
    for (const int size : kIconSizes) {
        icon.addFile(IconPath(size), QSize(size, size));
    }
    return icon;
}

QPixmap ProgramIconPixmap32() {
    RegisterIconResources();
    return QPixmap(IconPath(32));
}

}  // namespace quarnex
