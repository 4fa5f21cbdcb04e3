#pragma once
// The port through which a long operation reports how far it got and learns
// whether the user asked to cancel. The main window's model and the terminal
// tool's progress line implement it; the operation says what it does in its
// own terms and the front end decides how that reads.

#include <string>

#include "core/text.hpp"

namespace quarnex {

enum class ActivityKind {
    None,         // nothing named yet
    LoadDiskIds,  // reading every slot's Disk ID
    LoadDiskIdsFailed,
    ZeroImage,       // the internal image
    FormatImage,     // the internal image, from the template
    FormatSlot,      // device, slot
    ImportFromSlot,  // slot into the internal image
    ExportToSlot,    // the internal image into slot
    BackupSlot,      // slot into the file at path
    RestoreSlot,     // slot from the file at path
    ImportDrive,     // device: a floppy drive
    ImportFile,      // path
    ExportDrive,     // device: a floppy drive
    ExportFile,      // path
    ScanDrive,       // device
    ScanDrives,
    FindSlot,  // slot: looking through its names
};

struct Activity {
    ActivityKind kind = ActivityKind::None;
    int slot = 0;
    std::string path{};    // a file the activity reads or writes
    std::string device{};  // a drive or store device as the user knows it

    bool operator==(const Activity&) const = default;
};

class Progress {
  public:
    virtual ~Progress() = default;
    Progress() = default;
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // A new operation: the bar is emptied and nothing is named yet.
    virtual void Started() = 0;
    // The operation is under way: until Over() the front end counts it as
    // running (the window offers Cancel and holds back whatever would start
    // another operation).
    virtual void UnderWay() = 0;
    // The operation has ended, however it ended; a cancel asked for it is
    // forgotten, so that it can never stop the next one.
    virtual void Over() = 0;
    // What is being done now; the bar stays where it is.
    virtual void Doing(const Activity& what) = 0;
    // done of total units; lets the front end breathe (the window's events,
    // the terminal's Ctrl-C).
    virtual void UnitDone(long done, long total) = 0;
    // The last unit is done and on its medium.
    virtual void Finished() = 0;
    // The operation failed; the error itself is reported by the error report.
    virtual void Failed() = 0;
    // The operation stopped because the user cancelled it.
    virtual void Cancelled() = 0;
    virtual bool CancelAsked() = 0;
};

// The percentage a front end shows for done of total, rounded half to even;
// from 100 on the operation reads as finished.
inline int ProgressPercent(long done, long total) {
    return static_cast<int>(RoundHalfEven(static_cast<double>(done) / total * 100.0));
}
inline constexpr int kFinishedPercent = 100;

}  // namespace quarnex
