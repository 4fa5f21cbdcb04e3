#pragma once
// What the program knows of the selected store, as typed records: per slot
// its Disk ID, description, source and whether a write into it is unfinished;
// per store its ID, base ID, the state of its descriptions file and the mark
// of an unfinished whole-store write. Each fact is kept once; the window
// makes its grid texts from these records.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_encoding.hpp"

namespace quarnex {

// What files and listings say for a Disk ID that is not known.
inline constexpr std::string_view kNoDiskId = "-----------";

// One slot of the store, 1..999.
struct SlotRecord {
    // The slot's volume label, as read; none while no store is loaded or when
    // the label holds bytes outside 0x20..0x7F.
    std::optional<std::string> diskId;
    std::string description;  // lines joined by CR LF
    std::string source;       // where its image came from
    // Its boot sector still carries the mark a slot write puts there until
    // its last step: the image may mix two disks.
    bool writeUnfinished = false;
};

// The internal image's entry: what it would take into a slot.
struct ImageRecord {
    std::string description;
    std::string source;
};

// What a listener is told of a slot, so a view can repaint just what changed.
enum class SlotChange {
    DiskIdRead,     // a load read the label again, changed or not
    DiskIdWritten,  // an image was written into the slot
    DiskIdCleared,  // the store is no longer loaded
    Description,
    WriteMark,  // the slot's unfinished-write mark was found or cleared
};

class SlotTableListener {
  public:
    virtual ~SlotTableListener() = default;
    virtual void SlotChanged(int slot, SlotChange change) = 0;
};

// A slot's texts as the descriptions file keeps them.
struct SlotTexts {
    std::string description;
    std::string source;
    bool operator==(const SlotTexts&) const = default;
};

// The base ID line as the descriptions file keeps it.
struct BaseIdFacts {
    std::string id;
    bool present = false;
    bool numbered = false;
    bool operator==(const BaseIdFacts&) const = default;
};

// What the records held when they last agreed with the file on the store:
// a save applies only what changed here since then, so that what another
// program wrote there meanwhile is kept.
struct StoredDescriptions {
    std::optional<std::string> bytes;  // the file as last read or written; none when absent
    std::vector<SlotTexts> texts;      // by slot number; empty before the first load
    BaseIdFacts base;
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
    StoredDescriptions stored;
};

class SlotTable {
  public:
    SlotTable();
    SlotTable(const SlotTable&) = delete;
    SlotTable& operator=(const SlotTable&) = delete;

    // Slots 1..999.
    const SlotRecord& Slot(int slot) const;
    void SetDiskId(int slot, std::optional<std::string> id, SlotChange how);
    void SetDescription(int slot, std::string text);
    void SetSource(int slot, std::string text);
    void SetWriteUnfinished(int slot, bool unfinished);
    // Every slot without ID, description, source or unfinished write.
    void ClearSlots();

    void SetListener(SlotTableListener* listener) { listener_ = listener; }

    ImageRecord internalImage;
    std::string baseId;
    bool baseIdPresent = false;
    bool baseIdNumbered = false;
    // Slot 0's label, trimmed: the ID of the store the Disk IDs came from;
    // empty when slot 0 could not be read by the last load.
    std::optional<std::string> storeId;
    DescriptionsFileState descriptionsFile;
    // Slot 0 carries the mark of a format or restore that did not finish:
    // its slots may mix two stores.
    bool writeUnfinished = false;

  private:
    SlotRecord& At(int slot);
    void Tell(int slot, SlotChange change);

    std::vector<SlotRecord> slots_;  // by slot number; slot 0 is the store's own volume
    SlotTableListener* listener_ = nullptr;
};

SlotTexts TextsOf(const SlotRecord& record);
BaseIdFacts BaseIdOf(const SlotTable& table);

// The ID as files and listings show it: the label, or eleven hyphens.
std::string ShownId(const SlotRecord& record);

}  // namespace quarnex
