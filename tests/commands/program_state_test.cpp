// The program's state: its buffers and the status strip that progress events
// write.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "commands/program_state.hpp"
#include "commands/startup.hpp"
#include "core/media_sizes.hpp"
#include "ports/progress.hpp"
#include "state/progress.hpp"
#include "support/test_world.hpp"

namespace quarnex {
namespace {

// Zero-filled and page-aligned for direct device transfers; a failed
// allocation leaves nothing allocated and says the program ends.
TEST(AllocateBuffers, ZeroFilledAlignedOrNothingAndTheProgramEnds) {
    ProgramState state;
    ASSERT_TRUE(AllocateBuffers(state));
    for (const auto& [buffer, size] :
         {std::pair{&state.imageBuffer, kImageBytes}, {&state.transferBuffer, kSlotStride}}) {
        EXPECT_EQ(
            std::tuple(buffer->Size(), reinterpret_cast<std::uintptr_t>(buffer->Data()) % 4096,
                       std::ranges::count(buffer->Span(), std::byte{0})),
            std::tuple(size, 0u, static_cast<std::ptrdiff_t>(size)));
    }
    FreeBuffers(state);
    EXPECT_TRUE(state.imageBuffer.Empty() && state.transferBuffer.Empty());
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

using testing::TestWorld;

// Every event's status strip: label|bar|action|its path|pumps so far.
TEST(WindowProgress, EventsBecomeTheStatusStripTexts) {
    TestWorld w;
    Progress& p = w.progress;
    const StatusStrip& s = w.state.status;
    const std::string a = "|Import of Disk Image /x/y.img|/x/y.img|";
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[&] { p.UnitDone(0, 999); }, "Progress        0%|0|||1"},
        {[&] { p.UnitDone(1, 8); }, "Progress        12%|12|||2"},          // 12.5 rounds to even
        {[&] { p.UnitDone(995, 999); }, "Progress      Finished|100|||3"},  // 99.6 before rounding
        {[&] { p.Doing({.kind = ActivityKind::ImportFile, .path = "/x/y.img"}); },
         "Progress      Finished|100" + a + "3"},
        {[&] { p.UnitDone(40, 100); }, "Progress        40%|40" + a + "4"},
        // Failure keeps the bar and the action; a cancel changes nothing shown.
        {[&] { p.Failed(), p.Cancelled(); }, "Progress       Failed|40" + a + "4"},
        {[&] { p.Started(); }, "Progress|0||/x/y.img|4"},
        {[&] { p.Finished(); }, "Progress      Finished|100||/x/y.img|5"},
    };
    for (const auto& [step, expected] : steps) {
        step();
        EXPECT_EQ(s.progressLabel + "|" + std::to_string(s.progressBar) + "|" + s.actionLabel +
                      "|" + s.actionLabelPath + "|" + std::to_string(w.ui.pumps),
                  expected);
    }
}

}  // namespace
}  // namespace quarnex
