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

// The store made by "create --id mystick --base fdisk". Tests only copy it.
const std::string& MasterStore();
std::string CopyOfMasterStore(const TempDir& dir, const std::string& name);

std::vector<unsigned char> SlotImage(const std::string& store, int slot);
// "list --json" of a store, which must succeed.
nlohmann::json ListJson(const std::string& store);

bool Contains(const std::string& text, const std::string& part);
std::uint64_t FileSizeOrZero(const std::string& path);

// A 1.44 MB image with a recognisable pattern and the given volume label.
std::vector<unsigned char> PatternImage(unsigned seed, const std::string& label);

}  // namespace quarnex::testing
