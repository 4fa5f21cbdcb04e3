#include "platform/posix/posix_system_facts.hpp"

#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <charconv>
#include <fstream>
#include <iterator>

#include "platform/posix/posix_program_paths.hpp"

namespace quarnex {

namespace {

constexpr int kEnhancedKeyboard = 4;
constexpr int kStandardFunctionKeys = 12;

std::uint32_t LeadingNumber(std::string_view field) {
    std::uint32_t value = 0;
    std::from_chars(field.data(), field.data() + field.size(), value);
    return value;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

}  // namespace

OsVersion VersionFromRelease(std::string_view kernelName, std::string_view release) {
    OsVersion version;
    version.platformName = std::string(kernelName);
    std::uint32_t* fields[] = {&version.major, &version.minor, &version.build};
    for (std::uint32_t* field : fields) {
        *field = LeadingNumber(release);
        const std::size_t dot = release.find('.');
        if (dot == std::string_view::npos) {
            break;
        }
        release.remove_prefix(dot + 1);
    }
    return version;
}

int ProcessorTypeOfMachine(std::string_view machine) {
    if (machine == "x86_64" || machine == "amd64") {
        return kProcessorAmd64;
    }
    if (machine == "i386") {
        return kProcessor386;
    }
    if (machine == "i486") {
        return kProcessor486;
    }
    if (machine == "i586" || machine == "i686") {
        return kProcessorPentium;
    }
    if (machine == "mips") {
        return kProcessorMipsR4000;
    }
    if (machine == "alpha") {
        return kProcessorAlpha21064;
    }
    return kProcessorUnknown;
}

std::uint64_t MeminfoBytes(std::string_view meminfo, std::string_view key) {
    std::size_t start = 0;
    while (start < meminfo.size()) {
        std::size_t end = meminfo.find('\n', start);
        if (end == std::string_view::npos) {
            end = meminfo.size();
        }
        std::string_view line = meminfo.substr(start, end - start);
        start = end + 1;
        if (line.size() <= key.size() || line.substr(0, key.size()) != key ||
            line[key.size()] != ':') {
            continue;
        }
        line.remove_prefix(key.size() + 1);
        const std::size_t digits = line.find_first_not_of(' ');
        if (digits == std::string_view::npos) {
            return 0;
        }
        line.remove_prefix(digits);
        std::uint64_t value = 0;
        std::from_chars(line.data(), line.data() + line.size(), value);
        const bool kilobytes = line.find("kB") != std::string_view::npos;
        return kilobytes ? value * 1024 : value;
    }
    return 0;
}

PosixSystemFacts::PosixSystemFacts(std::string meminfoPath)
    : meminfoPath_(std::move(meminfoPath)) {}

std::string PosixSystemFacts::WindowsDirectory() const {
    return "/";
}

std::string PosixSystemFacts::SystemDirectory() const {
    return "/usr/lib";
}

std::string PosixSystemFacts::ExecutableName() const {
    return RunningExecutablePath();
}

OsVersion PosixSystemFacts::Version() const {
    utsname names{};
    if (uname(&names) != 0) {
        return {};
    }
    return VersionFromRelease(names.sysname, names.release);
}

int PosixSystemFacts::ProcessorType() const {
    utsname names{};
    return uname(&names) == 0 ? ProcessorTypeOfMachine(names.machine) : kProcessorUnknown;
}

int PosixSystemFacts::ProcessorCount() const {
    const long count = sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<int>(count) : 1;
}

std::uint64_t PosixSystemFacts::TotalPhysicalMemory() const {
    if (const std::uint64_t bytes = MeminfoBytes(ReadWholeFile(meminfoPath_), "MemTotal")) {
        return bytes;
    }
    struct sysinfo info {};
    return sysinfo(&info) == 0 ? static_cast<std::uint64_t>(info.totalram) * info.mem_unit : 0;
}

std::uint64_t PosixSystemFacts::AvailablePhysicalMemory() const {
    if (const std::uint64_t bytes = MeminfoBytes(ReadWholeFile(meminfoPath_), "MemAvailable")) {
        return bytes;
    }
    struct sysinfo info {};
    return sysinfo(&info) == 0 ? static_cast<std::uint64_t>(info.freeram) * info.mem_unit : 0;
}

int PosixSystemFacts::KeyboardType() const {
    return kEnhancedKeyboard;
}

int PosixSystemFacts::FunctionKeys() const {
    return kStandardFunctionKeys;
}

}  // namespace quarnex
