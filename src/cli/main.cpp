// quarnex-cli: the store and image operations of Quarnex from the terminal.

#include <iostream>

#include "cli/arguments.hpp"
#include "cli/cli_world.hpp"
#include "cli/commands.hpp"

int main(int argc, char** argv) {
    using namespace quarnex::cli;
    Invocation invocation;
    if (const std::optional<int> ended = ParseArguments(argc, argv, invocation, std::cout,
                                                        std::cerr, quarnex::SystemDeviceNaming())) {
        return *ended;
    }
    CliWorld world(invocation.yes ? Confirmations::AssumeYes : Confirmations::Ask);
    if (!world.Ready()) {
        return kExitFailure;
    }
    const int code = RunCommand(world, invocation);
    std::cout.flush();
    return code;
}
