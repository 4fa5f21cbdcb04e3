#pragma once
// Runs the built quarnex-cli as a user would: arguments, standard input that
// is not a terminal (or a pseudo-terminal through script(1)), captured
// output, the exit code. And the stores the runs work on: one formatted by
// the tool, fresh sparse copies of it, and the looks into stores and outputs.

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace quarnex::testing {

struct CliResult {
    int exitCode = -1;  // 128 + signal when it was killed
    std::string out;
    std::string err;
};

struct CliOptions {
    std::string input;        // fed to standard input (a file, not a terminal)
    bool asNobody = false;    // run without root's rights (setpriv)
    bool onTerminal = false;  // stdin and stderr on a pseudo-terminal (script)
};

inline const CliOptions kAsNobody{"", true, false};
inline const CliOptions kOnTerminal{"", false, true};

CliResult RunCli(const std::vector<std::string>& args, const CliOptions& options = {});
// A run that must succeed.
CliResult RunOk(const std::vector<std::string>& args, const CliOptions& options = {});
// Every "|"-separated part of parts is in text.
void ExpectParts(const std::string& text, const std::string& parts);
// A run that must end with code and show the parts of err on stderr and of
// out on stdout; a failed run with no out given must print nothing there.
CliResult ExpectRun(const std::vector<std::string>& args, int code, const std::string& err,
                    const std::string& out = "", const CliOptions& options = {});
// The words of line, split at spaces; a word that is a key of names stands for its value.
std::vector<std::string> Words(const std::string& line,
                               const std::map<std::string, std::string>& names);

// A run that the test can interrupt.
class CliProcess {
  public:
    explicit CliProcess(const std::vector<std::string>& args, const CliOptions& options = {});
    ~CliProcess();
    void Interrupt();  // Ctrl-C
    CliResult Wait();

  private:
    TempDir files_;              // stdin, stdout and stderr of the run
    std::intptr_t process_ = 0;  // the system's id or handle of the run; 0 once waited for
};

// The store made by "create --id mystick --base fdisk". Tests only copy it,
// sparse, in the system's own fast way.
const std::string& MasterStore();
std::string CopyOfMasterStore(const TempDir& dir, const std::string& name);
// The two files hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b);

std::vector<unsigned char> SlotImage(const std::string& store, int slot);
// DISKS.TXT inside slot 0 of a store, "<unreadable>" when it cannot be read.
std::string DisksTxt(const std::string& store);
// "list --json" of a store, which must succeed.
nlohmann::json ListJson(const std::string& store);

bool Contains(const std::string& text, const std::string& part);
std::uint64_t FileSizeOrZero(const std::string& path);

// A 1.44 MB image with a recognisable pattern and the given volume label.
std::vector<unsigned char> PatternImage(unsigned seed, const std::string& label);

}  // namespace quarnex::testing
