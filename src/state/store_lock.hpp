#pragma once
// The whole-store lock every writer holds for its whole operation, and every
// reader that needs one consistent view shares: a second writer waits for the
// first, bounded, and never runs beside it.

#include <functional>
#include <memory>
#include <string>

#include "state/operation_ports.hpp"

namespace quarnex {

struct LockWait {
    std::function<void(const std::string&)> say;  // one line for the user
    std::function<bool()> stop;                   // true: give up waiting (Ctrl-C)
    double limitSeconds = 60;
};

// The lock on path (exclusive for writing), or null after saying why not:
// still held by another program when the limit ran out, waiting stopped, or
// the store could not be opened to be locked.
std::unique_ptr<StoreLock> LockStore(OperationPorts& ports, const std::string& path, LockKind kind,
                                     const LockWait& wait);

}  // namespace quarnex
