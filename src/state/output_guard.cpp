#include "state/output_guard.hpp"

#include "core/text.hpp"

namespace quarnex {

std::string OverlapWords(StoreOverlap overlap) {
    switch (overlap) {
        case StoreOverlap::None:
            break;
        case StoreOverlap::SameFile:
            return "is the store itself";
        case StoreOverlap::SameDevice:
            return "is the store's device under another name";
        case StoreOverlap::BackingFile:
            return "is the backing file of the store's loop device";
        case StoreOverlap::OnStore:
            return "lies in a file system on the store";
    }
    return {};
}

namespace {

// The message box of a refused output: the path, why, and that nothing
// was written.
void ShowRefusal(OperationPorts& ports, const std::string& title, const std::string& path,
                 const std::string& why) {
    ports.messages.ShowMessage(MessageRequest{
        title, path + std::string(kCrLf) + why + std::string(kCrLf) + "Nothing was written.",
        MessageButtons::Ok, MessageIcon::Exclamation});
}

}  // namespace

std::string OutputProblem(OperationPorts& ports, const std::string& path, std::uint64_t bytes) {
    const OutputCheck check = ports.devices.ExamineOutput(path);
    switch (check.kind) {
        case OutputKind::Missing:
        case OutputKind::File:
            break;
        case OutputKind::Folder:
            return "This is a folder, not a file.";
        case OutputKind::Device:
            return "This is a device, not a file.";
        case OutputKind::Pipe:
            return "This is a pipe (FIFO), not a file.";
        case OutputKind::Socket:
            return "This is a socket, not a file.";
        case OutputKind::Other:
            return "This is not a regular file.";
    }
    if (!check.writable) {
        return "You may not write this file: choose another name or change its permissions.";
    }
    if (check.freeBytes && *check.freeBytes < bytes) {
        return "Its folder has " + FormatThousands(static_cast<std::int64_t>(*check.freeBytes)) +
               " bytes free; the new file needs " +
               FormatThousands(static_cast<std::int64_t>(bytes)) +
               " bytes beside the old one until it is complete.";
    }
    return {};
}

bool RefuseUnusableOutput(OperationPorts& ports, const std::string& path, std::uint64_t bytes,
                          const std::string& title) {
    const std::string problem = OutputProblem(ports, path, bytes);
    if (problem.empty()) {
        return false;
    }
    ShowRefusal(ports, title, path, problem);
    return true;
}

bool RefuseStoreOverlap(OperationPorts& ports, const std::string& path,
                        const std::string& storePath, const std::string& title) {
    const StoreOverlap overlap = ports.devices.Overlap(path, storePath);
    if (overlap == StoreOverlap::None) {
        return false;
    }
    ShowRefusal(ports, title, path, "This file " + OverlapWords(overlap) + ".");
    return true;
}

}  // namespace quarnex
