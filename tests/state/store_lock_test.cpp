#include "state/store_lock.hpp"

#include <gtest/gtest.h>

#include <numeric>

#include "support/test_world.hpp"

namespace quarnex {
namespace {

TEST(LockStore, WaitsBoundedForAHolderAndReadersShare) {
    testing::TestWorld w;
    const std::string path = w.dir.Path() + "/store.img";
    testing::WriteFileText(path, "store");
    std::vector<std::string> said;
    const LockWait wait{[&said](const std::string& line) { said.push_back(line); }, {}, 5};

    std::unique_ptr<StoreLock> writer = LockStore(w.ctx, path, LockKind::Exclusive, wait);
    ASSERT_TRUE(writer);
    EXPECT_TRUE(said.empty()) << "a free store is taken without a word";
    EXPECT_FALSE(LockStore(w.ctx, path, LockKind::Shared, wait));
    EXPECT_EQ(said,
              (std::vector<std::string>{"waiting for another program that is writing " + path,
                                        path + " is still in use by another program; refused"}));
    EXPECT_NEAR(std::accumulate(w.clock.sleeps.begin(), w.clock.sleeps.end(), 0.0), 5.0, 0.11)
        << "polled up to the limit, then refused";

    writer.reset();
    const std::unique_ptr<StoreLock> reader = LockStore(w.ctx, path, LockKind::Shared, wait);
    EXPECT_TRUE(reader && LockStore(w.ctx, path, LockKind::Shared, wait))
        << "readers share the store";
    said.clear();
    EXPECT_FALSE(
        LockStore(w.ctx, path, LockKind::Exclusive, LockWait{wait.say, [] { return true; }, 5}));
    EXPECT_EQ(said, std::vector<std::string>{"waiting for another program that is reading or "
                                             "writing " +
                                             path})
        << "a stopped wait ends at once";
}

}  // namespace
}  // namespace quarnex
