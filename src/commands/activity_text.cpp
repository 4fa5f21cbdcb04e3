#include "commands/activity_text.hpp"

namespace quarnex {

std::string ActivityText(const Activity& what) {
    const std::string disk = "Disk(" + ThreeDigits(what.slot) + ")";
    switch (what.kind) {
        case ActivityKind::None:
            return "";
        case ActivityKind::LoadDiskIds:
            return "Loading Disk IDs";
        case ActivityKind::LoadDiskIdsFailed:
            return "Loading Disk IDs Failed";
        case ActivityKind::ZeroImage:
            return "Zeroing Internal Disk Image";
        case ActivityKind::FormatImage:
            return "Formatting Internal Disk Image";
        case ActivityKind::FormatSlot:
            return "Formatting USB  " + what.device + "  " + disk;
        case ActivityKind::ImportFromSlot:
            return "Import From USB " + disk + " ";
        case ActivityKind::ExportToSlot:
            return "Export To USB " + disk + " ";
        case ActivityKind::BackupSlot:
            return "Export of USB " + disk + " to " + ShortenPath(what.path);
        case ActivityKind::RestoreSlot:
            return "Import of USB " + disk + " From " + ShortenPath(what.path);
        case ActivityKind::ImportDrive:
            return "Import of Physical Disk " + what.device;
        case ActivityKind::ImportFile:
            return "Import of Disk Image " + ShortenPath(what.path);
        case ActivityKind::ExportDrive:
            return "Export To Physical Disk " + what.device;
        case ActivityKind::ExportFile:
            return "Export To Disk Image " + ShortenPath(what.path);
        case ActivityKind::ScanDrive:
            return "Scanning Drive " + what.device;
        case ActivityKind::ScanDrives:
            return "Scanning Drives";
        case ActivityKind::FindSlot:
            return "Searching USB " + disk;
    }
    return "";
}

}  // namespace quarnex
