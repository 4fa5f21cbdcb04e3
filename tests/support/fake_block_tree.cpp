#include "support/fake_block_tree.hpp"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "support/temp_dir.hpp"

namespace quarnex::testing {

namespace fs = std::filesystem;

FakeBlockTree::FakeBlockTree(const std::string& base)
    : base_(base), sys_(base + "/sys"), dev_(base + "/dev"), mountInfo_(base + "/mountinfo") {
    fs::create_directories(sys_ + "/block");
    fs::create_directories(dev_);
    WriteFileText(mountInfo_, "");
}

PosixRoots FakeBlockTree::Roots() const {
    return PosixRoots{sys_, dev_, mountInfo_};
}

void FakeBlockTree::AddDisk(const FakeDisk& disk) {
    // Like the kernel: block/<name> links to the device's folder under
    // devices/, whose path shows the bus.
    const std::string bus = disk.usb ? "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6"
                                     : "pci0000:00/0000:00:17.0/ata1/host0";
    const fs::path folder = fs::path(sys_) / "devices" / bus / "target" / "block" / disk.name;
    fs::create_directories(folder / "device");
    fs::create_directories(folder / "slaves");
    fs::create_symlink(folder, fs::path(sys_) / "block" / disk.name);
    WriteFileText((folder / "dev").string(), disk.dev + "\n");
    WriteFileText((folder / "size").string(), std::to_string(disk.sectors) + "\n");
    WriteFileText((folder / "removable").string(), disk.removable ? "1\n" : "0\n");
    for (const auto& [file, value] :
         {std::pair{"vendor", disk.vendor}, {"model", disk.model}, {"type", disk.scsiType}}) {
        if (!value.empty()) {
            WriteFileText((folder / "device" / file).string(), value + "\n");
        }
    }
}

void FakeBlockTree::AddPartition(const std::string& disk, const std::string& name,
                                 const std::string& dev, std::uint64_t sectors) {
    const fs::path folder = fs::path(sys_) / "block" / disk / name;
    fs::create_directories(folder);
    WriteFileText((folder / "partition").string(), "1\n");
    WriteFileText((folder / "dev").string(), dev + "\n");
    WriteFileText((folder / "size").string(), std::to_string(sectors) + "\n");
}

void FakeBlockTree::AddSlave(const std::string& disk, const std::string& below) {
    WriteFileText(sys_ + "/block/" + disk + "/slaves/" + below, "");
}

void FakeBlockTree::WriteNode(const std::string& name, const std::vector<unsigned char>& bytes) {
    WriteFileBytes(Node(name), bytes);
}

void FakeBlockTree::Mount(const std::string& dev, const std::string& mountPoint,
                          const std::string& source, const std::string& fsType) {
    std::ofstream out(mountInfo_, std::ios::app);
    out << nextMountId_ << " 1 " << dev << " / " << mountPoint << " rw,relatime - " << fsType << " "
        << source << " rw\n";
    ++nextMountId_;
    if (!out) {
        throw std::runtime_error("cannot write " + mountInfo_);
    }
}

}  // namespace quarnex::testing
