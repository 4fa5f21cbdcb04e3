#include "gui/window_placement.hpp"

#include <QEvent>
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

QSize FrameExtra(const QWidget& widget) {
    return widget.frameGeometry().size() - widget.size();
}

// The frame of a window that was never shown is unknown, so an outer size
// applied to it can only be set as the inner size. This finishes the job once
// the window system tells the frame: otherwise the window would grow by its
// frame on every run.
class OuterGeometryFinisher final : public QObject {
  public:
    OuterGeometryFinisher(QWidget& widget, QRect outer) : QObject(&widget), outer_(outer) {
        widget.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        const QEvent::Type type = event->type();
        if (widget == nullptr || done_ ||
            (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize)) {
            return false;
        }
        const QSize extra = FrameExtra(*widget);
        if (extra == QSize(0, 0)) {
            return false;  // still unknown (or a window without a frame)
        }
        done_ = true;
        widget->removeEventFilter(this);
        widget->resize(std::max(1, outer_.width() - extra.width()),
                       std::max(1, outer_.height() - extra.height()));
        widget->move(outer_.topLeft());
        deleteLater();
        return false;
    }

  private:
    QRect outer_;
    bool done_ = false;
};

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

TwipRect WidgetPlacement::Geometry() const {
    const double perPixel = TwipsPerPixel(&widget_);
    const QRect frame = widget_.frameGeometry();
    return {ToTwips(frame.top(), perPixel), ToTwips(frame.left(), perPixel),
            ToTwips(frame.height(), perPixel), ToTwips(frame.width(), perPixel)};
}

void WidgetPlacement::SetGeometry(const TwipRect& rect) {
    const double perPixel = TwipsPerPixel(&widget_);
    const QRect outer(ToPixels(rect.left, perPixel), ToPixels(rect.top, perPixel),
                      ToPixels(rect.width, perPixel), ToPixels(rect.height, perPixel));
    // The file keeps the outer frame; the widget's own size is the inner one.
    // A size that stays as it is is left alone (the dialogs keep only their
    // position), so an unknown frame cannot shrink them later.
    const QSize extra = FrameExtra(widget_);
    if (outer.size() != widget_.frameGeometry().size()) {
        widget_.resize(std::max(1, outer.width() - extra.width()),
                       std::max(1, outer.height() - extra.height()));
        if (extra == QSize(0, 0)) {
            new OuterGeometryFinisher(widget_, outer);
        }
    }
    widget_.move(outer.topLeft());
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
