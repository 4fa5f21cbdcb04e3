#pragma once
// The text of a descriptions file: reading its lines into the slot records,
// deriving a base ID from the loaded Disk IDs, and composing the file.

#include <string>
#include <string_view>
#include <vector>

#include "store/slot_table.hpp"

namespace quarnex {

// Lines 1..7 of every descriptions file.
std::string DescriptionsHeader(std::string_view name);
// "--- IDN>[base]" or "---  ID>[base]", with its line end.
std::string BaseLine(const SlotTable& table);

// A line the reader could not place: neither a header, base or record line,
// or a record whose number is not exactly three digits from 001 to 999.
struct SkippedLine {
    std::size_t number = 0;  // in the file, from 1
    std::string text;        // without its leading and trailing spaces
};

// Applies the file's lines in order to the base ID and the slots'
// descriptions and sources. A line that cannot be placed is skipped on its own and
// returned; the lines around it are read as usual.
std::vector<SkippedLine> ApplyDescriptions(SlotTable& table, std::string_view text);

// One sentence for each slot the file records more than once (a second
// record of a slot starts wherever its lines begin again: after another
// slot's lines, or with a source, ID or first description line following
// its own). The reader keeps only one of them, so each is a problem.
std::vector<std::string> RepeatedRecords(std::string_view text);

// Sets baseId and its flags from the Disk IDs of slots 1..999: eleven agreeing
// slots in a row establish a numbered or unnumbered base.
void DeriveBaseId(SlotTable& table);

// The whole file the writer produces for name, from the slot records.
std::string ComposeDescriptions(const SlotTable& table, std::string_view name);

}  // namespace quarnex
