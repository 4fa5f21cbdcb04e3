#include "support/loop_device.hpp"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>

namespace quarnex::testing {

namespace {

std::string RunAndRead(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    std::array<char, 256> chunk{};
    while (std::fgets(chunk.data(), static_cast<int>(chunk.size()), pipe) != nullptr) {
        output += chunk.data();
    }
    ::pclose(pipe);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) {
        output.pop_back();
    }
    return output;
}

}  // namespace

LoopDevice::LoopDevice(const std::string& backingFile, int sectorBytes) {
    if (::geteuid() != 0) {
        problem_ = "loop devices need root";
        return;
    }
    if (!std::filesystem::exists("/dev/loop-control")) {
        problem_ = "no /dev/loop-control";
        return;
    }
    const std::string path =
        RunAndRead("losetup --find --show --sector-size " + std::to_string(sectorBytes) + " '" +
                   backingFile + "' 2>/dev/null");
    if (path.rfind("/dev/loop", 0) != 0) {
        problem_ = "losetup could not attach a loop device";
        return;
    }
    path_ = path;
}

LoopDevice::~LoopDevice() {
    if (!path_.empty()) {
        RunAndRead("losetup -d '" + path_ + "' 2>/dev/null");
    }
}

}  // namespace quarnex::testing
