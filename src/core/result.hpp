#pragma once
// How a step that can fail hands back its value or what went wrong: one type
// across the layers, so that a caller always has the whole story of a failure
// and the error report's text is made only where it is shown.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace quarnex {

// Everything known about one failure. The error report shows it in one of two
// forms: a failed system call (source, the system's text, what was being
// done) or an error a procedure caught (the catcher's tag before the source,
// then the program's own words or the system's text).
struct ErrorRecord {
    std::string source{};      // the failing step's tag, e.g. "GetHandle"
    int systemError = 0;       // the system's error number (errno on Linux)
    std::string systemText{};  // the system's words for it; filled in where it is shown
    // The system's own number for it, filled in with the words (on Windows
    // the code that GetLastError gave, where systemError is its errno).
    std::optional<int> systemCode{};
    std::string doing{};   // what was being attempted, in the program's words
    std::string cause{};   // the program's own words for a fault it found itself
    std::string target{};  // the path or device the step worked on
    // Set when a procedure caught the error: its tag, shown before the source
    // (it may be empty: the source alone then names the step).
    std::optional<std::string> caughtBy{};

    bool operator==(const ErrorRecord&) const = default;
};

// A failure as a procedure catches it: the record keeps its details and gains
// the catcher's tag.
inline ErrorRecord CaughtBy(ErrorRecord error, std::string tag) {
    error.caughtBy = std::move(tag);
    return error;
}

// Wraps an error record so that it converts into any Result.
struct Failure {
    ErrorRecord error;
};

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : content_(std::move(value)) {}                  // NOLINT: a value is a success
    Result(Failure failure) : content_(std::move(failure.error)) {}  // NOLINT

    bool Ok() const { return std::holds_alternative<T>(content_); }
    explicit operator bool() const { return Ok(); }

    T& Value() & { return std::get<T>(content_); }
    const T& Value() const& { return std::get<T>(content_); }
    T&& Value() && { return std::get<T>(std::move(content_)); }
    const ErrorRecord& Error() const { return std::get<ErrorRecord>(content_); }

  private:
    std::variant<T, ErrorRecord> content_;
};

// A step that yields nothing but success or a failure.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : error_(std::move(failure.error)) {}  // NOLINT

    bool Ok() const { return !error_.has_value(); }
    explicit operator bool() const { return Ok(); }
    const ErrorRecord& Error() const { return *error_; }

  private:
    std::optional<ErrorRecord> error_;
};

using Status = Result<void>;

}  // namespace quarnex
