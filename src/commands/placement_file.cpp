#include "commands/placement_file.hpp"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>

#include "core/text.hpp"

namespace quarnex {

namespace {

enum class Section { None, Windows, MainWindow, Other };

struct KeyRule {
    std::string_view prefix;  // upper case, matched against the line's first characters
    PlacementKey key;
    int count;  // numbers after the visible flag
};

// Matched in this order.
constexpr std::array<KeyRule, 4> kKeyRules{{
    {"QRNF", PlacementKey::QrnF, 4},
    {"HELPF", PlacementKey::HelpF, 4},
    {"FLPYIDF", PlacementKey::FlpyIDF, 2},
    {"USBIDF", PlacementKey::USBIDF, 2},
}};

Section SectionOf(std::string_view line) {
    const std::string upper = ToUpperAscii(line);
    if (upper.find("[WINDOWS]") != std::string::npos) {
        return Section::Windows;
    }
    if (upper.find("[QRNF]") != std::string::npos) {
        return Section::MainWindow;
    }
    return Section::Other;
}

const KeyRule* RuleFor(std::string_view line) {
    for (const KeyRule& rule : kKeyRules) {
        if (ToUpperAscii(LeftChars(line, rule.prefix.size())) == rule.prefix) {
            return &rule;
        }
    }
    return nullptr;
}

// Removes spaces at both ends and commas at the front until neither is left.
std::string_view TrimSeparators(std::string_view text) {
    for (;;) {
        const std::size_t before = text.size();
        while (!text.empty() && text.back() == ' ') {
            text.remove_suffix(1);
        }
        while (!text.empty() && (text.front() == ' ' || text.front() == ',')) {
            text.remove_prefix(1);
        }
        if (text.size() == before) {
            return text;
        }
    }
}

// The value's number rounded half to even; nothing when it does not fit in a
// 32-bit integer.
std::optional<long long> WholeNumber(std::string_view value) {
    const double rounded = RoundHalfEven(LenientNumber(value));
    if (!std::isfinite(rounded) || rounded > std::numeric_limits<std::int32_t>::max() ||
        rounded < std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    return static_cast<long long>(rounded);
}

// Parses one window line into out; false when a number was too large (out
// then holds the positions before it).
bool ParseWindowLine(std::string_view line, const KeyRule& rule, ScreenTwips screen,
                     PlacementLine& out) {
    out = PlacementLine{};
    out.key = rule.key;
    std::string_view values = line;
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
        if (equals + 1 == line.size()) {
            return true;
        }
        values = line.substr(equals + 1);
    }
    for (int position = 1; position <= 1 + rule.count; ++position) {
        values = TrimSeparators(values);
        if (values.empty()) {
            break;
        }
        const std::size_t end = values.find_first_of(", ");
        const std::string_view value = values.substr(0, end);
        values = end == std::string_view::npos ? std::string_view() : values.substr(end + 1);
        const std::optional<long long> number = WholeNumber(value);
        if (!number) {
            return false;
        }
        switch (position) {
            case 1:
                out.visible = *number != 0;
                break;
            case 2:
                out.top = ClampPosition(*number, screen.height);
                break;
            case 3:
                out.left = ClampPosition(*number, screen.width);
                break;
            case 4:
                out.height = ClampSize(*number);
                break;
            default:
                out.width = ClampSize(*number);
                break;
        }
    }
    return true;
}

void WriteWindowLine(std::string& out, std::string_view key, const PlacementWindow* window,
                     bool alwaysVisible, int count, ScreenTwips screen) {
    const TwipRect rect = window != nullptr ? window->Geometry() : TwipRect{};
    const bool visible = alwaysVisible || (window != nullptr && window->IsVisible());
    out += key;
    out += " = ";
    out += visible ? "1" : "0";
    out += ", " + std::to_string(ClampPosition(rect.top, screen.height));
    out += ", " + std::to_string(ClampPosition(rect.left, screen.width));
    if (count == 4) {
        out += ", " + std::to_string(ClampSize(rect.height));
        out += ", " + std::to_string(ClampSize(rect.width));
    }
    out += kCrLf;
}

PlacementWindow* WindowFor(const PlacementWindows& windows, PlacementKey key) {
    switch (key) {
        case PlacementKey::QrnF:
            return windows.QrnF;
        case PlacementKey::HelpF:
            return windows.HelpF;
        case PlacementKey::FlpyIDF:
            return windows.FlpyIDF;
        default:
            return windows.USBIDF;
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

int ClampPosition(long long value, int screenExtent) {
    if (value < 0) {
        return 0;
    }
    if (value > static_cast<long long>(screenExtent) - kPlacementMinimum) {
        return screenExtent > kPlacementMinimum ? screenExtent - kPlacementMinimum : 0;
    }
    return static_cast<int>(value);
}

int ClampSize(long long value) {
    if (value < kPlacementMinimum) {
        return kPlacementMinimum;
    }
    return value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                   : static_cast<int>(value);
}

std::vector<PlacementLine> ParsePlacementText(std::string_view text, ScreenTwips screen) {
    std::vector<PlacementLine> result;
    Section section = Section::None;
    for (const std::string_view raw : SplitLines(text)) {
        const std::string line = TrimSpaces(raw);
        if (!line.empty() && line.front() == '[') {
            section = SectionOf(line);
            continue;
        }
        if (section != Section::Windows) {
            continue;
        }
        const KeyRule* rule = RuleFor(line);
        if (rule == nullptr) {
            continue;
        }
        // A line is applied position by position, so the values before a
        // number that is too large still count.
        PlacementLine parsed;
        const bool complete = ParseWindowLine(line, *rule, screen, parsed);
        result.push_back(parsed);
        if (!complete) {
            break;
        }
    }
    return result;
}

void ApplyPlacementLine(const PlacementLine& line, PlacementWindow& window) {
    if (line.visible) {
        window.SetVisible(*line.visible);
    }
    if (!line.top && !line.left && !line.height && !line.width) {
        return;
    }
    TwipRect rect = window.Geometry();
    rect.top = line.top.value_or(rect.top);
    rect.left = line.left.value_or(rect.left);
    rect.height = line.height.value_or(rect.height);
    rect.width = line.width.value_or(rect.width);
    window.SetGeometry(rect);
}

std::string PlacementText(const PlacementWindows& windows, ScreenTwips screen) {
    std::string out = "[WINDOWS]";
    out += kCrLf;
    out += "|------| = Visible, Top, Left [, Height, Width]";
    out += kCrLf;
    WriteWindowLine(out, "QrnF", windows.QrnF, true, 4, screen);
    WriteWindowLine(out, "HelpF", windows.HelpF, false, 4, screen);
    WriteWindowLine(out, "FlpyIDF", windows.FlpyIDF, false, 2, screen);
    WriteWindowLine(out, "USBIDF", windows.USBIDF, false, 2, screen);
    out += kCrLf;
    return out;
}

void SbrLoad(const std::string& path, const PlacementWindows& windows, ScreenTwips screen) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return;
    }
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    for (const PlacementLine& line : ParsePlacementText(text, screen)) {
        if (PlacementWindow* window = WindowFor(windows, line.key)) {
            ApplyPlacementLine(line, *window);
        }
    }
}

bool SbrSave(const std::string& path, const PlacementWindows& windows, ScreenTwips screen, Ui& ui) {
    const std::string text = PlacementText(windows, screen);
    bool failed = false;
    int error = 0;
    if (std::FILE* raw = std::fopen(path.c_str(), "wb"); raw == nullptr) {
        failed = true;
        error = errno;
    } else {
        std::unique_ptr<std::FILE, FileCloser> file(raw);
        if (std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() ||
            std::fflush(file.get()) != 0) {
            failed = true;
            error = errno;
        }
        if (std::fclose(file.release()) != 0 && !failed) {
            failed = true;
            error = errno;
        }
    }
    if (!failed) {
        return true;
    }
    if (error == 0) {
        error = EIO;  // a failure must never show error number 0
    }
    ui.ShowMessage(
        MessageRequest{"ConfigMSbrSave",
                       "Error Saving Configuration File.\n" + path + "\n" + std::to_string(error),
                       MessageButtons::Ok, MessageIcon::Critical});
    return false;
}

}  // namespace quarnex
