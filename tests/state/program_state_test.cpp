#include "state/program_state.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "core/media_sizes.hpp"
#include "state/startup.hpp"
#include "support/fake_ui.hpp"

namespace quarnex {
namespace {

bool ZeroedAndAligned(const AlignedBuffer& buffer, std::size_t size) {
    const auto bytes = buffer.Span();
    return buffer.Size() == size && reinterpret_cast<std::uintptr_t>(buffer.Data()) % 4096 == 0 &&
           std::all_of(bytes.begin(), bytes.end(), [](std::byte b) { return b == std::byte{0}; });
}

TEST(AllocateBuffers, ZeroFilledAlignedAndFreedAgain) {
    ProgramState state;
    ASSERT_TRUE(AllocateBuffers(state));
    EXPECT_TRUE(ZeroedAndAligned(state.imageBuffer, kImageBytes));
    EXPECT_TRUE(ZeroedAndAligned(state.transferBuffer, kSlotStride));
    FreeBuffers(state);
    EXPECT_TRUE(state.imageBuffer.Empty() && state.transferBuffer.Empty());
}

TEST(AllocateBuffers, FailureLeavesNothingAllocatedAndSaysTheProgramEnds) {
    ProgramState state;
    int calls = 0;
    EXPECT_FALSE(AllocateBuffers(state, [&](AlignedBuffer& buffer, std::size_t size) {
        return ++calls == 1 && buffer.Allocate(size);  // the second allocation fails
    }));
    EXPECT_TRUE(state.imageBuffer.Empty());

    testing::FakeUi ui(state);
    EXPECT_FALSE(
        AllocateBuffersOrExplain(state, ui, [](AlignedBuffer&, std::size_t) { return false; }));
    ASSERT_EQ(ui.messages.size(), 1u);
    const MessageRequest& message = ui.messages[0];
    EXPECT_EQ(message.title + "|" + message.text,
              "RorUve|Allocation Of Buffers Failed.\r\nProgram Will Exit.");
    EXPECT_TRUE(message.icon == MessageIcon::Exclamation && message.buttons == MessageButtons::Ok);
    EXPECT_TRUE(state.imageBuffer.Empty() && state.transferBuffer.Empty());
}

}  // namespace
}  // namespace quarnex
