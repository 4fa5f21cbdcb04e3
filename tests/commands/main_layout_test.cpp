#include "commands/main_layout.hpp"

#include <gtest/gtest.h>

namespace quarnex {
namespace {

// Column samples as a font might measure them, in twips.
constexpr std::array<int, 3> kColumns{600, 1800, 5000};

TEST(MainLayout, FirstSizeHoldsTwentyRowsAndResizingWidensOnlyTheDescriptions) {
    MainLayout layout = BuildMainLayout(240, kColumns);
    EXPECT_EQ(layout.gridWidth, 600 + 1800 + 5000 + 60);
    EXPECT_EQ(layout.gridHeight, 21 * 240 + 330);
    // Frame: grid with its left margin on both sides, 420 for the scroll bar.
    EXPECT_EQ(layout.frameHeight, 360 + 5370 + 180);
    EXPECT_EQ(layout.frameWidth, 7460 + 2 * 180 + 420);
    EXPECT_EQ(layout.scrollLeft, 8240 - 375);
    // The client ends one frame margin right of and below the frame.
    EXPECT_EQ(layout.clientWidth, 2 * 120 + 8240);
    EXPECT_EQ(layout.clientHeight, 720 + 5910 + 120);
    EXPECT_EQ(layout.column2Width, 5000);
    EXPECT_EQ(layout.editLeft, 180 + 600 + 1800 + 30 + 30);

    // Resized, only the descriptions widen and the strip stays right-aligned.
    ResizeMainLayout(layout, 12000, 9000, 1500);
    EXPECT_EQ(layout.frameWidth, 12000 - 240);
    EXPECT_EQ(layout.frameHeight, 9000 - 720 - 120);
    EXPECT_EQ(layout.gridHeight, 8160 - 360 - 180);
    EXPECT_EQ(layout.scrollLeft, 11760 - 375);
    // Number and ID columns keep their widths; column 2 takes the rest.
    EXPECT_EQ(layout.column2Width, 11160 - 600 - 1800 - 4 * 15);
    EXPECT_EQ(layout.editWidth, layout.column2Width - 15);
    // Bar and frame end at the same right edge; the action label 240 left of it.
    EXPECT_EQ(layout.progressBarLeft, 120 + 11760 - 2895);
    EXPECT_EQ(layout.actionLabelLeft, 8985 - 1500 - 240);
    EXPECT_EQ(ActionLabelLeft(layout, 300), 8985 - 300 - 240);

    // Narrower again: column 2 shrinks with it, the others stay.
    ResizeMainLayout(layout, 8000, 5000, 0);
    EXPECT_EQ(layout.column2Width, (8000 - 240 - 600) - 600 - 1800 - 60);
}

}  // namespace
}  // namespace quarnex
