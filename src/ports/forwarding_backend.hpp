#pragma once
// Wrappers around another device backend or file that change one or two
// steps (counting reads, injecting faults) derive from these and override
// only those; everything else passes through unchanged.

#include <memory>
#include <string>
#include <utility>

#include "ports/device_backend.hpp"

namespace quarnex {

class ForwardingBackend : public DeviceBackend {
  public:
    explicit ForwardingBackend(DeviceBackend& inner) : inner_(inner) {}
    explicit ForwardingBackend(std::unique_ptr<DeviceBackend> inner)
        : owned_(std::move(inner)), inner_(*owned_) {}

    OpenResult Open(const std::string& path, Access access, Disposition disposition) override {
        return inner_.Open(path, access, disposition);
    }
    LengthResult FileLength(const std::string& path) override { return inner_.FileLength(path); }
    bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
    OutputCheck ExamineOutput(const std::string& path) override {
        return inner_.ExamineOutput(path);
    }
    std::string ErrorText(int code) override { return inner_.ErrorText(code); }
    int SystemCode(int code) override { return inner_.SystemCode(code); }
    LockResult TryLock(const std::string& path, LockKind kind) override {
        return inner_.TryLock(path, kind);
    }
    StoreOverlap Overlap(const std::string& path, const std::string& storePath) override {
        return inner_.Overlap(path, storePath);
    }

  protected:
    DeviceBackend& Inner() { return inner_; }

  private:
    std::unique_ptr<DeviceBackend> owned_;  // empty when the inner backend is borrowed
    DeviceBackend& inner_;
};

class ForwardingFile : public DeviceFile {
  public:
    explicit ForwardingFile(std::unique_ptr<DeviceFile> inner) : inner_(std::move(inner)) {}

    int Seek(std::uint64_t position) override { return inner_->Seek(position); }
    IoResult Read(std::byte* destination, std::size_t count) override {
        return inner_->Read(destination, count);
    }
    IoResult Write(const std::byte* source, std::size_t count) override {
        return inner_->Write(source, count);
    }
    int Flush() override { return inner_->Flush(); }
    int ForgetCached(std::uint64_t offset, std::uint64_t length) override {
        return inner_->ForgetCached(offset, length);
    }
    int Commit() override { return inner_->Commit(); }
    int Dismount() override { return inner_->Dismount(); }
    bool HasFloppyGeometry() override { return inner_->HasFloppyGeometry(); }
    const std::string& Path() const override { return inner_->Path(); }

  private:
    std::unique_ptr<DeviceFile> inner_;
};

}  // namespace quarnex
