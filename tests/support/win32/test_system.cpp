// The system's side of the test helpers on Windows: scratch folders,
// allocated clusters and commands run through the command interpreter.

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "support/temp_dir.hpp"

namespace quarnex::testing {

TempDir::TempDir() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (unsigned attempt = 0; attempt < 1000 && path_.empty(); ++attempt) {
        const std::filesystem::path folder =
            base / ("quarnex-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(::GetTickCount64() % 100000) + "-" + std::to_string(attempt));
        if (::CreateDirectoryW(folder.wstring().c_str(), nullptr)) {
            path_ = folder.string();
        }
    }
    if (path_.empty()) {
        throw std::runtime_error("cannot create a scratch folder");
    }
}

std::uint64_t AllocatedBytes(const std::string& path) {
    const HANDLE file = ::CreateFileW(std::filesystem::path(path).wstring().c_str(), 0,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILE_STANDARD_INFO info{};
    const bool known = file != INVALID_HANDLE_VALUE &&
                       ::GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
    }
    return known ? static_cast<std::uint64_t>(info.AllocationSize.QuadPart) : 0;
}

int RunCommand(const std::string& command, std::string* output) {
    std::FILE* pipe = ::_popen((command + " 2>&1").c_str(), "r");
    std::string ignored;
    std::string& out = output != nullptr ? *output : ignored;
    char chunk[4096];
    for (std::size_t n = 0;
         pipe != nullptr && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        out.append(chunk, n);
    }
    return pipe != nullptr ? ::_pclose(pipe) : -1;
}

}  // namespace quarnex::testing
