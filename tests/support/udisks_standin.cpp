#include "support/udisks_standin.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/udisks/udisks_client.hpp"

extern char** environ;

namespace quarnex::testing {

namespace {

constexpr const char* kPython = "/usr/bin/python3";

std::string DisksJson(const std::vector<StandInDisk>& disks) {
    std::string json;
    for (const StandInDisk& d : disks) {
        json += std::string(json.empty() ? "" : ", ") + "{\"name\": \"" + d.name +
                "\", \"image\": \"" + d.image + "\", \"mount\": \"" + d.mount +
                "\", \"vendor\": \"Acme\", \"model\": \"Stick " + d.name + "\", \"" +
                (d.flags.empty() ? "plain" : d.flags) + "\": true}";
    }
    return "{\"disks\": [" + json + "]}";
}

}  // namespace

std::string UdisksStandIn::Missing() {
    if (std::system("command -v dbus-daemon >/dev/null") != 0) {
        return "dbus-daemon is not installed";
    }
    const std::string probe = std::string(kPython) + " -c 'import dbusmock' 2>/dev/null";
    if (std::system(probe.c_str()) != 0) {
        return "python3-dbusmock is not installed";
    }
    return {};
}

UdisksStandIn::UdisksStandIn(const std::vector<StandInDisk>& disks) {
    const std::string start = "dbus-daemon --config-file=" QUARNEX_STANDIN_DIR
                              "/udisks_standin_bus.conf --fork --print-address=1 --print-pid=1";
    FILE* output = ::popen(start.c_str(), "r");
    char line[512] = {};
    std::string address;
    if (output != nullptr && std::fgets(line, sizeof line, output) != nullptr) {
        address = std::string(line).substr(0, std::string(line).find('\n'));
        bus_ = std::fgets(line, sizeof line, output) != nullptr ? std::atoi(line) : -1;
    }
    if (output != nullptr) {
        ::pclose(output);
    }
    if (address.empty() || bus_ <= 0) {
        throw std::runtime_error("dbus-daemon did not start");
    }
    ::setenv("QUARNEX_UDISKS_BUS", address.c_str(), 1);
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);  // where the service goes
    const std::string log = dir_ / "calls";
    const std::string json = DisksJson(disks);
    const char* argv[] = {kPython,      "-m",         "dbusmock",
                          "--system",   "--template", QUARNEX_STANDIN_DIR "/udisks_standin.py",
                          "-l",         log.c_str(),  "-p",
                          json.c_str(), nullptr};
    if (::posix_spawn(&service_, kPython, nullptr, nullptr, const_cast<char**>(argv), environ) !=
        0) {
        throw std::runtime_error("the stand-in service did not start");
    }
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    // Python starts slowly on a busy machine; the service is there once it
    // answers.
    for (int tries = 0; tries < 300; ++tries) {
        if (UdisksClient::Connect() != nullptr) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    throw std::runtime_error("the stand-in service did not answer");
}

UdisksStandIn::~UdisksStandIn() {
    if (service_ > 0) {
        ::kill(service_, SIGTERM);
        ::waitpid(service_, nullptr, 0);
    }
    if (bus_ > 0) {
        ::kill(bus_, SIGTERM);
    }
    ::unsetenv("QUARNEX_UDISKS_BUS");
}

std::vector<std::string> UdisksStandIn::Calls() const {
    std::vector<std::string> calls;
    std::istringstream log(ReadFileText(dir_ / "calls"));
    for (std::string line; std::getline(log, line);) {
        const std::size_t at = line.find(" CALL ");
        if (at != std::string::npos) {
            calls.push_back(line.substr(at + 6));
        } else if (line.size() > 18 && line.ends_with(" GetManagedObjects")) {
            calls.emplace_back("GetManagedObjects");
        }
    }
    return calls;
}

}  // namespace quarnex::testing
