#pragma once
// Pieces the terminal tool's command-line definitions share across files.

#include <CLI/CLI.hpp>

#include "cli/arguments.hpp"

namespace quarnex::cli {

// An empty path would make the operations ask for a file with a dialog.
CLI::Validator NotEmpty();
// The writers read back from the medium what they wrote, unless told not to.
void AddNoVerify(CLI::App& command, Invocation& invocation);
// A subcommand that selects command when given.
CLI::App* AddCommand(CLI::App& app, const char* name, const char* description, Command command,
                     Invocation& invocation);

// files ls|get|put|rm|mkdir
void AddFilesCommands(CLI::App& app, Invocation& invocation);
// export STORE DIR, import DIR STORE
void AddFolderCommands(CLI::App& app, Invocation& invocation);

}  // namespace quarnex::cli
