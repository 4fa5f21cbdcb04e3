#pragma once
// The Qt side of the placement file: reads and applies the geometry of
// real windows, in twips, and hands them to SbrLoad / SbrSave.

#include <QRect>
#include <QWidget>
#include <string>

#include "commands/placement_file.hpp"
#include "ports/ui.hpp"

namespace quarnex {

// The four windows the file keeps; null entries are allowed (see
// PlacementWindows).
struct PlacedWidgets {
    QWidget* QrnF = nullptr;
    QWidget* HelpF = nullptr;
    QWidget* FlpyIDF = nullptr;
    QWidget* USBIDF = nullptr;
};

// Twips per pixel of the screen the widget is on (15 at 96 dpi).
double TwipsPerPixel(const QWidget* widget);

// Twips to whole pixels on the widget's screen, and a design rectangle given
// as left, top, width, height in twips.
int TwipsToPixels(const QWidget* widget, int twips);
QRect TwipsToPixels(const QWidget* widget, int left, int top, int width, int height);

// Size of the screen the widget is on (the primary screen for null), in twips.
ScreenTwips ScreenSizeTwips(const QWidget* widget);

// A QWidget seen as a PlacementWindow: position and size of its own area
// (without the window manager's frame) in twips.
class WidgetPlacement final : public PlacementWindow {
  public:
    explicit WidgetPlacement(QWidget& widget) : widget_(widget) {}
    bool IsVisible() const override;
    void SetVisible(bool visible) override;
    TwipRect Geometry() const override;
    void SetGeometry(const TwipRect& rect) override;

  private:
    QWidget& widget_;
};

// Start-up: read the placement file and apply it.
void LoadWindowPlacement(const std::string& file, const PlacedWidgets& widgets);

// Shutdown: write the file; a failure is shown through ui. True when written.
bool SaveWindowPlacement(const std::string& file, const PlacedWidgets& widgets, Ui& ui);

}  // namespace quarnex
