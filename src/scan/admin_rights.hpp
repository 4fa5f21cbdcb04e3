#pragma once
// Whether the program may open raw devices, and what start-up does when it
// may not.

#include <string>

#include "state/operation_ports.hpp"

namespace quarnex {

// Opens the catalog's probe devices read-only, quietly, one after the other
// until one opens, and closes it again.
bool ProbeAdminRights(OperationPorts& ports);

// What the catalog tells a user whose rights do not reach raw devices, when
// the probe fails; empty when it succeeds or the system has nothing to say.
std::string MissingRightsAdvice(OperationPorts& ports);

// 1 when the probe succeeds; otherwise the user's answer to the advisory
// question: 0 to continue with limited functionality, -1 to exit.
int CheckAdminRights(OperationPorts& ports);

}  // namespace quarnex
