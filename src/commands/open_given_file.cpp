#include "commands/open_given_file.hpp"

#include <filesystem>

#include "commands/main_commands.hpp"
#include "core/media_sizes.hpp"

namespace quarnex {

void OpenGivenFile(WindowContext& ctx, const std::string& path) {
    // The window names the file in full, as a file dialog would give it.
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    const std::string full = absolute.empty() ? path : absolute.lexically_normal().string();
    const LengthResult length = ctx.devices.FileLength(full);
    if (length.length && *length.length == kImageBytes) {
        ImportImageFrom(ctx, ImageTransferRequest{.file = full});
        return;
    }
    OpenStoreFile(ctx, full);
}

}  // namespace quarnex
