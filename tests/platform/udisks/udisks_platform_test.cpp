// The udisks2 platform against a stand-in service: what the catalog tells of
// a stick, and the store lock, which lives on the descriptor the service
// hands over. The terminal tool's test runs the rest (the scan, which needs
// the drive type).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/posix/posix_device_backend.hpp"
#include "platform/udisks/udisks_device_backend.hpp"
#include "platform/udisks/udisks_drive_catalog.hpp"
#include "support/udisks_standin.hpp"

namespace quarnex::testing {
namespace {

TEST(UdisksPlatform, DescribesTheStickAndLocksTheDescriptorItHandsOver) {
    if (const std::string missing = UdisksStandIn::Missing(); !missing.empty()) {
        GTEST_SKIP() << "no stand-in udisks2 service: " << missing;
    }
    TempDir dir;
    WriteFileBytes(dir / "stick", std::vector<unsigned char>(4096, 0));
    UdisksStandIn service({{"sdq", dir / "stick", "", dir.Path()}});
    std::shared_ptr<UdisksClient> client = UdisksClient::Connect();
    ASSERT_NE(client, nullptr);
    UdisksDriveCatalog drives(client);
    UdisksDeviceBackend devices(client, std::make_unique<PosixDeviceBackend>());

    const DriveDetails details = drives.Details("sdq");
    EXPECT_EQ(details.vendorModel + " " + std::to_string(details.sizeBytes), "Acme Stick sdq 4096");
    EXPECT_EQ(drives.MountPoints("/dev/sdq"), std::vector<std::string>{dir.Path()});
    EXPECT_EQ(devices.FileLength(dir / "stick").length, 4096u);  // a file is opened directly

    LockResult held = devices.TryLock("/dev/sdq", LockKind::Exclusive);
    ASSERT_NE(held.lock, nullptr);
    EXPECT_EQ(devices.TryLock("/dev/sdq", LockKind::Shared).error, EWOULDBLOCK);
    // Another program locking the same device (here its image) is kept out.
    const int other = ::open((dir / "stick").c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_NE(::flock(other, LOCK_SH | LOCK_NB), 0);
    held.lock.reset();
    EXPECT_EQ(::flock(other, LOCK_SH | LOCK_NB), 0);
    ::close(other);
}

}  // namespace
}  // namespace quarnex::testing
