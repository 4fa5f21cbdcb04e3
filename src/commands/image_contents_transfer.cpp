// Files between the host and the internal image's contents window: Add (and
// dropping files on the window) and Extract (and dragging items out).
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>

#include "commands/image_contents.hpp"
#include "core/media_sizes.hpp"
#include "core/text.hpp"
#include "state/error_report.hpp"
#include "state/output_guard.hpp"

namespace quarnex {

namespace {

std::string LastPart(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    return std::filesystem::path(trimmed).filename().string();
}

// A host file's bytes; empty after the error report. A file that could not
// fit on any floppy is not read at all (tooLarge).
std::optional<std::string> ReadHostFile(Context& ctx, const std::string& path, bool& tooLarge) {
    const LengthResult length = ctx.devices.FileLength(path);
    OpenResult opened = ctx.devices.Open(path, Access::Read, Disposition::OpenExisting);
    int error = length.length ? opened.error : length.error;
    tooLarge = length.length && *length.length > kImageBytes;
    if (error == 0 && !tooLarge) {
        std::string contents(static_cast<std::size_t>(*length.length), '\0');
        const IoResult read =
            opened.file->Read(reinterpret_cast<std::byte*>(contents.data()), contents.size());
        error = read.error != 0 ? read.error : (read.bytes == contents.size() ? 0 : EIO);
        if (error == 0) {
            return contents;
        }
    }
    if (error != 0) {
        ErrorReport(ctx, error, "QrnMAddToImage", path);
    }
    return std::nullopt;
}

bool WriteHostFile(Context& ctx, const std::string& path, const std::string& contents) {
    OpenResult created = ctx.devices.Open(path, Access::Write, Disposition::Replace);
    int error = created.error;
    if (created.file) {
        const IoResult written = created.file->Write(
            reinterpret_cast<const std::byte*>(contents.data()), contents.size());
        error = written.error != 0 ? written.error : (written.bytes == contents.size() ? 0 : EIO);
        if (error == 0) {
            error = created.file->Commit();
        }
    }
    if (error != 0) {
        ErrorReport(ctx, error, "QrnMExtractFromImage", path);
        return false;
    }
    return true;
}

}  // namespace

int ImageContents::Add(const std::vector<std::string>& hostPaths) {
    if (hostPaths.empty() || !MayChange()) {
        return 0;
    }
    int added = 0;
    for (const std::string& path : hostPaths) {
        added += AddOne(path, folder_);
    }
    Reload();
    return added;
}

int ImageContents::AddOne(const std::string& hostPath, const std::string& folder) {
    const std::string name = LastPart(hostPath);
    const std::string target = PathIn(folder, name);
    std::error_code error;
    if (!std::filesystem::is_directory(hostPath, error)) {
        return AddFile(hostPath, folder, name);
    }
    const ImageItemKind there = FindImageItem(Image(), target);
    if (there == ImageItemKind::File) {
        Refuse("\"" + name + "\" is a file on the internal image, so the folder of that name " +
               "cannot be added.");
        return 0;
    }
    int added = 0;
    if (there == ImageItemKind::None) {
        if (!ReportChange(MakeImageFolder(Image(), ctx_.clock, target), name)) {
            return 0;
        }
        ++added;
    }
    // The folder's items in name order, so that the result does not depend
    // on the host's order.
    std::vector<std::string> inner;
    for (const auto& entry : std::filesystem::directory_iterator(hostPath, error)) {
        inner.push_back(entry.path().string());
    }
    if (error) {
        ErrorReport(ctx_, error.value(), "QrnMAddToImage", hostPath);
    }
    std::sort(inner.begin(), inner.end());
    for (const std::string& path : inner) {
        added += AddOne(path, target);
    }
    return added;
}

int ImageContents::AddFile(const std::string& hostPath, const std::string& folder,
                           const std::string& name) {
    const std::string target = PathIn(folder, name);
    const ImageItemKind there = FindImageItem(Image(), target);
    if (there == ImageItemKind::Folder) {
        Refuse("\"" + name + "\" is a folder on the internal image, so the file of that name " +
               "cannot be added.");
        return 0;
    }
    if (there == ImageItemKind::File && !Ask("\"" + name + "\" exists in /" + folder + " already." +
                                             std::string(kCrLf) + "Replace it?")) {
        return 0;
    }
    bool tooLarge = false;
    const std::optional<std::string> contents = ReadHostFile(ctx_, hostPath, tooLarge);
    if (tooLarge) {
        return ReportChange(ImageChange{fat12::Status::Full, {}}, name) ? 1 : 0;
    }
    if (!contents) {
        return 0;
    }
    return ReportChange(WriteImageFile(Image(), ctx_.clock, target, *contents), name) ? 1 : 0;
}

std::vector<std::string> ImageContents::Extract(const std::vector<std::size_t>& rows,
                                                const std::string& hostFolder,
                                                ReplacePrompt prompt) {
    std::vector<std::string> written;
    for (const std::size_t row : rows) {
        if (row >= rows_.size() || rows_[row].up) {
            continue;
        }
        const ContentsRow& item = rows_[row];
        const std::string hostPath = hostFolder + "/" + item.name;
        if (ExtractOne(PathOf(item.name), item.folder, hostPath, prompt)) {
            written.push_back(hostPath);
        }
    }
    return written;
}

bool ImageContents::ExtractOne(const std::string& path, bool folder, const std::string& hostPath,
                               ReplacePrompt prompt) {
    if (!folder) {
        const fat12::FileRead read = ReadImageFile(Image(), path);
        if (read.status != fat12::Status::Ok) {
            Refuse("\"" + path + "\": " + fat12::StatusText(read.status, read.detail));
            return false;
        }
        if (const std::string problem = OutputProblem(ctx_, hostPath, read.contents.size());
            !problem.empty()) {
            Refuse("\"" + hostPath + "\": " + problem);
            return false;
        }
        if (prompt == ReplacePrompt::Ask && ctx_.devices.FileExists(hostPath) &&
            !Ask("\"" + hostPath + "\" exists already." + std::string(kCrLf) + "Replace it?")) {
            return false;
        }
        return WriteHostFile(ctx_, hostPath, read.contents);
    }
    std::error_code error;
    std::filesystem::create_directory(hostPath, error);
    if (error) {
        ErrorReport(ctx_, error.value(), "QrnMExtractFromImage", hostPath);
        return false;
    }
    const ImageFolder inside = ListImageFolder(Image(), path);
    bool all = true;
    for (const fat12::DirectoryItem& item : inside.listing.items) {
        if (item.name != "." && item.name != "..") {
            all = ExtractOne(path + "/" + item.name, item.directory, hostPath + "/" + item.name,
                             prompt) &&
                  all;
        }
    }
    return all;
}

}  // namespace quarnex
