#pragma once
// Wraps a real backend and makes chosen operations fail, come up short or
// call back, so that every failure and cancel path can be driven from a test.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ports/forwarding_backend.hpp"

namespace quarnex::testing {

enum class FaultOp { Open, Seek, Read, Write, Flush, Dismount };

struct Fault {
    FaultOp op = FaultOp::Read;
    int nth = 1;               // 1-based among the matching operations; 0 = every one
    std::string pathContains;  // empty matches every path
    int error = EIO;           // the system error the operation fails with
    std::size_t shortBy = 0;   // with error 0: move this many bytes fewer
    bool dropped = false;      // with error 0: says every byte was written, writes none
    // Not 0: a fake-capacity stick, on whose files (nth ignored) transfers at
    // or past wrapsAt bytes land at their position modulo wrapsAt.
    std::uint64_t wrapsAt = 0;
};

struct OpRecord {
    FaultOp op;
    std::string path;
};

class FaultInjectingBackend final : public ForwardingBackend {
  public:
    explicit FaultInjectingBackend(DeviceBackend& inner) : ForwardingBackend(inner) {}

    void Inject(Fault fault);
    // Runs callback right after the nth matching operation (0 = after every
    // one) has completed; the count passed is that operation's number.
    void After(FaultOp op, int nth, std::function<void(int)> callback,
               std::string pathContains = {});
    // From the kth matching write on, writes are dropped and flushes succeed
    // without reaching the medium: the medium stays as a kill right after
    // write k-1 would leave it, while the operation runs on.
    void StopAtWrite(int k, std::string pathContains = {});

    // The wrap capacity of path's files (0: none).
    std::uint64_t WrapFor(const std::string& path) const;

    // Number of operations of that kind so far (matching the path filter).
    int Count(FaultOp op, const std::string& pathContains = {}) const;
    // Files opened through this backend and not yet closed.
    int OpenHandles() const { return openHandles_; }
    const std::vector<OpRecord>& Log() const { return log_; }

    OpenResult Open(const std::string& path, Access access, Disposition disposition) override;
    // Used by the wrapped files.
    bool Stopped(FaultOp op, const std::string& path);
    const Fault* Decide(FaultOp op, const std::string& path);
    void Completed(FaultOp op, const std::string& path);
    void Closed() { --openHandles_; }

  private:
    struct Rule {  // a fault, or when to run a callback
        Fault fault;
        std::function<void(int)> run;
        int seen = 0;
    };

    std::vector<Rule> rules_;
    std::vector<Rule> callbacks_;
    std::vector<OpRecord> log_;
    int openHandles_ = 0;
    int stopAtWrite_ = 0;  // 0: no stop
    std::string stopPath_;
    std::uint64_t wrapCapacity_ = 0;  // 0: no wrap
    std::string wrapPath_;
    bool stopped_ = false;
};

}  // namespace quarnex::testing
