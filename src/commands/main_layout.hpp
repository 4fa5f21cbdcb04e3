#pragma once
// Geometry of the main window in twips: the first sizing from the grid font's
// measures and the rule that keeps the frame filling the window on every
// resize. The GUI converts the results to pixels.

#include <array>

namespace quarnex {

// Design placements that never change.
inline constexpr int kFrameLeft = 120;
inline constexpr int kFrameTop = 720;
inline constexpr int kGridLeft = 180;
inline constexpr int kGridTop = 360;
inline constexpr int kGridLine = 15;
inline constexpr int kScrollWidth = 255;
inline constexpr int kProgressBarWidth = 2895;
inline constexpr int kMinWindowWidth = 7950;
inline constexpr int kMinWindowHeight = 4350;

struct MainLayout {
    int baseRowHeight = 0;
    std::array<int, 3> ColumnWidths{};  // as measured at start-up
    int column2Width = 0;               // grid width of column 2, follows the window

    int clientWidth = 0;
    int clientHeight = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    int gridWidth = 0;
    int gridHeight = 0;
    int scrollLeft = 0;
    int scrollHeight = 0;
    int editLeft = 0;
    int editWidth = 0;
    int progressBarLeft = 0;
    int actionLabelLeft = 0;
};

// The first sizing: 20 slot rows under the header, the three columns as wide
// as their sample texts, everything else following from those.
MainLayout BuildMainLayout(int baseRowHeight, const std::array<int, 3>& columnWidths);

// Lays the frame, grid, scroll bar, edit box and status strip out for a new
// client size. actionLabelWidth is the action label's current width.
void ResizeMainLayout(MainLayout& layout, int clientWidth, int clientHeight, int actionLabelWidth);

// Right-aligns the action label against the progress bar for its width.
int ActionLabelLeft(const MainLayout& layout, int actionLabelWidth);

// Left edge of grid column 2 inside the grid.
int Column2Left(const MainLayout& layout);

}  // namespace quarnex
