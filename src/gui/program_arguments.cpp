#include "gui/program_arguments.hpp"

namespace quarnex {

ProgramArguments ParseProgramArguments(const std::vector<std::string>& args) {
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    std::string unknown;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (unknown.empty()) {
            unknown = arg;
        }
    }
    ProgramArguments parsed;
    if (help || version) {
        parsed.action = help ? ProgramArguments::Action::Help : ProgramArguments::Action::Version;
    } else if (!unknown.empty()) {
        parsed.action = ProgramArguments::Action::Wrong;
        parsed.problem = "unknown option " + unknown;
    } else if (files.size() > 1) {
        parsed.action = ProgramArguments::Action::Wrong;
        parsed.problem = "one FILE at most, not " + std::to_string(files.size());
    } else if (files.size() == 1) {
        parsed.file = files.front();
    }
    return parsed;
}

std::string ProgramUsage() {
    return "Usage: quarnex [FILE]\n"
           "Manage USB sticks that hold 1000 floppy disk images.\n"
           "\n"
           "FILE, when given, is opened in the window:\n"
           "  a whole-store image file (1,572,864,000 bytes) as the selected store,\n"
           "  a floppy image file (1,474,560 bytes) into the internal image.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "\n"
           "Qt's options for the display (such as -platform) are accepted as well.\n";
}

std::string ProgramVersion() {
    return std::string("quarnex ") + QUARNEX_VERSION;
}

}  // namespace quarnex
