#include "state/device_summary.hpp"

#include <gtest/gtest.h>

namespace quarnex {
namespace {

TEST(DeviceSummary, SizesAndDescriptions) {
    EXPECT_EQ(FormatDeviceSize(0), "");
    EXPECT_EQ(FormatDeviceSize(512), "512 bytes");
    EXPECT_EQ(FormatDeviceSize(1474560), "1.47 MB");
    EXPECT_EQ(FormatDeviceSize(15500000000ULL), "15.5 GB");
    EXPECT_EQ(FormatDeviceSize(128000000000ULL), "128 GB");
    EXPECT_EQ(FormatDeviceSize(999700000ULL), "1.00 GB") << "never \"1000 MB\"";
    EXPECT_EQ(FormatDeviceSize(999499), "999 KB");

    EXPECT_EQ(DescribeDevice(
                  DeviceEntry{"sdb", "/dev/sdb", 1, "SanDisk Cruzer Blade", 15240576ULL * 512}),
              "sdb  SanDisk Cruzer Blade  7.80 GB");
    EXPECT_EQ(DescribeDevice(DeviceEntry{"sdc", "/dev/sdc", 2, "", 3072000ULL * 512}),
              "sdc  1.57 GB");
    EXPECT_EQ(DescribeDevice(DeviceEntry{"store.img", "/tmp/store.img", 0, "", 0}), "store.img");
}

}  // namespace
}  // namespace quarnex
