#pragma once
// The window that shows the files inside the internal image, as plain data:
// the folder shown, one row per file or folder with the text of each column,
// and what its commands do. The GUI renders the rows and passes on what the
// user chose; every question and refusal goes through the Ui port.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "commands/context.hpp"
#include "image/image_files.hpp"

namespace quarnex {

struct ContentsRow {
    std::string name;        // as the volume holds it; ".." on the row that goes up
    std::string size;        // "1,234"; empty for folders
    std::string date;        // last change, "2026-03-14 15:09"
    std::string attributes;  // the letters of R, H, S, A that are set
    bool folder = false;
    bool up = false;
};

inline constexpr const char* kContentsTitle = "Internal Image Contents";

class ImageContents {
  public:
    explicit ImageContents(Context& ctx) : ctx_(ctx) {}

    // The root, listed afresh.
    void Open();
    // The folder shown, listed afresh; the root when it is gone.
    void Reload();

    const std::string& Folder() const { return folder_; }  // "" or "Sub/Inner"
    std::string FolderText() const { return "/" + folder_; }
    const std::vector<ContentsRow>& Rows() const { return rows_; }
    bool Readable() const { return readable_; }
    // False for a volume that is read but never written (FATs that differ,
    // a damaged tree); Note says why.
    bool Changeable() const { return readable_ && changeable_; }
    const std::string& Note() const { return note_; }
    // "1,423,360 bytes free" for a readable volume, else empty.
    std::string FreeText() const;

    // Into a folder row, or up for the ".." row; false for a file row.
    bool Enter(std::size_t row);
    bool Up();

    // Files and folders of the host (folders with all they hold) into the
    // folder shown; asks before replacing a file. The count added.
    int Add(const std::vector<std::string>& hostPaths);
    // After one question, the rows' files and folders with all they hold.
    int Delete(const std::vector<std::size_t>& rows);
    bool NewFolder(const std::string& name);
    // The rows' files and folders into a host folder; asks before replacing
    // a host file with Ask, else replaces. The paths written there.
    std::vector<std::string> Extract(const std::vector<std::size_t>& rows,
                                     const std::string& hostFolder, ReplacePrompt prompt);

  private:
    std::string PathOf(const std::string& name) const;
    std::string PathIn(const std::string& folder, const std::string& name) const;
    bool MayChange();
    void Refuse(const std::string& text);
    bool Ask(const std::string& text);
    // The internal image the contents are of.
    std::span<std::byte> Image() const { return ctx_.state.imageBuffer.Span(); }
    // Marks the image changed after a change; says why one failed (false).
    bool ReportChange(const ImageChange& change, const std::string& name);
    int AddOne(const std::string& hostPath, const std::string& folder);
    int AddFile(const std::string& hostPath, const std::string& folder, const std::string& name);
    bool ExtractOne(const std::string& path, bool folder, const std::string& hostPath,
                    ReplacePrompt prompt);

    Context& ctx_;
    std::string folder_;
    std::vector<ContentsRow> rows_;
    bool readable_ = false;
    std::uint64_t freeBytes_ = 0;
    bool changeable_ = false;
    std::string note_;
};

}  // namespace quarnex
