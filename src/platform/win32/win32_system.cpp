#include "platform/win32/win32_system.hpp"

#include <windows.h>

#include "platform/win32/win32_program_paths.hpp"
#include "platform/win32/win32_text.hpp"

namespace quarnex {

namespace {

std::string Folder(UINT (*call)(LPWSTR, UINT)) {
    std::wstring folder(MAX_PATH, L'\0');
    const UINT length = call(folder.data(), MAX_PATH);
    folder.resize(length < MAX_PATH ? length : 0);
    return Narrow(folder);
}

MEMORYSTATUSEX Memory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ::GlobalMemoryStatusEx(&status);
    return status;
}

LocalDateTime FromSystemTime(const SYSTEMTIME& time) {
    return {time.wYear, time.wMonth,  time.wDay,
            time.wHour, time.wMinute, time.wSecond + time.wMilliseconds / 1000.0};
}

}  // namespace

std::string Win32SystemFacts::WindowsDirectory() const {
    return Folder(::GetWindowsDirectoryW);
}

std::string Win32SystemFacts::SystemDirectory() const {
    return Folder(::GetSystemDirectoryW);
}

std::string Win32SystemFacts::ExecutableName() const {
    return Win32ProgramPaths().RunningExecutable();
}

OsVersion Win32SystemFacts::Version() const {
    // The real version, which GetVersionEx hides from programs without a
    // manifest naming it.
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto call = reinterpret_cast<RtlGetVersion>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
    if (call == nullptr || call(&info) != 0) {
        return {};
    }
    return {"Windows", info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

int Win32SystemFacts::ProcessorType() const {
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    switch (info.wProcessorArchitecture) {
        case PROCESSOR_ARCHITECTURE_AMD64:
            return kProcessorAmd64;
        case PROCESSOR_ARCHITECTURE_INTEL:
            return kProcessorPentium;
        default:
            return kProcessorUnknown;
    }
}

int Win32SystemFacts::ProcessorCount() const {
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    return static_cast<int>(info.dwNumberOfProcessors);
}

std::uint64_t Win32SystemFacts::TotalPhysicalMemory() const {
    return Memory().ullTotalPhys;
}

std::uint64_t Win32SystemFacts::AvailablePhysicalMemory() const {
    return Memory().ullAvailPhys;
}

int Win32SystemFacts::KeyboardType() const {
    return ::GetKeyboardType(0);
}

int Win32SystemFacts::FunctionKeys() const {
    return ::GetKeyboardType(2);
}

double Win32Clock::SecondsSinceMidnight() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

LocalDateTime Win32Clock::Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return FromSystemTime(now);
}

LocalDateTime Win32Clock::Local(long long unixSeconds) {
    // FILETIME counts 100 ns steps since 1601.
    constexpr long long kFrom1601 = 11644473600LL;
    const auto ticks = static_cast<unsigned long long>((unixSeconds + kFrom1601) * 10000000LL);
    FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    ::FileTimeToSystemTime(&utc, &universal);
    ::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
    LocalDateTime result = FromSystemTime(local);
    result.second = local.wSecond;
    return result;
}

void Win32Clock::Sleep(double seconds) {
    if (seconds > 0) {
        ::Sleep(static_cast<DWORD>(seconds * 1000));
    }
}

}  // namespace quarnex
