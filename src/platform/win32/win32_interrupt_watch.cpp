#include "platform/win32/win32_interrupt_watch.hpp"

#include <windows.h>

#include <atomic>

namespace quarnex {

namespace {

// The system calls the handler on a thread of its own with no context of
// ours, so the requests are counted where both can reach them.
std::atomic<unsigned>& Requests() {
    static std::atomic<unsigned> requests{0};
    return requests;
}

BOOL WINAPI CountRequest(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            Requests().fetch_add(1);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

Win32InterruptWatch::Win32InterruptWatch() {
    Requests().store(0);
    installed_ = ::SetConsoleCtrlHandler(CountRequest, TRUE) != 0;
}

bool Win32InterruptWatch::Poll() {
    return installed_ && Requests().exchange(0) != 0;
}

void Win32InterruptWatch::Release() {
    if (installed_) {
        ::SetConsoleCtrlHandler(CountRequest, FALSE);
        installed_ = false;
    }
}

}  // namespace quarnex
