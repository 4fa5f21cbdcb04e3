#pragma once
// What the program keeps as UTF-8 with "/" or "\" separators, as the wide
// calls of Windows want it, and the other way; and the program's error
// numbers, which are errno values on every system, mapped to and from the
// system's own codes so that each keeps its meaning and its text.

#include <windows.h>

#include <string>

namespace quarnex {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// A path for CreateFileW and friends: "\" separators, and the long-path
// prefix "\\?\" on absolute paths so that no 260-character limit applies.
// Device paths ("\\.\PhysicalDrive1") and relative paths keep their form.
std::wstring WidePath(const std::string& path);

// Codes without an errno of the same meaning are kept apart from errno values
// above this base, so that ErrorText still finds the system's text.
inline constexpr int kWin32ErrorBase = 0x10000;

// The program's error number for a system error code (GetLastError()).
int ErrnoFromWin32(DWORD code);
inline int LastError() {
    return ErrnoFromWin32(::GetLastError());
}
// The system code a program error number stands for (the first of several
// with one meaning); 0 for a number of the program's own without one.
DWORD Win32FromErrno(int code);
// The system's text for a program error number (FormatMessageW), in UTF-8,
// without its line end; empty when the system has none.
std::string SystemErrorText(int code);

}  // namespace quarnex
