#include "gui/qt_text_metrics.hpp"

#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <cmath>

namespace quarnex {

TwipScale TwipScale::ForScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipScale(screen != nullptr ? screen->logicalDotsPerInchY() : 96.0);
}

double QtTextMetrics::TextHeightTwips(std::string_view text) const {
    int lines = 1;
    for (std::size_t pos = text.find("\r\n"); pos != std::string_view::npos;
         pos = text.find("\r\n", pos + 2)) {
        ++lines;
    }
    // Whole pixels, as the screen shows them.
    return scale_.Twips(std::ceil(metrics_.height()) * lines);
}

int QtTextMetrics::TextWidthTwips(std::string_view text) const {
    const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return scale_.Twips(std::ceil(metrics_.horizontalAdvance(line)));
}

}  // namespace quarnex
