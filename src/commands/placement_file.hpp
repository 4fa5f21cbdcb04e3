#pragma once
// ConfigM: the window placement file Quarn.cfg. Plain code: it sees
// the windows only through PlacementWindow, so the GUI, the tests and a later
// platform all share the parser and the writer.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/ui.hpp"

namespace quarnex {

// Smallest size and the margin kept from the screen's right and bottom edges.
inline constexpr int kPlacementMinimum = 500;

// A window's outer frame, in twips.
struct TwipRect {
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
};

struct ScreenTwips {
    int width = 0;
    int height = 0;
};

// One window as the placement file sees it.
class PlacementWindow {
  public:
    virtual ~PlacementWindow() = default;
    PlacementWindow() = default;
    PlacementWindow(const PlacementWindow&) = delete;
    PlacementWindow& operator=(const PlacementWindow&) = delete;

    virtual bool IsVisible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual TwipRect Geometry() const = 0;
    virtual void SetGeometry(const TwipRect& rect) = 0;
};

// The four windows the file keeps. A null entry is left alone on reading and
// written as a hidden window at 0, 0 of the smallest size.
struct PlacementWindows {
    PlacementWindow* QrnF = nullptr;
    PlacementWindow* HelpF = nullptr;
    PlacementWindow* FlpyIDF = nullptr;
    PlacementWindow* USBIDF = nullptr;
};

enum class PlacementKey { QrnF, HelpF, FlpyIDF, USBIDF };

// One window line as read: the values present, already clamped to the screen.
struct PlacementLine {
    PlacementKey key = PlacementKey::QrnF;
    std::optional<bool> visible;
    std::optional<int> top;
    std::optional<int> left;
    std::optional<int> height;
    std::optional<int> width;
};

// Top or Left clamped to 0 .. screen extent - 500 (0 on a screen of 500 or less).
int ClampPosition(long long value, int screenExtent);
// Height or Width: at least 500.
int ClampSize(long long value);

// Reads the file's text. Reading stops at a value too large for a 32-bit
// integer; the lines before it and the positions of its own line before it
// are kept. Never fails otherwise.
std::vector<PlacementLine> ParsePlacementText(std::string_view text, ScreenTwips screen);

// Applies one line: the visibility first, then Top, Left, Height, Width.
void ApplyPlacementLine(const PlacementLine& line, PlacementWindow& window);

// The file's contents as SbrSave writes them (CR LF line ends).
std::string PlacementText(const PlacementWindows& windows, ScreenTwips screen);

// Reads the file (QuarnCfg/Quarn.cfg beside the program, or the per-user one
// that ProgramPaths names) and applies it. Silent on every failure.
void SbrLoad(const std::string& path, const PlacementWindows& windows, ScreenTwips screen);

// Writes the file. On failure shows "Error Saving Configuration File." with the
// path and the error number and returns false.
bool SbrSave(const std::string& path, const PlacementWindows& windows, ScreenTwips screen, Ui& ui);

}  // namespace quarnex
