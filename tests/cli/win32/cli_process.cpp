// Runs of quarnex-cli on Windows: started directly, its standard streams on
// files; and copies of the master store that write only its data.

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <utility>

#include "cli/cli_runner.hpp"

namespace quarnex::testing {

namespace {

std::wstring Wide(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

// As CommandLineToArgvW takes it apart: backslashes are literal except
// before a quote, where they are doubled and the quote escaped.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'"') {
            quoted.append(backslashes + 1, L'\\');
        }
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        quoted += c;
    }
    return quoted.append(backslashes, L'\\') + L"\"";
}

HANDLE InheritedFile(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                      write ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open " + path);
    }
    return file;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const CliOptions& options) {
    if (options.asNobody || options.onTerminal) {
        throw std::logic_error("no other user and no pseudo-terminal on Windows");
    }
    std::wstring line = Quoted(Wide(QUARNEX_CLI_BINARY));
    for (const std::string& arg : args) {
        line += L" " + Quoted(Wide(arg));
    }
    WriteFileText(files_ / "in", options.input);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = InheritedFile(files_ / "in", false);
    start.hStdOutput = InheritedFile(files_ / "out", true);
    start.hStdError = InheritedFile(files_ / "err", true);
    PROCESS_INFORMATION started{};
    // A process group of its own, which Ctrl-Break can be sent to.
    const bool ok = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                     CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &start, &started);
    for (const HANDLE file : {start.hStdInput, start.hStdOutput, start.hStdError}) {
        ::CloseHandle(file);
    }
    if (!ok) {
        throw std::runtime_error("cannot start quarnex-cli: error " +
                                 std::to_string(::GetLastError()));
    }
    ::CloseHandle(started.hThread);
    process_ = reinterpret_cast<std::intptr_t>(started.hProcess);
}

CliProcess::~CliProcess() {
    if (process_ != 0) {
        ::TerminateProcess(reinterpret_cast<HANDLE>(process_), 137);
        Wait();
    }
}

void CliProcess::Interrupt() {
    ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT,
                               ::GetProcessId(reinterpret_cast<HANDLE>(process_)));
}

CliResult CliProcess::Wait() {
    const HANDLE process = reinterpret_cast<HANDLE>(std::exchange(process_, 0));
    DWORD code = 0;
    ::WaitForSingleObject(process, INFINITE);
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    // Line ends aside, the program writes what it writes on POSIX.
    const std::regex crlf("\r\n");
    return {static_cast<int>(code), std::regex_replace(ReadFileText(files_ / "out"), crlf, "\n"),
            std::regex_replace(ReadFileText(files_ / "err"), crlf, "\n")};
}

std::string CopyOfMasterStore(const TempDir& dir, const std::string& name) {
    // The master's blocks that hold more than zeros, read once: a copy writes
    // these few megabytes, not 1.5 GB each time.
    static const std::vector<std::pair<std::streamoff, std::vector<char>>> data = [] {
        std::vector<std::pair<std::streamoff, std::vector<char>>> blocks;
        std::ifstream in(MasterStore(), std::ios::binary);
        std::vector<char> block(64 * 1024);
        for (std::streamoff at = 0; in.read(block.data(), std::ssize(block));
             at += std::ssize(block)) {
            if (std::ranges::any_of(block, [](char c) { return c != 0; })) {
                blocks.emplace_back(at, block);
            }
        }
        return blocks;
    }();
    const std::string copy = dir / name;
    std::ofstream out(copy, std::ios::binary | std::ios::trunc);
    for (const auto& [at, block] : data) {
        out.seekp(at).write(block.data(), std::ssize(block));
    }
    out.close();
    if (!out) {
        throw std::runtime_error("cannot copy the master store to " + copy);
    }
    std::filesystem::resize_file(copy, FileSize(MasterStore()));
    return copy;
}

}  // namespace quarnex::testing
