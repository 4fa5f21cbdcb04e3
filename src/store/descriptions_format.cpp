#include "store/descriptions_format.hpp"

#include <cmath>
#include <vector>

#include "core/text.hpp"

namespace quarnex {

namespace {

constexpr int kLastSlot = 999;
constexpr std::size_t kMaxLineNumber = 999;

std::string Line(std::string_view text) {
    return std::string(text) + std::string(kCrLf);
}

long WholeNumber(std::string_view text) {
    return static_cast<long>(RoundHalfEven(LenientNumber(text)));
}

void ReadBaseLine(ProgramState& state, const std::string& line) {
    const std::string kind = line.substr(4, 3);
    if (kind == " ID") {
        state.slotTable.BaseIdPresent = true;
        state.slotTable.BaseIdNumbered = false;
    } else if (kind == "IDN") {
        state.slotTable.BaseIdPresent = true;
        state.slotTable.BaseIdNumbered = true;
    } else {
        return;
    }
    const std::size_t open = line.find('[', 8);
    const std::size_t close = line.find(']', 8);
    if (open == std::string::npos || close == std::string::npos || close < open + 2) {
        return;
    }
    state.slotTable.BaseId = line.substr(open + 1, close - open - 1);
}

void SetDescriptionCell(ProgramState& state, int row, std::string text) {
    state.slotTable.DiskDescriptions.at(static_cast<std::size_t>(row)) = text;
    state.slotTable.SetCell(row, 2, std::move(text));
}

}  // namespace

std::string DescriptionsHeader(std::string_view name) {
    return Line("Disk Descriptions For USB Image File '" + std::string(name) + "'") + Line("") +
           Line("List Includes:") + Line("   Floppy Disk Base Id (Numbered)") +
           Line("   Disk Images With Descriptions") + Line("   Disk Images With Altered Disk IDs") +
           Line("");
}

std::string BaseLine(const ProgramState& state) {
    return Line((state.slotTable.BaseIdNumbered ? "--- IDN>[" : "---  ID>[") +
                state.slotTable.BaseId + "]");
}

bool ApplyDescriptions(ProgramState& state, std::string_view text) {
    for (std::string_view raw : SplitLines(text)) {
        const std::string line = TrimSpaces(raw);
        if (line.size() < 8 || line[7] != '>') {
            continue;
        }
        if (line.compare(0, 3, "---") == 0) {
            ReadBaseLine(state, line);
            continue;
        }
        const long slot = WholeNumber(std::string_view(line).substr(0, 3));
        if (slot < 0) {
            return false;
        }
        // Slot 0 is the internal image, never a record of the store.
        if (slot == 0 || slot > kLastSlot) {
            continue;
        }
        const int row = static_cast<int>(slot);
        const std::string kind = line.substr(4, 3);
        std::string body = line.substr(8);
        if (kind == "SRC") {
            state.slotTable.DiskSources.at(static_cast<std::size_t>(row)) = body;
            SetDescriptionCell(state, row, std::move(body));
        } else if (kind != " ID" && kind != "IDN") {
            const bool first = WholeNumber(kind) == 1;
            std::string cell =
                first ? std::move(body) : state.slotTable.Cell(row, 2) + std::string(kCrLf) + body;
            SetDescriptionCell(state, row, std::move(cell));
        }
    }
    return true;
}

void DeriveBaseId(ProgramState& state) {
    std::string candidate = state.slotTable.BaseId;
    int numberedRun = 0;
    int plainRun = 0;
    for (int row = 1; row <= kLastSlot; ++row) {
        const std::string id = TrimSpaces(state.slotTable.Cell(row, 1));
        const std::size_t length = id.size();
        const bool numbered =
            length >= 3 && LenientNumber(std::string_view(id).substr(length - 3)) == row;
        if (numbered) {
            plainRun = 0;
            std::string prefix = id.substr(0, length - 3);
            if (prefix == candidate) {
                ++numberedRun;
            } else {
                numberedRun = 0;
                candidate = std::move(prefix);
            }
            if (numberedRun == 10) {
                state.slotTable.BaseIdPresent = true;
                state.slotTable.BaseIdNumbered = true;
                break;
            }
        } else {
            numberedRun = 0;
            if (id == candidate) {
                ++plainRun;
            } else {
                plainRun = 0;
                candidate = id;
            }
            if (plainRun == 10) {
                state.slotTable.BaseIdPresent = true;
                state.slotTable.BaseIdNumbered = false;
                break;
            }
        }
    }
    state.slotTable.BaseId = candidate;
}

std::string ComposeDescriptions(const ProgramState& state, std::string_view name) {
    std::string text = DescriptionsHeader(name) + BaseLine(state);
    const SlotTable& grid = state.slotTable;
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        const std::string& source = state.slotTable.DiskSources.at(static_cast<std::size_t>(slot));
        const std::string expected = PadRight(
            state.slotTable.BaseId + (state.slotTable.BaseIdNumbered ? ThreeDigits(slot) : ""), 11);
        const std::string& description = grid.Cell(slot, 2);
        const std::string current =
            PadRight(TrimSpaces(LeftChars(TrimSpaces(grid.Cell(slot, 1)), 11)), 11);
        if (source.empty() && current == expected && description.empty()) {
            continue;
        }
        const std::string number = ThreeDigits(slot);
        text += Line("");
        if (!source.empty()) {
            text += Line(number + " SRC>" + source);
        }
        text += Line(number + "  ID>[" + current + "]");
        // Line numbers have three digits: lines past 999 join the last one.
        const std::vector<std::string_view> lines = SplitLines(description);
        std::string last;
        for (std::size_t k = 1; k <= lines.size(); ++k) {
            if (k < kMaxLineNumber) {
                std::string field = std::to_string(k);
                text += Line(number + " " + std::string(3 - field.size(), ' ') + field + ">" +
                             std::string(lines[k - 1]));
            } else {
                if (k != kMaxLineNumber) {
                    last += ' ';
                }
                last += lines[k - 1];
            }
        }
        if (lines.size() >= kMaxLineNumber) {
            text += Line(number + " 999>" + last);
        }
    }
    return text + Line("");
}

}  // namespace quarnex
