#pragma once
// A formatted store file made once by the tool under test, fresh sparse
// copies of it for each test, and the looks into stores and outputs the
// tests share.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace quarnex::testing {

// Path of the store made by "create --id mystick --base fdisk"; made on first
// use. Tests never change it: they work on copies.
const std::string& MasterStore();

// A sparse copy of the master store in dir.
std::string CopyOfMasterStore(const TempDir& dir, const std::string& name);

// The image bytes of a slot.
std::vector<unsigned char> SlotImage(const std::string& store, int slot);

// The 11 label bytes of an image at offset (the boot sector's or the root
// directory's).
std::string Label(const std::vector<unsigned char>& image, std::size_t offset);

// DISKS.TXT inside slot 0 as mtype reads it ("... not found" when absent).
std::string DisksTxt(const std::string& store);

// "list --json" of a store, which must succeed.
nlohmann::json ListJson(const std::string& store);

bool Contains(const std::string& text, const std::string& part);

// True when both files have the same length and bytes.
bool SameBytes(const std::string& a, const std::string& b);

// Length of a file, 0 when it does not exist (yet).
std::uint64_t FileSizeOrZero(const std::string& path);

// A 1.44 MB image with a recognisable pattern and the given volume label.
std::vector<unsigned char> PatternImage(unsigned seed, const std::string& label);

}  // namespace quarnex::testing
