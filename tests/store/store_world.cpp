#include "store_world.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"
#include "fat12/volume_label.hpp"

namespace quarnex::testing {

Bytes Text(const std::string& text) {
    return {text.begin(), text.end()};
}

Bytes BytesOf(std::span<const std::byte> memory, std::size_t offset, std::size_t count) {
    const auto* begin = reinterpret_cast<const unsigned char*>(memory.data()) + offset;
    return Bytes(begin, begin + count);
}

Bytes Pattern(std::uint64_t offset, std::size_t count, unsigned seed) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t at = offset + i;
        bytes[i] = static_cast<unsigned char>((at * 131 + (at >> 9) * 7 + seed) & 0xFF);
    }
    return bytes;
}

void PutBytes(const std::string& path, std::uint64_t offset, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    const bool ok =
        fd >= 0 && ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
                       static_cast<ssize_t>(bytes.size());
    if (fd >= 0) {
        ::close(fd);
    }
    if (!ok) {
        throw std::runtime_error("cannot write into " + path);
    }
}

void PutPattern(const std::string& path, std::uint64_t offset, std::size_t count, unsigned seed) {
    PutBytes(path, offset, Pattern(offset, count, seed));
}

static std::uint64_t ImageEndMark(int slot) {
    return SlotOffset(slot) + kImageBytes - kMarkBytes;
}

std::uint64_t GapEndMark(int slot) {
    return SlotOffset(slot) + kSlotStride - kMarkBytes;
}

void MarkSlots(const std::string& path, unsigned seed, const std::vector<int>& slots) {
    for (const int slot : slots) {
        PutPattern(path, ImageEndMark(slot), kMarkBytes, seed + static_cast<unsigned>(slot));
        PutPattern(path, GapEndMark(slot), kMarkBytes, seed + static_cast<unsigned>(slot));
    }
}

bool SlotMarked(const std::string& path, int slot, unsigned seed) {
    const unsigned s = seed + static_cast<unsigned>(slot);
    return ReadFileBytes(path, ImageEndMark(slot), kMarkBytes) ==
               Pattern(ImageEndMark(slot), kMarkBytes, s) &&
           ReadFileBytes(path, GapEndMark(slot), kMarkBytes) ==
               Pattern(GapEndMark(slot), kMarkBytes, s);
}

int FirstDifferentSlot(const std::string& a, const std::string& b) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (ReadFileBytes(a, SlotOffset(slot), kSlotStride) !=
            ReadFileBytes(b, SlotOffset(slot), kSlotStride)) {
            return slot;
        }
    }
    return -1;
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

void ExpectFatToolsAccept(const std::string& volume, const std::string& file,
                          const std::string& expected) {
    if (!HaveTool("fsck.fat") || !HaveTool("mtype")) {
        std::printf("fsck.fat or mtype not installed; volume not checked by them\n");
        return;
    }
    std::string output;
    EXPECT_EQ(RunCommand("fsck.fat -n " + volume, &output), 0) << output;
    std::string typed;
    EXPECT_EQ(RunCommand("MTOOLS_SKIP_CHECK=1 mtype -i " + volume + " ::" + file, &typed), 0);
    EXPECT_EQ(typed, expected);
}

void SetGridIds(ProgramState& state, const std::string& base, bool numbered) {
    for (int row = 1; row < kSlotCount; ++row) {
        const std::string id = PadRight(base + (numbered ? ThreeDigits(row) : ""), 11);
        state.slotTable.SetCell(row, 1, " " + id + " ");
    }
}

StoreWorld::StoreWorld() : store(dir / "usbstore.img") {
    MakeSparseFile(store, kStoreBytes);
    state.devices.Row(1) = DeviceEntry{"sdb", store, 2, "", kStoreBytes};
    state.devices.DeviceCount = 1;
    state.SelectedDevice = 1;
    drives.drives.push_back(FakeDrive{"sdb", store, DriveKind::Removable, 2});
    std::vector<std::byte> volume(fat12::kVolumeBytes);
    fat12::BuildBlankVolume(volume, "USBSTORE");
    PutBytes(store, 0, BytesOf(volume, 0, volume.size()));
}

void StoreWorld::PutLabel(int slot, const std::string& label11) {
    PutBytes(store, SlotOffset(slot) + fat12::kBootLabelOffset, Text(label11));
}

void StoreWorld::LabelSlots(const std::string& base, bool numbered) {
    for (int slot = 1; slot < kSlotCount; ++slot) {
        PutLabel(slot, PadRight(base + (numbered ? ThreeDigits(slot) : ""), 11));
    }
}

Bytes StoreWorld::Read(std::uint64_t offset, std::size_t count) const {
    return ReadFileBytes(store, offset, count);
}

std::vector<std::byte> StoreWorld::Slot0Volume() const {
    const Bytes raw = Read(0, fat12::kVolumeBytes);
    std::vector<std::byte> volume(raw.size());
    std::memcpy(volume.data(), raw.data(), raw.size());
    return volume;
}

std::string StoreWorld::Slot0File(const std::string& name) const {
    const fat12::FileRead read = fat12::ReadRootFile(Slot0Volume(), name);
    return read.status == fat12::Status::Ok ? read.contents
                                            : "<" + std::to_string(int(read.status)) + ">";
}

void StoreWorld::PutSlot0File(const std::string& name, const std::string& text) {
    std::vector<std::byte> volume = Slot0Volume();
    ASSERT_EQ(fat12::ReplaceRootFile(volume, name, text), fat12::Status::Ok);
    PutBytes(store, 0, BytesOf(volume, 0, volume.size()));
}

Bytes StoreWorld::InstallTemplate(std::optional<Bytes> bytes) {
    if (!bytes) {
        std::vector<std::byte> volume(fat12::kVolumeBytes);
        fat12::BuildBlankVolume(volume, "TEMPLATE");
        bytes = BytesOf(volume, 0, volume.size());
    }
    std::filesystem::create_directories(dir / "QuarnCfg");
    WriteFileBytes(dir / "QuarnCfg/FAT12.144", *bytes);
    return *bytes;
}

std::vector<std::uint64_t> StoreWorld::Seeks() const {
    std::vector<std::uint64_t> seeks;
    for (const OpRecord& record : devices.Log()) {
        if (record.op == FaultOp::Seek && record.path == store) {
            seeks.push_back(record.count);
        }
    }
    return seeks;
}

std::string StoreWorld::SelectLoopDevice(const LoopDevice& loop) {
    const std::string node = loop.Path();
    const std::string name = node.substr(node.rfind('/') + 1);
    DeviceEntry& entry = state.devices.Row(1);
    entry.DeviceLetter = name;
    entry.DevicePath = node;
    drives.drives.push_back(FakeDrive{name, node, DriveKind::Removable, 9});
    return name;
}

void StoreWorld::Arm(const std::optional<Fault>& fault, FaultOp cancelOp, int cancelAfter,
                     const std::string& cancelPath) {
    if (fault) {
        devices.Inject(*fault);
    }
    if (cancelAfter != 0) {
        devices.After(
            cancelOp, cancelAfter, [this](int) { state.CancelRequested = true; }, cancelPath);
    }
}

const int& StoreWorld::FlushesAtFinished(const std::string& path) {
    ui.onPump = [this, path](int) {
        if (flushesAtFinished_ < 0 && state.status.progressLabel == "Progress      Finished") {
            flushesAtFinished_ = devices.Count(FaultOp::Flush, path);
        }
    };
    return flushesAtFinished_;
}

std::string StoreWorld::OnlyMessage() const {
    return ui.messages.size() == 1 ? ui.messages[0].text
                                   : "<" + std::to_string(ui.messages.size()) + " messages>";
}

void StoreWorld::ExpectReport(const char* source) const {
    if (source == nullptr) {
        EXPECT_TRUE(ui.messages.empty());
        return;
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find(source), std::string::npos) << ui.messages[0].text;
}

void StoreWorld::ExpectSettled() const {
    EXPECT_EQ(devices.OpenHandles(), 0) << "a handle was left open";
    EXPECT_FALSE(state.busy);
    EXPECT_FALSE(state.CancelRequested);
}

}  // namespace quarnex::testing
