#include "scan/admin_rights.hpp"

#include "state/reported_io.hpp"

namespace quarnex {

bool ProbeAdminRights(OperationPorts& ports) {
    // Where a service grants each device on request, asking the user, the
    // rights are there by construction; the advisory would only mislead.
    if (ports.drives.AccessThroughService()) {
        return true;
    }
    for (const std::string& path : ports.drives.RightsProbePaths()) {
        if (GetHandle(ports, path, Access::Read, Disposition::OpenExisting, Reporting::Quiet)) {
            return true;
        }
    }
    return false;
}

std::string MissingRightsAdvice(OperationPorts& ports) {
    std::string advice = ports.drives.RightsAdvice();
    return advice.empty() || ProbeAdminRights(ports) ? std::string() : advice;
}

int CheckAdminRights(OperationPorts& ports) {
    if (ProbeAdminRights(ports)) {
        return 1;
    }
    // Continue is the only answer that goes on; anything else (Exit, or the
    // window closed some other way) ends the program.
    return ports.messages.AskAdvisory() == 0 ? 0 : -1;
}

}  // namespace quarnex
