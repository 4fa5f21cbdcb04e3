#include "platform/win32/win32_terminal.hpp"

#include <windows.h>

namespace quarnex {

namespace {

HANDLE StreamHandle(StandardStream stream) {
    switch (stream) {
        case StandardStream::Input:
            return ::GetStdHandle(STD_INPUT_HANDLE);
        case StandardStream::Output:
            return ::GetStdHandle(STD_OUTPUT_HANDLE);
        case StandardStream::Error:
            break;
    }
    return ::GetStdHandle(STD_ERROR_HANDLE);
}

}  // namespace

Win32Terminal::Win32Terminal(Win32InterruptWatch* watch) : watch_(watch) {
    // The program's texts are UTF-8; the console shows them so.
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
}

bool Win32Terminal::IsTerminal(StandardStream stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(StreamHandle(stream), &mode) != 0;
}

std::optional<std::size_t> Win32Terminal::Columns(StandardStream stream) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(StreamHandle(stream), &info)) {
        return std::nullopt;
    }
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? std::optional<std::size_t>(columns) : std::nullopt;
}

std::optional<std::string> Win32Terminal::ReadAnswerLine() {
    std::string line;
    for (;;) {
        char c = 0;
        DWORD read = 0;
        // Ctrl-C ends a console read early; the watch tells it from an answer.
        const bool got = ::ReadFile(StreamHandle(StandardStream::Input), &c, 1, &read, nullptr);
        if (watch_ != nullptr && watch_->Poll()) {
            return std::nullopt;
        }
        if (!got || read == 0) {
            return std::nullopt;
        }
        if (c == '\n') {
            return line;
        }
        if (c != '\r') {
            line += c;
        }
    }
}

}  // namespace quarnex
