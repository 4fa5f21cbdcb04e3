#include "gui/window_placement.hpp"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
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

// Until a window manager has framed a window, Qt knows neither the frame's
// size nor where the frame will sit, so an outer geometry can only be applied
// as if there were no frame (exact where there is none). This applies it again
// once the frame is known, which is when the window is first painted after the
// manager mapped it: otherwise every run would move the window up and left by
// its frame and make it larger by the same.
class OuterGeometryFinisher final : public QObject {
  public:
    OuterGeometryFinisher(QWidget& widget, QRect outer) : QObject(&widget), outer_(outer) {
        setObjectName(QStringLiteral("OuterGeometryFinisher"));
        widget.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        const QEvent::Type type = event->type();
        if (widget == nullptr || done_ ||
            (type != QEvent::Paint && type != QEvent::Move && type != QEvent::Resize &&
             type != QEvent::Show)) {
            return false;
        }
        if (FrameExtra(*widget) == QSize(0, 0)) {
            return false;  // not framed (yet)
        }
        done_ = true;
        widget->removeEventFilter(this);
        // Not inside the event that told: a paint is no place to resize.
        QTimer::singleShot(0, widget, [widget, outer = outer_] { ApplyOuter(*widget, outer); });
        deleteLater();
        return false;
    }

    static void ApplyOuter(QWidget& widget, const QRect& outer) {
        const QSize extra = FrameExtra(widget);
        widget.resize(std::max(1, outer.width() - extra.width()),
                      std::max(1, outer.height() - extra.height()));
        // With the frame known, move() places the frame itself.
        widget.move(outer.topLeft());
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
    // A later line for the same window replaces what an earlier one left to do.
    delete widget_.findChild<OuterGeometryFinisher*>(QStringLiteral("OuterGeometryFinisher"),
                                                     Qt::FindDirectChildrenOnly);
    if (FrameExtra(widget_) == QSize(0, 0)) {
        new OuterGeometryFinisher(widget_, outer);
    }
    OuterGeometryFinisher::ApplyOuter(widget_, outer);
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
