#pragma once
// The disk grid as plain data: the cell texts of rows 0..999 and columns
// 0..2 and every row's height in twips. It is the store of record for what the
// window shows: Disk IDs and descriptions are read back from its cells.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "commands/text_metrics.hpp"

namespace quarnex {

inline constexpr int kGridRows = 1000;  // header row 0 and slots 1..999
inline constexpr int kGridColumns = 3;

// Receives every change, so a view can repaint just what changed.
class GridListener {
  public:
    virtual ~GridListener() = default;
    virtual void CellChanged(int row, int column) = 0;
    virtual void RowHeightChanged(int row) = 0;
};

class GridModel {
  public:
    explicit GridModel(const TextMetrics& metrics);

    const std::string& Cell(int row, int column) const;
    void SetCell(int row, int column, std::string text);
    int RowHeight(int row) const;
    void SetRowHeight(int row, int twips);

    // Height of a one-line row: the grid font's height of " " plus 30.
    int BaseRowHeight() const { return baseRowHeight_; }
    // The row height a description needs: BaseRowHeight for one line, else
    // its text height plus 45.
    double DescriptionRowHeight(std::string_view text) const;

    // Rows back to their reset contents: every row BaseRowHeight high, IDs
    // dashed, descriptions empty; slot numbers rewritten only when asked.
    void Reset(bool rewriteNumbers);
    // Writes the header row.
    void WriteHeaders();

    const TextMetrics& Metrics() const { return metrics_; }
    void SetListener(GridListener* listener) { listener_ = listener; }

  private:
    const TextMetrics& metrics_;
    int baseRowHeight_;
    std::vector<std::array<std::string, kGridColumns>> cells_;
    std::vector<int> heights_;
    GridListener* listener_ = nullptr;
};

// Text of column 1 while no store is loaded, and for unreadable labels.
inline constexpr std::string_view kNoDiskIdCell = " ----------- ";
inline constexpr std::string_view kNoDiskId = "-----------";

// Markers appended to the first 12 characters of a Disk ID cell.
inline constexpr std::string_view kSelectionMarker = " *";
inline constexpr std::string_view kEditMarker = " >";
// The cell's first 12 characters followed by the marker (empty for none).
std::string WithMarker(std::string_view cell, std::string_view marker);

}  // namespace quarnex
