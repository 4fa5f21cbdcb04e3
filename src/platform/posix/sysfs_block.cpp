#include "platform/posix/sysfs_block.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace quarnex {

namespace fs = std::filesystem;

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Devices that never hold a store and only clutter the list.
bool IsVirtualMemoryDisk(std::string_view name) {
    return StartsWith(name, "loop") || StartsWith(name, "ram") || StartsWith(name, "zram");
}

std::string_view DigitRun(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
    }
    std::string_view run = text.substr(start, pos - start);
    while (run.size() > 1 && run.front() == '0') {
        run.remove_prefix(1);
    }
    return run;
}

std::vector<std::string> SortedNames(std::vector<std::string> names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NameOrderLess(a, b); });
    return names;
}

}  // namespace

std::optional<DevNumber> ParseDevNumber(std::string_view text) {
    DevNumber number;
    unsigned* part = &number.major;
    bool digits = false;
    for (char c : text) {
        if (IsDigit(c)) {
            if (*part > 100000000U) {
                return std::nullopt;
            }
            *part = *part * 10 + static_cast<unsigned>(c - '0');
            digits = true;
        } else if (c == ':' && part == &number.major && digits) {
            part = &number.minor;
            digits = false;
        } else {
            return std::nullopt;
        }
    }
    if (part != &number.minor || !digits) {
        return std::nullopt;
    }
    return number;
}

bool NameOrderLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::string_view x = DigitRun(a, i);
            const std::string_view y = DigitRun(b, j);
            if (x.size() != y.size()) {
                return x.size() < y.size();
            }
            if (x != y) {
                return x < y;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

SysfsBlock::SysfsBlock(std::string sysRoot) : root_(std::move(sysRoot)) {}

std::vector<std::string> SysfsBlock::Entries(bool (*keep)(std::string_view)) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(BlockDir(), ec)) {
        std::string name = entry.path().filename().string();
        if (keep(name)) {
            names.push_back(std::move(name));
        }
    }
    return SortedNames(std::move(names));
}

std::vector<std::string> SysfsBlock::WholeDisks() const {
    return Entries([](std::string_view name) { return !IsVirtualMemoryDisk(name); });
}

std::vector<std::string> SysfsBlock::LoopDevices() const {
    return Entries([](std::string_view name) { return StartsWith(name, "loop"); });
}

bool SysfsBlock::IsWholeDisk(const std::string& name) const {
    std::error_code ec;
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != ".." &&
           fs::is_directory(BlockDir() + "/" + name, ec);
}

std::string SysfsBlock::DiskOfPartition(const std::string& name) const {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        return {};
    }
    std::error_code ec;
    for (const fs::directory_entry& disk : fs::directory_iterator(BlockDir(), ec)) {
        if (fs::exists(disk.path() / name / "partition", ec)) {
            return disk.path().filename().string();
        }
    }
    return {};
}

std::vector<std::string> SysfsBlock::Partitions(const std::string& disk) const {
    std::vector<std::string> names;
    if (!IsWholeDisk(disk)) {
        return names;
    }
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(BlockDir() + "/" + disk, ec)) {
        if (fs::exists(entry.path() / "partition", ec)) {
            names.push_back(entry.path().filename().string());
        }
    }
    return SortedNames(std::move(names));
}

std::string SysfsBlock::PathOf(const std::string& name) const {
    if (IsWholeDisk(name)) {
        return BlockDir() + "/" + name;
    }
    const std::string disk = DiskOfPartition(name);
    return disk.empty() ? std::string() : BlockDir() + "/" + disk + "/" + name;
}

std::optional<std::string> SysfsBlock::Attribute(const std::string& name,
                                                 const std::string& attribute) const {
    const std::string dir = PathOf(name);
    if (dir.empty()) {
        return std::nullopt;
    }
    std::ifstream in(dir + "/" + attribute);
    if (!in.is_open()) {
        return std::nullopt;
    }
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

std::optional<DevNumber> SysfsBlock::Number(const std::string& name) const {
    const std::optional<std::string> text = Attribute(name, "dev");
    return text ? ParseDevNumber(*text) : std::nullopt;
}

std::string SysfsBlock::NameOf(DevNumber number) const {
    for (const std::string& disk : WholeDisks()) {
        if (Number(disk) == number) {
            return disk;
        }
        for (const std::string& partition : Partitions(disk)) {
            if (Number(partition) == number) {
                return partition;
            }
        }
    }
    return {};
}

std::optional<std::uint64_t> SysfsBlock::Sectors(const std::string& disk) const {
    const std::optional<std::string> text = Attribute(disk, "size");
    if (!text || text->empty()) {
        return std::nullopt;
    }
    std::uint64_t sectors = 0;
    for (char c : *text) {
        if (!IsDigit(c) || sectors > UINT64_MAX / 10 - 9) {
            return std::nullopt;
        }
        sectors = sectors * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return sectors;
}

bool SysfsBlock::OnUsbBus(const std::string& disk) const {
    if (!IsWholeDisk(disk)) {
        return false;
    }
    // block/<disk> links into devices/, e.g. .../0000:00:14.0/usb1/1-1/.../block/sdb;
    // only the part below the sysfs root counts.
    std::error_code ec;
    const fs::path root = fs::canonical(root_, ec);
    const fs::path target = fs::canonical(BlockDir() + "/" + disk, ec);
    if (ec) {
        return false;
    }
    const fs::path below = target.lexically_relative(root);
    for (const fs::path& part : below) {
        const std::string component = part.string();
        if (component.size() > 3 && StartsWith(component, "usb") &&
            std::all_of(component.begin() + 3, component.end(), IsDigit)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> SysfsBlock::Slaves(const std::string& disk) const {
    std::vector<std::string> names;
    if (!IsWholeDisk(disk)) {
        return names;
    }
    std::error_code ec;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(BlockDir() + "/" + disk + "/slaves", ec)) {
        names.push_back(entry.path().filename().string());
    }
    return SortedNames(std::move(names));
}

}  // namespace quarnex
