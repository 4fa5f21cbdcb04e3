#include "state/store_lock.hpp"

#include <cerrno>

#include "state/progress.hpp"

namespace quarnex {

namespace {
constexpr double kPollSeconds = 0.1;
}  // namespace

std::unique_ptr<StoreLock> LockStore(OperationPorts& ports, const std::string& path, LockKind kind,
                                     const LockWait& wait) {
    const double start = ports.clock.SecondsSinceMidnight();
    bool said = false;
    for (;;) {
        LockResult result = ports.devices.TryLock(path, kind);
        if (result.lock) {
            return std::move(result.lock);
        }
        if (result.error != EWOULDBLOCK) {
            wait.say("cannot lock " + path + ": " + ports.devices.ErrorText(result.error) +
                     "; refused");
            return nullptr;
        }
        if (!said) {
            // A reader waits only for writers; a writer for anyone.
            wait.say(std::string("waiting for another program that is ") +
                     (kind == LockKind::Exclusive ? "reading or writing " : "writing ") + path);
            said = true;
        }
        if (ElapsedSince(ports.clock, start) >= wait.limitSeconds) {
            wait.say(path + " is still in use by another program; refused");
            return nullptr;
        }
        if (wait.stop && wait.stop()) {
            return nullptr;
        }
        ports.clock.Sleep(kPollSeconds);
    }
}

}  // namespace quarnex
