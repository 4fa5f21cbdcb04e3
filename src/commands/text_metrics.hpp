#pragma once
// Measures texts in the grid font. The GUI measures with the real font; the
// terminal tool and the tests use fixed line heights.

#include <string_view>

namespace quarnex {

class TextMetrics {
  public:
    virtual ~TextMetrics() = default;
    TextMetrics() = default;
    TextMetrics(const TextMetrics&) = delete;
    TextMetrics& operator=(const TextMetrics&) = delete;

    // Height in twips of text in the grid font; every CR LF starts a new line.
    virtual double TextHeightTwips(std::string_view text) const = 0;
};

// Every line the same height; used where there is no real font.
class FixedTextMetrics final : public TextMetrics {
  public:
    explicit FixedTextMetrics(double lineHeightTwips = 240.0) : lineHeight_(lineHeightTwips) {}
    double TextHeightTwips(std::string_view text) const override;

  private:
    double lineHeight_;
};

}  // namespace quarnex
