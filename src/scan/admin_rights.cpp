#include "scan/admin_rights.hpp"

#include "state/reported_io.hpp"

namespace quarnex {

bool ProbeAdminRights(Context& ctx) {
    // Where a service grants each device on request, asking the user, the
    // rights are there by construction; the advisory would only mislead.
    if (ctx.drives.AccessThroughService()) {
        return true;
    }
    for (const std::string& path : ctx.drives.RightsProbePaths()) {
        DevHandle probe =
            GetHandle(ctx, path, Access::Read, Disposition::OpenExisting, Reporting::Quiet);
        if (probe.Valid()) {
            CloseDevHandle(ctx, probe);
            return true;
        }
    }
    return false;
}

int CheckAdminRights(Context& ctx) {
    if (ProbeAdminRights(ctx)) {
        return 1;
    }
    // Continue is the only answer that goes on; anything else (Exit, or the
    // window closed some other way) ends the program.
    return ctx.ui.AskAdvisory() == 0 ? 0 : -1;
}

}  // namespace quarnex
