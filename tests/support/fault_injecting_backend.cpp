#include "support/fault_injecting_backend.hpp"

#include <algorithm>
#include <memory>

namespace quarnex::testing {

namespace {

bool Matches(const std::string& path, const std::string& filter) {
    return filter.empty() || path.find(filter) != std::string::npos;
}

class FaultyFile final : public DeviceFile {
  public:
    FaultyFile(std::unique_ptr<DeviceFile> inner, FaultInjectingBackend& backend)
        : inner_(std::move(inner)), backend_(backend) {}
    ~FaultyFile() override { backend_.Closed(); }

    int Seek(std::uint64_t position) override {
        const int error = Simple(FaultOp::Seek, [&] { return inner_->Seek(position); });
        if (error == 0) {
            position_ = position;
        }
        return error;
    }

    IoResult Read(std::byte* destination, std::size_t count) override {
        return Transfer(FaultOp::Read, count, [&](std::size_t n) {
            return Placed([&] { return inner_->Read(destination, n); });
        });
    }

    IoResult Write(const std::byte* source, std::size_t count) override {
        return Transfer(FaultOp::Write, count, [&](std::size_t n) {
            return Placed([&] { return inner_->Write(source, n); });
        });
    }
    int ForgetCached(std::uint64_t offset, std::uint64_t length) override {
        return inner_->ForgetCached(offset, length);
    }

    int Flush() override {
        return Simple(FaultOp::Flush, [&] { return inner_->Flush(); });
    }
    // A commit is the last flush; stopped, the replacement never happens.
    int Commit() override {
        return Simple(FaultOp::Flush, [&] { return inner_->Commit(); });
    }
    int Dismount() override {
        return Simple(FaultOp::Dismount, [&] { return inner_->Dismount(); });
    }
    bool HasFloppyGeometry() override { return inner_->HasFloppyGeometry(); }
    const std::string& Path() const override { return inner_->Path(); }

  private:
    // A transfer at position_, which on a wrapping stick lands modulo its
    // capacity (the tests wrap at a slot, which no transfer straddles).
    template <typename Move>
    IoResult Placed(Move move) {
        const std::uint64_t capacity = backend_.WrapFor(Path());
        if (const int error = capacity == 0 ? 0 : inner_->Seek(position_ % capacity); error != 0) {
            return IoResult{0, error};
        }
        const IoResult result = move();
        position_ += result.bytes;
        return result;
    }

    template <typename Move>
    IoResult Transfer(FaultOp op, std::size_t count, Move move) {
        if (const Fault* fault = backend_.Decide(op, Path())) {
            if (fault->error != 0) {
                return IoResult{0, fault->error};
            }
            if (fault->dropped) {
                position_ += count;
                inner_->Seek(position_);
                return IoResult{count, 0};
            }
            const std::size_t shortened = fault->shortBy >= count ? 0 : count - fault->shortBy;
            return move(shortened);
        }
        if (backend_.Stopped(op, Path())) {
            return IoResult{count, 0};
        }
        const IoResult result = move(count);
        backend_.Completed(op, Path());
        return result;
    }

    template <typename Call>
    int Simple(FaultOp op, Call call) {
        if (const Fault* fault = backend_.Decide(op, Path())) {
            return fault->error;
        }
        if (backend_.Stopped(op, Path())) {
            return 0;
        }
        const int error = call();
        backend_.Completed(op, Path());
        return error;
    }

    std::unique_ptr<DeviceFile> inner_;
    FaultInjectingBackend& backend_;
    std::uint64_t position_ = 0;
};

}  // namespace

void FaultInjectingBackend::Inject(Fault fault) {
    if (fault.wrapsAt != 0) {
        wrapCapacity_ = fault.wrapsAt;
        wrapPath_ = std::move(fault.pathContains);
        return;
    }
    rules_.push_back(Rule{std::move(fault), {}});
}

void FaultInjectingBackend::After(FaultOp op, int nth, std::function<void(int)> callback,
                                  std::string pathContains) {
    callbacks_.push_back(Rule{Fault{op, nth, std::move(pathContains)}, std::move(callback)});
}

int FaultInjectingBackend::Count(FaultOp op, const std::string& pathContains) const {
    return static_cast<int>(std::ranges::count_if(
        log_, [&](const OpRecord& r) { return r.op == op && Matches(r.path, pathContains); }));
}

void FaultInjectingBackend::StopAtWrite(int k, std::string pathContains) {
    stopAtWrite_ = k;
    stopPath_ = std::move(pathContains);
}

std::uint64_t FaultInjectingBackend::WrapFor(const std::string& path) const {
    return Matches(path, wrapPath_) ? wrapCapacity_ : 0;
}

bool FaultInjectingBackend::Stopped(FaultOp op, const std::string& path) {
    if (stopAtWrite_ == 0 || !Matches(path, stopPath_)) {
        return false;
    }
    if (op == FaultOp::Write && Count(FaultOp::Write, stopPath_) >= stopAtWrite_) {
        stopped_ = true;
    }
    return stopped_ && (op == FaultOp::Write || op == FaultOp::Flush);
}

const Fault* FaultInjectingBackend::Decide(FaultOp op, const std::string& path) {
    log_.push_back(OpRecord{op, path});
    const Fault* chosen = nullptr;
    for (Rule& rule : rules_) {
        if (rule.fault.op != op || !Matches(path, rule.fault.pathContains)) {
            continue;
        }
        ++rule.seen;
        if (chosen == nullptr && (rule.fault.nth == 0 || rule.seen == rule.fault.nth)) {
            chosen = &rule.fault;
        }
    }
    return chosen;
}

void FaultInjectingBackend::Completed(FaultOp op, const std::string& path) {
    for (Rule& callback : callbacks_) {
        if (callback.fault.op != op || !Matches(path, callback.fault.pathContains)) {
            continue;
        }
        ++callback.seen;
        if (callback.fault.nth == 0 || callback.seen == callback.fault.nth) {
            callback.run(callback.seen);
        }
    }
}

OpenResult FaultInjectingBackend::Open(const std::string& path, Access access,
                                       Disposition disposition) {
    if (const Fault* fault = Decide(FaultOp::Open, path)) {
        return OpenResult{nullptr, fault->error};
    }
    OpenResult opened = Inner().Open(path, access, disposition);
    if (opened.file == nullptr) {
        return opened;
    }
    ++openHandles_;
    Completed(FaultOp::Open, path);
    return OpenResult{std::make_unique<FaultyFile>(std::move(opened.file), *this), 0};
}

}  // namespace quarnex::testing
