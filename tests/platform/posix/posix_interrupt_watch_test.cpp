// Ctrl-C, SIGTERM and SIGHUP are collected while the watch lives, so that
// each cancels a transfer instead of ending the program halfway.

#include "platform/posix/posix_interrupt_watch.hpp"

#include <gtest/gtest.h>
#include <signal.h>

namespace quarnex {
namespace {

TEST(PosixInterruptWatch, CollectsEachStopRequestOnce) {
    PosixInterruptWatch watch;
    ASSERT_GE(watch.Fd(), 0);
    EXPECT_FALSE(watch.Poll());
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ASSERT_EQ(::raise(signal), 0) << signal;  // blocked: it waits for the watch
        EXPECT_TRUE(watch.Poll()) << signal;
        EXPECT_FALSE(watch.Poll()) << signal;
    }
    watch.Release();
    EXPECT_EQ(watch.Fd(), -1);
    EXPECT_FALSE(watch.Poll());
}

}  // namespace
}  // namespace quarnex
