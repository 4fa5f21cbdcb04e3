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
    EXPECT_EQ(std::tuple(entries[1].major, entries[1].minor, entries[1].mountPoint,
                         entries[1].source, entries[2].mountPoint),
              std::tuple(8u, 17u, "/media/user/MY STICK", "/dev/sdb1", "/mnt/tab\tname"));
    EXPECT_TRUE(ParseMountInfo("\n\n   \n").empty());
}

}  // namespace
}  // namespace quarnex
