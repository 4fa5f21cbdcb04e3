#include "platform/win32/win32_drive_catalog.hpp"

#include <windows.h>
#include <winioctl.h>
// The port's method of that name, not the system's macro.
#undef GetDriveType

#include <string_view>
#include <vector>

#include "core/text.hpp"
#include "platform/win32/win32_device_file.hpp"
#include "platform/win32/win32_handle.hpp"
#include "platform/win32/win32_text.hpp"

namespace quarnex {

namespace {

std::vector<char> Letters() {
    std::vector<char> letters;
    const DWORD mask = ::GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if ((mask & (1u << (letter - 'A'))) != 0) {
            letters.push_back(letter);
        }
    }
    return letters;
}

// The physical drive number of a path ("\\.\E:", "\\.\PhysicalDrive2").
int DiskNumber(const std::string& path, int* error = nullptr) {
    OwnedHandle handle(
        ::CreateFileW(WidePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    const int number = handle.Valid() ? DeviceNumberOf(handle.Get()) : -1;
    if (number < 0 && error != nullptr) {
        *error = LastError();
    }
    return number;
}

int SystemDiskNumber() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length < 2 || windows[1] != L':') {
        return -1;
    }
    return DiskNumber("\\\\.\\" + Narrow(std::wstring(windows, 2)));
}

std::string PropertyText(const std::vector<char>& buffer, DWORD offset) {
    if (offset == 0 || offset >= buffer.size()) {
        return {};
    }
    std::string text(&buffer[offset]);
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::vector<DriveListEntry> Win32DriveCatalog::DriveList() {
    std::vector<DriveListEntry> list;
    for (const char letter : Letters()) {
        list.push_back(DriveListEntry{std::string(1, letter) + ":"});
    }
    return list;
}

DriveKind Win32DriveCatalog::GetDriveType(const std::string& drive) {
    switch (::GetDriveTypeW(Widen(drive.substr(0, 2) + "\\").c_str())) {
        case DRIVE_REMOVABLE: {
            const int disk = DiskNumber(VolumePath(drive));
            return disk >= 0 && disk == SystemDiskNumber() ? DriveKind::Fixed
                                                           : DriveKind::Removable;
        }
        case DRIVE_FIXED:
            return DriveKind::Fixed;
        case DRIVE_REMOTE:
            return DriveKind::Remote;
        case DRIVE_CDROM:
            return DriveKind::CdRom;
        case DRIVE_RAMDISK:
            return DriveKind::RamDisk;
        case DRIVE_NO_ROOT_DIR:
            return DriveKind::NoRoot;
        default:
            return DriveKind::Unknown;
    }
}

std::string Win32DriveCatalog::VolumePath(const std::string& drive) {
    return "\\\\.\\" + drive.substr(0, 2);
}

std::optional<PhysicalDrive> Win32DriveCatalog::WholeDiskOf(const std::string& drive, int& error) {
    const int number = DiskNumber(VolumePath(drive), &error);
    if (number < 0) {
        return std::nullopt;
    }
    return PhysicalDrive{number, "\\\\.\\PhysicalDrive" + std::to_string(number)};
}

DriveDetails Win32DriveCatalog::Details(const std::string& drive) {
    DriveDetails details;
    int error = 0;
    const std::optional<PhysicalDrive> disk = WholeDiskOf(drive, error);
    if (!disk) {
        return details;
    }
    OwnedHandle handle(::CreateFileW(WidePath(disk->nodePath).c_str(), 0, kShareAll, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    std::vector<char> buffer(1024);
    DWORD returned = 0;
    if (handle.Valid() &&
        ::DeviceIoControl(handle.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                          buffer.data(), static_cast<DWORD>(buffer.size() - 1), &returned,
                          nullptr)) {
        const auto* descriptor = reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(buffer.data());
        const std::string vendor = PropertyText(buffer, descriptor->VendorIdOffset);
        const std::string product = PropertyText(buffer, descriptor->ProductIdOffset);
        details.vendorModel =
            vendor.empty() ? product : vendor + (product.empty() ? "" : " ") + product;
    }
    if (handle.Valid()) {
        HandleBytes(handle.Get(), details.sizeBytes);
    }
    return details;
}

bool Win32DriveCatalog::KnowsDevice(const std::string& devicePath) {
    constexpr std::string_view kDisk = "\\\\.\\PHYSICALDRIVE";
    return ToUpperAscii(std::string_view(devicePath).substr(0, kDisk.size())) == kDisk &&
           DiskNumber(devicePath) >= 0;
}

bool Win32DriveCatalog::HoldsRunningSystem(const std::string& devicePath) {
    const int disk = DiskNumber(devicePath);
    return disk >= 0 && disk == SystemDiskNumber();
}

std::string Win32DriveCatalog::RightsAdvice() {
    return "Sticks and floppy drives open only with administrator rights: start the terminal "
           "with \"Run as administrator\".";
}

std::vector<std::string> Win32DriveCatalog::MountPoints(const std::string& devicePath) {
    std::vector<std::string> points;
    const int disk = DiskNumber(devicePath);
    for (const char letter : Letters()) {
        const std::string drive = std::string(1, letter) + ":";
        if (disk >= 0 && DiskNumber(VolumePath(drive)) == disk) {
            points.push_back(drive + "\\");
        }
    }
    return points;
}

}  // namespace quarnex
