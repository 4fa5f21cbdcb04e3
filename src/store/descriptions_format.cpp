#include "store/descriptions_format.hpp"

#include <algorithm>
#include <cmath>
#include <map>
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

// Lines 1..7 of the header, and any other place they may stand.
bool IsHeaderLine(const std::string& line) {
    static constexpr std::string_view kFixed[] = {
        "List Includes:", "Floppy Disk Base Id (Numbered)", "Disk Images With Descriptions",
        "Disk Images With Altered Disk IDs"};
    return line.rfind("Disk Descriptions For USB Image File '", 0) == 0 ||
           std::find(std::begin(kFixed), std::end(kFixed), line) != std::end(kFixed);
}

// 1..999 from exactly three digits at the start; 0 for anything else, slot
// 000 included (slot 0 is the store's own volume, never described).
int SlotNumber(const std::string& line) {
    int slot = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (line[i] < '0' || line[i] > '9') {
            return 0;
        }
        slot = slot * 10 + (line[i] - '0');
    }
    return slot;
}

// Text that must stay on its one line of the file: control characters
// (a line break in a file name, say) become "?".
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return line;
}

// The slot of a record line, 0 for any other line.
int RecordSlot(const std::string& line) {
    return line.size() >= 8 && line[7] == '>' && line[3] == ' ' ? SlotNumber(line) : 0;
}

// Where a record line stands in its record: source, ID, description line 1,
// any later description line.
int RecordRank(const std::string& kind) {
    if (kind == "SRC") {
        return 0;
    }
    if (kind == " ID" || kind == "IDN") {
        return 1;
    }
    return WholeNumber(kind) == 1 ? 2 : 3;
}

void ReadBaseLine(SlotTable& table, const std::string& line) {
    const std::string kind = line.substr(4, 3);
    if (kind == " ID") {
        table.baseIdPresent = true;
        table.baseIdNumbered = false;
    } else if (kind == "IDN") {
        table.baseIdPresent = true;
        table.baseIdNumbered = true;
    } else {
        return;
    }
    const std::size_t open = line.find('[', 8);
    const std::size_t close = line.find(']', 8);
    if (open == std::string::npos || close == std::string::npos || close < open + 2) {
        return;
    }
    table.baseId = line.substr(open + 1, close - open - 1);
}

}  // namespace

std::string DescriptionsHeader(std::string_view name) {
    return Line("Disk Descriptions For USB Image File '" + OneLine(name) + "'") + Line("") +
           Line("List Includes:") + Line("   Floppy Disk Base Id (Numbered)") +
           Line("   Disk Images With Descriptions") + Line("   Disk Images With Altered Disk IDs") +
           Line("");
}

std::string BaseLine(const SlotTable& table) {
    return Line((table.baseIdNumbered ? "--- IDN>[" : "---  ID>[") + table.baseId + "]");
}

std::vector<SkippedLine> ApplyDescriptions(SlotTable& table, std::string_view text) {
    std::vector<SkippedLine> skipped;
    std::size_t number = 0;
    for (std::string_view raw : SplitLines(text)) {
        ++number;
        const std::string line = TrimSpaces(raw);
        if (line.empty() || IsHeaderLine(line)) {
            continue;
        }
        const bool marked = line.size() >= 8 && line[7] == '>';
        const std::string kind = marked ? line.substr(4, 3) : "";
        if (marked && line.compare(0, 4, "--- ") == 0 && (kind == " ID" || kind == "IDN")) {
            ReadBaseLine(table, line);
            continue;
        }
        const int slot = RecordSlot(line);
        if (slot == 0) {
            skipped.push_back(SkippedLine{number, line});
            continue;
        }
        std::string body = line.substr(8);
        if (kind == "SRC") {
            // The source stands in for the description until a first line comes.
            table.SetSource(slot, body);
            table.SetDescription(slot, std::move(body));
        } else if (kind != " ID" && kind != "IDN") {
            const bool first = WholeNumber(kind) == 1;
            table.SetDescription(
                slot,
                first ? std::move(body) : table.Slot(slot).description + std::string(kCrLf) + body);
        }
    }
    return skipped;
}

std::vector<std::string> RepeatedRecords(std::string_view text) {
    constexpr std::size_t kNamedStarts = 3;
    constexpr std::size_t kNamedSlots = 10;
    std::map<int, std::vector<std::size_t>> starts;  // the first line of each record, by slot
    int lastSlot = 0;
    int lastRank = 0;
    std::size_t number = 0;
    for (std::string_view raw : SplitLines(text)) {
        ++number;
        const std::string line = TrimSpaces(raw);
        const int slot = RecordSlot(line);
        if (slot == 0) {
            continue;
        }
        const int rank = RecordRank(line.substr(4, 3));
        if (slot != lastSlot || (rank < 3 && rank <= lastRank)) {
            starts[slot].push_back(number);
        }
        lastSlot = slot;
        lastRank = rank;
    }
    std::vector<std::string> problems;
    std::size_t repeated = 0;
    for (const auto& [slot, lines] : starts) {
        if (lines.size() < 2 || ++repeated > kNamedSlots) {
            continue;
        }
        std::string named;
        for (std::size_t i = 0; i < lines.size() && i < kNamedStarts; ++i) {
            named += (i == 0 ? "" : ", ") + std::to_string(lines[i]);
        }
        problems.push_back("Slot " + ThreeDigits(slot) + " is recorded " +
                           std::to_string(lines.size()) + " times (lines " + named +
                           (lines.size() > kNamedStarts ? " and more" : "") +
                           "); only the record shown can be kept.");
    }
    if (repeated > kNamedSlots) {
        problems.push_back(std::to_string(repeated - kNamedSlots) +
                           " more slots are recorded more than once.");
    }
    return problems;
}

void DeriveBaseId(SlotTable& table) {
    std::string candidate = table.baseId;
    int numberedRun = 0;
    int plainRun = 0;
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        const std::string id = TrimSpaces(ShownId(table.Slot(slot)));
        const std::size_t length = id.size();
        const bool numbered =
            length >= 3 && LenientNumber(std::string_view(id).substr(length - 3)) == slot;
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
                table.baseIdPresent = true;
                table.baseIdNumbered = true;
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
                table.baseIdPresent = true;
                table.baseIdNumbered = false;
                break;
            }
        }
    }
    table.baseId = candidate;
}

std::string ComposeDescriptions(const SlotTable& table, std::string_view name) {
    std::string text = DescriptionsHeader(name) + BaseLine(table);
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        const SlotRecord& record = table.Slot(slot);
        const std::string& source = record.source;
        const std::string expected =
            PadRight(table.baseId + (table.baseIdNumbered ? ThreeDigits(slot) : ""), 11);
        const std::string& description = record.description;
        const std::string current = PadRight(TrimSpaces(ShownId(record)), 11);
        if (source.empty() && current == expected && description.empty()) {
            continue;
        }
        const std::string number = ThreeDigits(slot);
        text += Line("");
        if (!source.empty()) {
            text += Line(number + " SRC>" + OneLine(source));
        }
        text += Line(number + "  ID>[" + current + "]");
        // Line numbers have three digits: lines past 999 join the last one.
        // A NUL byte would make the whole file unreadable as text.
        std::string written = description;
        std::replace(written.begin(), written.end(), '\0', '?');
        const std::vector<std::string_view> lines = SplitLines(written);
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
