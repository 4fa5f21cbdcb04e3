#include "platform/posix/posix_program_paths.hpp"

#include <filesystem>

namespace quarnex {

std::string RunningExecutablePath() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

}  // namespace quarnex
