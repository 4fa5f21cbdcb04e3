#include "store_world.hpp"

#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "frame/layout.hpp"
#include "store/fat12/fat12_layout.hpp"
#include "store/fat12/fat12_volume.hpp"

namespace quarnex::testing {

StoreWorld::StoreWorld(bool volumeInSlot0) : store(dir / "store.img") {
    MakeSparseFile(store, kStoreBytes);
    state.devices.Row(1) = DeviceEntry{"sdb", store, 2, "", kStoreBytes};
    state.devices.DeviceCount = 1;
    state.SelectedDevice = 1;
    drives.drives.push_back(FakeDrive{"sdb", store, DriveKind::Removable, 2});
    if (volumeInSlot0) {
        std::vector<std::byte> volume(fat12::kVolumeBytes);
        fat12::BuildBlankVolume(volume, "USBSTORE");
        std::vector<unsigned char> bytes(volume.size());
        std::memcpy(bytes.data(), volume.data(), volume.size());
        std::FILE* file = std::fopen(store.c_str(), "r+b");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

void StoreWorld::PutLabel(int slot, const std::string& label11) {
    std::FILE* file = std::fopen(store.c_str(), "r+b");
    std::fseek(file, static_cast<long>(SlotOffset(slot) + kLabelOffset), SEEK_SET);
    std::fwrite(label11.data(), 1, label11.size(), file);
    std::fclose(file);
}

std::vector<unsigned char> StoreWorld::Bytes(std::uint64_t offset, std::size_t count) const {
    return ReadFileBytes(store, offset, count);
}

void StoreWorld::InstallTemplate(const std::vector<std::byte>& bytes) {
    std::filesystem::create_directories(dir / "QuarnCfg");
    std::vector<unsigned char> raw(bytes.size());
    std::memcpy(raw.data(), bytes.data(), bytes.size());
    WriteFileBytes(dir / "QuarnCfg/FAT12.144", raw);
}

void StoreWorld::InstallBlankTemplate() {
    std::vector<std::byte> volume(fat12::kVolumeBytes);
    fat12::BuildBlankVolume(volume, "TEMPLATE");
    InstallTemplate(volume);
}

std::vector<std::byte> StoreWorld::Slot0Volume() const {
    const std::vector<unsigned char> raw = Bytes(0, fat12::kVolumeBytes);
    std::vector<std::byte> volume(raw.size());
    std::memcpy(volume.data(), raw.data(), raw.size());
    return volume;
}

std::vector<unsigned char> Text(const std::string& text) {
    return {text.begin(), text.end()};
}

bool HaveTool(const std::string& name) {
    return RunCommand("command -v " + name + " >/dev/null 2>&1") == 0;
}

int RunCommand(const std::string& command, std::string* output) {
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char chunk[4096];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        if (output != nullptr) {
            output->append(chunk, n);
        }
    }
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace quarnex::testing
