#pragma once
// Putting many image files into slots, as both front ends word it.

#include <string>
#include <vector>

#include "store/slot_batch.hpp"

namespace quarnex {

// Why file cannot be put, naming it, and that nothing was written;
// systemText is the system's words for an unreadable file's error.
std::string ImageFileProblemText(const ImageFileProblem& problem, const std::string& systemText);

// count files from slot first on would reach past slot 999.
std::string PastLastSlotText(int first, std::size_t count);

// "slots 007..009" for a run of slots, "slots 003, 005, 006" otherwise, "slot
// 004" for one.
std::string SlotListText(const std::vector<int>& slots);

// Each file with the slot it goes into, in order.
std::vector<ImagePlacement> PlaceImages(const std::vector<std::string>& files,
                                        const std::vector<int>& slots);

}  // namespace quarnex
