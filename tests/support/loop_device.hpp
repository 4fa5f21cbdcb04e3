#pragma once
// A loop device over a file, for tests on a real block device. Where the
// machine cannot make one (not root, no loop support), Attach gives an empty
// path and the test skips itself.

#include <string>

namespace quarnex::testing {

class LoopDevice {
  public:
    explicit LoopDevice(const std::string& backingFile, int sectorBytes = 512);
    ~LoopDevice();
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;

    bool Attached() const { return !path_.empty(); }
    // "/dev/loopN"
    const std::string& Path() const { return path_; }
    // Why attaching failed, for the skip message.
    const std::string& Problem() const { return problem_; }

  private:
    std::string path_;
    std::string problem_;
};

}  // namespace quarnex::testing
