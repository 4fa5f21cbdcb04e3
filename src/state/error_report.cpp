#include "state/error_report.hpp"

#include <utility>

namespace quarnex {

std::string GetErrorText(OperationPorts& ports, int systemError) {
    std::string text = ports.devices.ErrorText(systemError);
    return text.empty() ? "Unknown Error." : text;
}

std::string ErrorWords(OperationPorts& ports, const ErrorRecord& error) {
    return error.cause.empty() ? GetErrorText(ports, error.systemError) : error.cause;
}

ErrorRecord SystemCallError(int systemError, std::string source, std::string doing,
                            std::string target) {
    return ErrorRecord{.source = std::move(source),
                       .systemError = systemError,
                       .doing = std::move(doing),
                       .target = std::move(target)};
}

void ErrorReport(OperationPorts& ports, ErrorRecord error) {
    if (error.systemText.empty()) {
        error.systemText = GetErrorText(ports, error.systemError);
    }
    error.systemCode = ports.devices.SystemCode(error.systemError);
    ports.messages.ShowError(error);
}

}  // namespace quarnex
