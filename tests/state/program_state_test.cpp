#include "state/program_state.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "commands/text_metrics.hpp"
#include "core/media_sizes.hpp"
#include "state/startup.hpp"
#include "support/fake_ui.hpp"

namespace quarnex {
namespace {

TEST(AllocateBuffers, ZeroFilledAlignedAndTheirSizes) {
    ProgramState state;
    ASSERT_TRUE(AllocateBuffers(state));
    ASSERT_EQ(state.InternalImage.Size(), kImageBytes);
    ASSERT_EQ(state.TransferBuffer.Size(), kSlotStride);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(state.InternalImage.Data()) % 4096, 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(state.TransferBuffer.Data()) % 4096, 0u);
    auto zero = [](std::byte b) { return b == std::byte{0}; };
    EXPECT_TRUE(
        std::all_of(state.InternalImage.Span().begin(), state.InternalImage.Span().end(), zero));
    EXPECT_TRUE(
        std::all_of(state.TransferBuffer.Span().begin(), state.TransferBuffer.Span().end(), zero));
    FreeBuffers(state);
    EXPECT_TRUE(state.InternalImage.Empty());
    EXPECT_TRUE(state.TransferBuffer.Empty());
}

TEST(AllocateBuffers, FailureLeavesNothingAllocated) {
    ProgramState state;
    int calls = 0;
    const bool ok = AllocateBuffers(state, [&](AlignedBuffer& buffer, std::size_t size) {
        return ++calls == 1 && buffer.Allocate(size);  // the second allocation fails
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(state.InternalImage.Empty());

    testing::FakeUi ui(state);
    EXPECT_FALSE(
        AllocateBuffersOrExplain(state, ui, [](AlignedBuffer&, std::size_t) { return false; }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "RorUve");
    EXPECT_EQ(ui.messages[0].text, "Allocation Of Buffers Failed.\r\nProgram Will Exit.");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(state.InternalImage.Empty());
    EXPECT_TRUE(state.TransferBuffer.Empty());
}

TEST(AppFolder, FolderOfTheExecutable) {
    EXPECT_EQ(AppFolderFromExecutable("/opt/quarnex/bin/quarnex"), "/opt/quarnex/bin/");
    EXPECT_EQ(AppFolderFromExecutable("quarnex"), "");
    EXPECT_EQ(AppFolderFromExecutable("/quarnex"), "/");
}

}  // namespace
}  // namespace quarnex
