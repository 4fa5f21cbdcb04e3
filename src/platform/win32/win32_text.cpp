#include "platform/win32/win32_text.hpp"

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace quarnex {

namespace {

// Both ways: a system code to the program's number, and (the first row of a
// number) back to the code whose text explains it.
constexpr std::array<std::pair<DWORD, int>, 22> kErrors{{
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_PRIVILEGE_NOT_HELD, EPERM},
    {ERROR_LOCK_VIOLATION, EWOULDBLOCK},
    {ERROR_FILE_EXISTS, EEXIST},
    {ERROR_ALREADY_EXISTS, EEXIST},
    {ERROR_DISK_FULL, ENOSPC},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_INVALID_PARAMETER, EINVAL},
    {ERROR_INVALID_HANDLE, EBADF},
    {ERROR_NOT_SUPPORTED, ENOTSUP},
    {ERROR_BUSY, EBUSY},
    {ERROR_SHARING_VIOLATION, EBUSY},
    {ERROR_FILE_TOO_LARGE, EFBIG},
    {ERROR_IO_DEVICE, EIO},
    {ERROR_CRC, EIO},
    {336, EISDIR},  // ERROR_DIRECTORY_NOT_SUPPORTED, which the headers lack
    {ERROR_DIRECTORY, ENOTDIR},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_BAD_UNIT, ENODEV},
}};

}  // namespace

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int count = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), count);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int count =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(count), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), count, nullptr, nullptr);
    return utf8;
}

std::wstring WidePath(const std::string& path) {
    std::wstring wide = Widen(path);
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    const bool prefixed = wide.rfind(L"\\\\?\\", 0) == 0 || wide.rfind(L"\\\\.\\", 0) == 0;
    if (prefixed) {
        return wide;
    }
    if (wide.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + wide.substr(2);  // a share: \\server\name
    }
    const bool drive = wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\';
    return drive ? L"\\\\?\\" + wide : wide;
}

int ErrnoFromWin32(DWORD code) {
    for (const auto& [system, number] : kErrors) {
        if (system == code) {
            return number;
        }
    }
    return kWin32ErrorBase + static_cast<int>(code);
}

DWORD Win32FromErrno(int code) {
    if (code >= kWin32ErrorBase) {
        return static_cast<DWORD>(code - kWin32ErrorBase);
    }
    for (const auto& [system, number] : kErrors) {
        if (number == code) {
            return system;
        }
    }
    return 0;
}

std::string SystemErrorText(int code) {
    const DWORD system = Win32FromErrno(code);
    if (system == 0) {
        return std::strerror(code);  // a number of the program's own, no system code
    }
    std::array<wchar_t, 512> buffer{};
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         system, 0, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
    std::wstring text(buffer.data(), length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) {
        text.pop_back();
    }
    return Narrow(text);
}

}  // namespace quarnex
