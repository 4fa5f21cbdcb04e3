#pragma once
// A test world with one selected store: a sparse file of 1,572,864,000 bytes
// standing in for the device "sdb", and helpers to put and check bytes on it.

#include <string>
#include <vector>

#include "support/test_world.hpp"

namespace quarnex::testing {

struct StoreWorld : TestWorld {
    // volumeInSlot0: slot 0 holds a blank FAT12 volume labelled "USBSTORE".
    explicit StoreWorld(bool volumeInSlot0 = true);

    std::string store;  // the store file

    void PutLabel(int slot, const std::string& label11);
    std::vector<unsigned char> Bytes(std::uint64_t offset, std::size_t count) const;
    // The FAT12 template beside the "program" (AppFolder).
    void InstallTemplate(const std::vector<std::byte>& bytes);
    void InstallBlankTemplate();
    std::vector<std::byte> Slot0Volume() const;
};

std::vector<unsigned char> Text(const std::string& text);
// True when the program is on PATH.
bool HaveTool(const std::string& name);
// Runs a shell command; its exit status and combined output.
int RunCommand(const std::string& command, std::string* output = nullptr);

}  // namespace quarnex::testing
