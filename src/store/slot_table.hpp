#pragma once
// What the program knows of the selected store, slot by slot: the cell texts
// of rows 0..999 and columns 0..2 (slot number, Disk ID with its marker,
// description), the descriptions and sources read from DISKS.TXT, the base ID
// and the store's own ID. It is the store of record: Disk IDs and
// descriptions are read back from its cells, and the grid of the main window
// is only a view of it.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_encoding.hpp"

namespace quarnex {

inline constexpr int kGridRows = 1000;  // header row 0 and slots 1..999
inline constexpr int kGridColumns = 3;
inline constexpr int kTableEntries = 1000;  // entry 0: internal image, n: slot n

// Receives every cell change, so a view can repaint just what changed.
class SlotTableListener {
  public:
    virtual ~SlotTableListener() = default;
    virtual void CellChanged(int row, int column) = 0;
};

// How the last load found the store's descriptions file.
struct DescriptionsFileState {
    TextEncoding encoding = TextEncoding::Windows1252;  // saving writes the same
    // What could not be read, one sentence each; empty when the file was read
    // in full or was absent. Saving would replace what could not be read.
    std::vector<std::string> problems;
    bool folder = false;            // a folder stands where the file belongs
    bool replaceConfirmed = false;  // the user agreed to replace it all the same
    bool saveFailed = false;        // the last save of the store's file failed
};

class SlotTable {
  public:
    SlotTable();
    SlotTable(const SlotTable&) = delete;
    SlotTable& operator=(const SlotTable&) = delete;

    const std::string& Cell(int row, int column) const;
    void SetCell(int row, int column, std::string text);

    // Cells back to their reset contents: IDs dashed, descriptions empty;
    // slot numbers rewritten only when asked.
    void Reset(bool rewriteNumbers);
    // Writes the header row.
    void WriteHeaders();

    void SetListener(SlotTableListener* listener) { listener_ = listener; }

    std::array<std::string, kTableEntries> DiskDescriptions;
    std::array<std::string, kTableEntries> DiskSources;
    std::string BaseId;
    bool BaseIdPresent = false;
    bool BaseIdNumbered = false;
    // Slot 0's label, trimmed: the ID of the store the Disk IDs came from;
    // empty when slot 0 could not be read by the last load.
    std::optional<std::string> storeId;
    DescriptionsFileState descriptionsFile;
    // Slot 0 carries the mark of a format or restore that did not finish:
    // its slots may mix two stores.
    bool writeUnfinished = false;
    // Slots whose boot sector still carries the mark a slot write puts there
    // until its last step: their images may mix two disks. By row.
    std::array<bool, kGridRows> slotUnfinished{};

  private:
    std::vector<std::array<std::string, kGridColumns>> cells_;
    SlotTableListener* listener_ = nullptr;
};

// Text of column 1 while no store is loaded, and for unreadable labels.
inline constexpr std::string_view kNoDiskIdCell = " ----------- ";
inline constexpr std::string_view kNoDiskId = "-----------";

// Markers appended to the first 12 characters of a Disk ID cell.
inline constexpr std::string_view kSelectionMarker = " *";
inline constexpr std::string_view kEditMarker = " >";
// The cell's first 12 characters followed by the marker (empty for none).
std::string WithMarker(std::string_view cell, std::string_view marker);

}  // namespace quarnex
