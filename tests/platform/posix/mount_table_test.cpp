#include "platform/posix/mount_table.hpp"

#include <gtest/gtest.h>

namespace quarnex {
namespace {

TEST(ParseMountInfo, FieldsEscapesOptionalTagsAndJunk) {
    const std::string text =
        "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
        "36 22 8:17 / /media/user/MY\\040STICK rw,nosuid shared:1 master:2 - vfat /dev/sdb1 rw\n"
        "garbage line\n"
        "1 2 x:y / /bad rw - ext4 /dev/sda1 rw\n"
        "40 22 8:32 / /mnt/tab\\011name rw - ext4 /dev/sdc rw";
    const std::vector<MountEntry> entries = ParseMountInfo(text);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].major, 8u);
    EXPECT_EQ(entries[1].minor, 17u);
    EXPECT_EQ(entries[1].mountPoint, "/media/user/MY STICK");
    EXPECT_EQ(entries[1].source, "/dev/sdb1");
    EXPECT_EQ(entries[2].mountPoint, "/mnt/tab\tname");
    EXPECT_EQ(entries[2].source, "/dev/sdc");
    EXPECT_TRUE(ParseMountInfo("").empty());
    EXPECT_TRUE(ParseMountInfo("\n\n   \n").empty());
}

}  // namespace
}  // namespace quarnex
