#include "gui/window_placement.hpp"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <optional>

namespace quarnex {

namespace {

constexpr double kTwipsPerInch = 1440.0;

QScreen* ScreenOf(const QWidget* widget) {
    QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

int ToTwips(int pixels, double perPixel) {
    return static_cast<int>(std::lround(pixels * perPixel));
}

int ToPixels(int twips, double perPixel) {
    return static_cast<int>(std::lround(twips / perPixel));
}

// Keeps the adapters alive for one load or save.
struct Adapters {
    explicit Adapters(const PlacedWidgets& widgets) {
        const auto wrap = [](std::optional<WidgetPlacement>& slot, QWidget* widget) {
            if (widget != nullptr) {
                slot.emplace(*widget);
            }
            return slot ? &*slot : nullptr;
        };
        windows.QrnF = wrap(qrnF, widgets.QrnF);
        windows.HelpF = wrap(helpF, widgets.HelpF);
        windows.FlpyIDF = wrap(flpyIdF, widgets.FlpyIDF);
        windows.USBIDF = wrap(usbIdF, widgets.USBIDF);
    }
    std::optional<WidgetPlacement> qrnF, helpF, flpyIdF, usbIdF;
    PlacementWindows windows;
};

}  // namespace

double TwipsPerPixel(const QWidget* widget) {
    const QScreen* screen = ScreenOf(widget);
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return kTwipsPerInch / (dpi > 0 ? dpi : 96.0);
}

int TwipsToPixels(const QWidget* widget, int twips) {
    return ToPixels(twips, TwipsPerPixel(widget));
}

QRect TwipsToPixels(const QWidget* widget, int left, int top, int width, int height) {
    const double perPixel = TwipsPerPixel(widget);
    return {ToPixels(left, perPixel), ToPixels(top, perPixel), ToPixels(width, perPixel),
            ToPixels(height, perPixel)};
}

ScreenTwips ScreenSizeTwips(const QWidget* widget) {
    const QScreen* screen = ScreenOf(widget);
    if (screen == nullptr) {
        return {};
    }
    const double perPixel = TwipsPerPixel(widget);
    const QRect area = screen->geometry();
    return {ToTwips(area.width(), perPixel), ToTwips(area.height(), perPixel)};
}

bool WidgetPlacement::IsVisible() const {
    return widget_.isVisible();
}

void WidgetPlacement::SetVisible(bool visible) {
    widget_.setVisible(visible);
}

// The file keeps the window's own area, without the frame a window manager
// adds: that is known the moment the window exists, while the frame's size
// arrives later, at a time no program can rely on. setGeometry places that
// area itself, whenever the frame comes.
TwipRect WidgetPlacement::Geometry() const {
    const double perPixel = TwipsPerPixel(&widget_);
    const QRect client = widget_.geometry();
    return {ToTwips(client.top(), perPixel), ToTwips(client.left(), perPixel),
            ToTwips(client.height(), perPixel), ToTwips(client.width(), perPixel)};
}

void WidgetPlacement::SetGeometry(const TwipRect& rect) {
    const double perPixel = TwipsPerPixel(&widget_);
    widget_.setGeometry(ToPixels(rect.left, perPixel), ToPixels(rect.top, perPixel),
                        ToPixels(rect.width, perPixel), ToPixels(rect.height, perPixel));
}

void LoadWindowPlacement(const std::string& file, const PlacedWidgets& widgets) {
    Adapters adapters(widgets);
    SbrLoad(file, adapters.windows, ScreenSizeTwips(widgets.QrnF));
}

bool SaveWindowPlacement(const std::string& file, const PlacedWidgets& widgets, Ui& ui) {
    Adapters adapters(widgets);
    return SbrSave(file, adapters.windows, ScreenSizeTwips(widgets.QrnF), ui);
}

}  // namespace quarnex
