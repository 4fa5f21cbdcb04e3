#include "commands/image_contents.hpp"

#include <algorithm>
#include <cstdio>

#include "commands/status.hpp"
#include "core/all_zero.hpp"
#include "core/text.hpp"

namespace quarnex {

namespace {

std::string DateText(const fat12::Stamp& stamp) {
    if (stamp.date == 0) {
        return {};
    }
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", 1980 + (stamp.date >> 9),
                  (stamp.date >> 5) & 15, stamp.date & 31, stamp.time >> 11,
                  (stamp.time >> 5) & 63);
    return text;
}

std::string AttributeText(std::byte attributes) {
    std::string text;
    const std::pair<std::byte, char> letters[] = {{fat12::kAttrReadOnly, 'R'},
                                                  {fat12::kAttrHidden, 'H'},
                                                  {fat12::kAttrSystem, 'S'},
                                                  {fat12::kAttrArchive, 'A'}};
    for (const auto& [bit, letter] : letters) {
        if ((attributes & bit) != std::byte{0}) {
            text += letter;
        }
    }
    return text;
}

// Folders first, then by name without regard to case.
bool ShownBefore(const ContentsRow& a, const ContentsRow& b) {
    if (a.folder != b.folder) {
        return a.folder;
    }
    return ToUpperAscii(a.name) < ToUpperAscii(b.name);
}

}  // namespace

std::string ImageContents::FreeText() const {
    return readable_ ? FormatThousands(static_cast<std::int64_t>(freeBytes_)) + " bytes free"
                     : std::string();
}

void ImageContents::Open() {
    folder_.clear();
    Reload();
}

void ImageContents::Reload() {
    ImageFolder shown = ListImageFolder(Image(), folder_);
    if (shown.listing.status != fat12::Status::Ok && !folder_.empty()) {
        folder_.clear();
        shown = ListImageFolder(Image(), folder_);
    }
    rows_.clear();
    readable_ = shown.listing.status == fat12::Status::Ok;
    freeBytes_ = readable_ ? ImageFreeBytes(Image()) : 0;
    changeable_ = shown.writable == fat12::Status::Ok;
    if (!readable_) {
        // A zeroed image is the normal start, not damage: say what to do.
        const auto image = ctx_.state.imageBuffer.Span();
        note_ = AllZero(image.data(), image.size())
                    ? "The internal image is zeroed, so it holds no files: format it or import a "
                      "disk first."
                    : "The internal image holds no FAT12 volume that can be read. " +
                          fat12::StatusText(shown.listing.status, shown.listing.detail);
        return;
    }
    note_ = changeable_ ? std::string()
                        : fat12::StatusText(shown.writable, shown.writeDetail) +
                              " Its files can be extracted, but nothing can be changed.";
    for (const fat12::DirectoryItem& item : shown.listing.items) {
        if (fat12::IsDotItem(item)) {
            continue;
        }
        rows_.push_back(ContentsRow{
            item.name, item.directory ? std::string() : FormatThousands(item.size),
            DateText(item.modified), AttributeText(item.attributes), item.directory, false});
    }
    std::sort(rows_.begin(), rows_.end(), ShownBefore);
    if (!folder_.empty()) {
        rows_.insert(rows_.begin(), ContentsRow{"..", "", "", "", true, true});
    }
}

bool ImageContents::Enter(std::size_t row) {
    if (row >= rows_.size() || !rows_[row].folder) {
        return false;
    }
    if (rows_[row].up) {
        return Up();
    }
    folder_ = PathOf(rows_[row].name);
    Reload();
    return true;
}

bool ImageContents::Up() {
    if (folder_.empty()) {
        return false;
    }
    const std::size_t slash = folder_.rfind('/');
    folder_ = slash == std::string::npos ? std::string() : folder_.substr(0, slash);
    Reload();
    return true;
}

int ImageContents::Delete(const std::vector<std::size_t>& rows) {
    std::vector<ContentsRow> chosen;
    for (const std::size_t row : rows) {
        if (row < rows_.size() && !rows_[row].up) {
            chosen.push_back(rows_[row]);
        }
    }
    if (chosen.empty() || !MayChange()) {
        return 0;
    }
    const std::string what = chosen.size() == 1 ? "\"" + chosen[0].name + "\""
                                                : std::to_string(chosen.size()) + " items";
    if (!Ask("Delete " + what + " from the internal image?" + std::string(kCrLf) +
             "A folder goes with everything in it.")) {
        return 0;
    }
    int deleted = 0;
    for (const ContentsRow& row : chosen) {
        if (!ReportChange(RemoveImageItem(Image(), PathOf(row.name)), row.name)) {
            break;
        }
        ++deleted;
    }
    Reload();
    return deleted;
}

bool ImageContents::NewFolder(const std::string& name) {
    if (TrimSpaces(name).empty() || !MayChange()) {
        return false;
    }
    if (FindImageItem(Image(), PathOf(name)) != ImageItemKind::None) {
        Refuse("\"" + name + "\" exists in " + FolderText() + " already.");
        return false;
    }
    const bool made = ReportChange(MakeImageFolder(Image(), ctx_.clock, PathOf(name)), name);
    Reload();
    return made;
}

std::string ImageContents::PathOf(const std::string& name) const {
    return PathIn(folder_, name);
}

std::string ImageContents::PathIn(const std::string& folder, const std::string& name) const {
    return folder.empty() ? name : folder + "/" + name;
}

bool ImageContents::MayChange() {
    if (!Changeable()) {
        Refuse(note_.empty() ? "The internal image cannot be changed." : note_);
        return false;
    }
    return true;
}

void ImageContents::Refuse(const std::string& text) {
    ctx_.ui.ShowMessage(
        MessageRequest{kContentsTitle, text, MessageButtons::Ok, MessageIcon::Exclamation});
}

bool ImageContents::Ask(const std::string& text) {
    return ctx_.ui.ShowMessage(MessageRequest{kContentsTitle, text, MessageButtons::YesNo,
                                              MessageIcon::Exclamation}) == MessageAnswer::Yes;
}

bool ImageContents::ReportChange(const ImageChange& change, const std::string& name) {
    const std::string quoted = "\"" + name + "\"";
    switch (change.status) {
        case fat12::Status::Ok:
            MarkImageChanged(ctx_);
            return true;
        case fat12::Status::Full:
            Refuse("There is no room for " + quoted +
                   " on the internal image: the volume or its folder is full." +
                   std::string(kCrLf) + "Nothing was changed for it.");
            break;
        case fat12::Status::BadName:
            Refuse(quoted + " cannot be stored on a FAT12 volume: the name is too long or " +
                   "holds characters FAT does not allow.");
            break;
        default:
            Refuse(quoted + ": " + fat12::StatusText(change.status, change.detail) +
                   std::string(kCrLf) + "Nothing was changed for it.");
            break;
    }
    return false;
}

}  // namespace quarnex
