#include "platform/win32/win32_program_paths.hpp"

#include <windows.h>

#include "platform/win32/win32_handle.hpp"
#include "platform/win32/win32_text.hpp"

namespace quarnex {

namespace {

// Whether a file can be made in folder (a folder under Program Files cannot,
// for an ordinary user, whatever its attributes say).
bool WritableFolder(const std::string& folder) {
    const std::string probe = folder + "\\.quarnex-write-test";
    OwnedHandle handle(::CreateFileW(WidePath(probe).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return handle.Valid();
}

std::string Environment(const wchar_t* name) {
    std::wstring value(32767, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), 32767);
    value.resize(length < 32767 ? length : 0);
    return Narrow(value);
}

std::string FolderOf(const std::string& file) {
    const std::size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

}  // namespace

std::string ChooseWin32PlacementFile(const std::string& programFolder, bool besideWritable,
                                     const std::string& appData) {
    if (besideWritable || appData.empty()) {
        return programFolder + "QuarnCfg\\Quarn.cfg";
    }
    return appData + (appData.back() == '\\' ? "" : "\\") + "Quarnex\\Quarn.cfg";
}

std::string Win32ProgramPaths::RunningExecutable() const {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            return Narrow(name);
        }
        name.resize(name.size() * 2);
    }
}

std::string Win32ProgramPaths::DataFolder() const {
    return FolderOf(RunningExecutable());
}

std::string Win32ProgramPaths::PlacementFile() const {
    const std::string folder = FolderOf(RunningExecutable());
    const bool beside = !folder.empty() && WritableFolder(folder + "QuarnCfg");
    const std::string file = ChooseWin32PlacementFile(folder, beside, Environment(L"APPDATA"));
    if (!beside) {
        // A failure to make the folder shows when the file is saved.
        ::CreateDirectoryW(WidePath(FolderOf(file)).c_str(), nullptr);
    }
    return file;
}

}  // namespace quarnex
