#include "state/error_report.hpp"

#include <utility>

namespace quarnex {

std::string GetErrorText(Context& ctx, int systemError) {
    std::string text = ctx.devices.ErrorText(systemError);
    return text.empty() ? "Unknown Error." : text;
}

std::string ErrorWords(Context& ctx, const ErrorRecord& error) {
    return error.cause.empty() ? GetErrorText(ctx, error.systemError) : error.cause;
}

ErrorRecord SystemCallError(int systemError, std::string source, std::string doing,
                            std::string target) {
    return ErrorRecord{.source = std::move(source),
                       .systemError = systemError,
                       .doing = std::move(doing),
                       .target = std::move(target)};
}

void ErrorReport(Context& ctx, ErrorRecord error) {
    if (error.systemText.empty()) {
        error.systemText = GetErrorText(ctx, error.systemError);
    }
    ctx.ui.ShowError(error);
}

}  // namespace quarnex
