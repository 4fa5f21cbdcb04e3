#include "store_world.hpp"

#include <algorithm>
#include <array>
#include <filesystem>
#include <regex>
#include <sstream>

#include "core/text.hpp"
#include "fat12/fat12_volume.hpp"
#include "fat12/geometry.hpp"
#include "fat12/volume_label.hpp"
#include "fat12/volume_serial.hpp"

namespace quarnex::testing {

Bytes BytesOf(std::span<const std::byte> memory, std::size_t offset, std::size_t count) {
    const auto* begin = reinterpret_cast<const unsigned char*>(memory.data()) + offset;
    return Bytes(begin, begin + count);
}

Bytes FormattedSlot(const Bytes& templateBytes, int slot, const std::string& label11) {
    Bytes expected(kSlotStride, 0);
    std::copy(templateBytes.begin(), templateBytes.end(), expected.begin());
    std::copy(label11.begin(), label11.end(), expected.begin() + fat12::kBootLabelOffset);
    std::copy(label11.begin(), label11.end(), expected.begin() + fat12::kRootLabelOffset);
    fat12::WriteVolumeSerial(std::as_writable_bytes(std::span(expected)),
                             fat12::VolumeSerialNumber(fat12::MakeStamp(2026, 3, 14, 12, 0, 0),
                                                       static_cast<unsigned>(slot)));
    return expected;
}

Bytes Pattern(std::uint64_t offset, std::size_t count, unsigned seed) {
    Bytes bytes(count);
    for (std::uint64_t at = offset; at < offset + count; ++at) {
        bytes[at - offset] = static_cast<unsigned char>((at * 131 + (at >> 9) * 7 + seed) & 0xFF);
    }
    return bytes;
}

void PutPattern(const std::string& path, std::uint64_t offset, std::size_t count, unsigned seed) {
    PutBytes(path, offset, Pattern(offset, count, seed));
}

static constexpr std::size_t kMarkBytes = 16;  // clear of slot 0's FAT12 structures
static std::array<std::uint64_t, 2> MarkOffsets(int slot) {
    return {SlotOffset(slot) + kImageBytes - kMarkBytes,
            SlotOffset(slot) + kSlotStride - kMarkBytes};
}

void MarkSlots(const std::string& path, unsigned seed, const std::vector<int>& slots) {
    for (const int slot : slots) {
        for (const std::uint64_t at : MarkOffsets(slot)) {
            PutPattern(path, at, kMarkBytes, seed + static_cast<unsigned>(slot));
        }
    }
}

bool SlotMarked(const std::string& path, int slot, unsigned seed) {
    return std::ranges::all_of(MarkOffsets(slot), [&](std::uint64_t at) {
        return ReadFileBytes(path, at, kMarkBytes) ==
               Pattern(at, kMarkBytes, seed + static_cast<unsigned>(slot));
    });
}

void SetGridIds(ProgramState& state, const std::string& base, bool numbered) {
    for (int row = 1; row < kSlotCount; ++row) {
        const std::string id = PadRight(base + (numbered ? ThreeDigits(row) : ""), 11);
        state.slotTable.SetDiskId(row, id, SlotChange::DiskIdRead);
    }
}

static Bytes BlankVolume(const std::string& label) {
    std::vector<std::byte> volume(fat12::kVolumeBytes);
    fat12::BuildBlankVolume(volume, label);
    return BytesOf(volume, 0, volume.size());
}

StoreWorld::StoreWorld() : store(dir / "usbstore.img") {
    MakeSparseFile(store, kStoreBytes);
    state.devices.Row(1) = DeviceEntry{"sdb", store, 2, "", kStoreBytes};
    state.devices.count = state.selectedDevice = 1;
    drives.drives.push_back(FakeDrive{"sdb", store, DriveKind::Removable, 2});
    PutBytes(store, 0, BlankVolume("USBSTORE"));
}

void StoreWorld::PutLabel(int slot, const std::string& label11) {
    PutBytes(store, SlotOffset(slot) + fat12::kBootLabelOffset,
             Bytes(label11.begin(), label11.end()));
}

Bytes StoreWorld::Read(std::uint64_t offset, std::size_t count) const {
    return ReadFileBytes(store, offset, count);
}

std::string StoreWorld::Slot0File(const std::string& name) const {
    const fat12::FileRead read =
        fat12::ReadRootFile(ReadVolume(store, 0, fat12::kVolumeBytes), name);
    return read.status == fat12::Status::Ok ? read.contents
                                            : "<" + std::to_string(int(read.status)) + ">";
}

void StoreWorld::PutSlot0File(const std::string& name, const std::string& text) {
    std::vector<std::byte> volume = ReadVolume(store, 0, fat12::kVolumeBytes);
    ASSERT_EQ(fat12::ReplaceRootFile(volume, name, text), fat12::Status::Ok);
    PutBytes(store, 0, BytesOf(volume, 0, volume.size()));
}

Bytes StoreWorld::InstallTemplate(std::optional<Bytes> bytes) {
    const Bytes contents = bytes ? *bytes : BlankVolume("TEMPLATE");
    std::filesystem::create_directories(dir / "QuarnCfg");
    WriteFileBytes(dir / "QuarnCfg/FAT12.144", contents);
    return contents;
}

std::string StoreWorld::SelectLoopDevice(const LoopDevice& loop) {
    const std::string node = loop.Path(), name = node.substr(node.rfind('/') + 1);
    state.devices.Row(1).name = name;
    state.devices.Row(1).path = node;
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
            cancelOp, cancelAfter, [this](int) { state.cancelRequested = true; }, cancelPath);
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
    ASSERT_EQ(ui.messages.size(), source == nullptr ? 0u : 1u);
    if (source != nullptr) {
        EXPECT_NE(ui.messages[0].text.find(source), std::string::npos) << ui.messages[0].text;
    }
}

std::string FsckBeyondLostClusters(const std::string& image) {
    std::string output;
    const int status = RunCommand("fsck.fat -n " + image, &output);
    static const std::regex harmless(
        R"(fsck\.fat \d.*|Reclaimed \d+ unused clusters? \(\d+ bytes\)( in \d+ chains?)?\.|)"
        R"(Leaving filesystem unchanged\.|.*: \d+ files?, \d+/\d+ clusters|)");
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!std::regex_match(line, harmless)) {
            return output;
        }
    }
    return status == 0 || status == 1 ? "" : output;
}

}  // namespace quarnex::testing
