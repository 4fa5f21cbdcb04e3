#pragma once
// Text heights in the grid font, measured with the real font.

#include <QFont>
#include <QFontMetricsF>

#include "commands/text_metrics.hpp"
#include "gui/twips.hpp"

namespace quarnex {

class QtTextMetrics final : public TextMetrics {
  public:
    QtTextMetrics(const QFont& font, TwipScale scale) : metrics_(font), scale_(scale) {}

    double TextHeightTwips(std::string_view text) const override;
    // Width in twips of one line of text.
    int TextWidthTwips(std::string_view text) const;

  private:
    QFontMetricsF metrics_;
    TwipScale scale_;
};

}  // namespace quarnex
