#pragma once
// The cells of the grid control, row 0 and column 0 being the headers, with a
// width per column and a height per row. A row keeps its cells only once one
// of them differs from a fresh cell, so that a table at the limits (32000 data
// rows by 256 data columns) costs little until it is filled.
//
// Thread contract: plain value, used on the GUI thread by its grid.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct GridCell {
  std::uint32_t background = 0x00FFFFFFu;
  std::uint32_t textColor = 0;
  std::uint16_t flags = 0;
  std::string text;
};

class GridCells {
 public:
  static constexpr int kMaxRows = 32000;
  static constexpr int kMaxColumns = 256;
  static constexpr std::uint16_t kDefaultWidth = 50;
  static constexpr std::uint16_t kDefaultHeight = 21;

  GridCells() { resize(10, 10); }

  // Resizes to the data rows and columns (cut to 0 and the limits), keeping
  // the cells that still fit; new columns and rows get the default sizes.
  void resize(int rows, int columns);
  int rows() const { return static_cast<int>(heights_.size()) - 1; }
  int columns() const { return static_cast<int>(widths_.size()) - 1; }
  bool contains(int row, int column) const {
    return row >= 0 && column >= 0 && row <= rows() && column <= columns();
  }

  // The cell (a fresh one for a cell that was never written). Inside the table only.
  const GridCell& at(int row, int column) const;
  // The cell for writing. Inside the table only.
  GridCell& edit(int row, int column);

  // The texts of the rectangle between two cells (any order, cut to the
  // table), a tab between cells and a line break after each row.
  std::string rangeText(int row0, int column0, int row1, int column1) const;

  // Every text emptied.
  void clearTexts();
  // Every cell's flags ANDed with mask.
  void maskFlags(std::uint16_t mask);

  std::vector<std::uint16_t>& widths() { return widths_; }
  std::vector<std::uint16_t>& heights() { return heights_; }
  const std::vector<std::uint16_t>& widths() const { return widths_; }
  const std::vector<std::uint16_t>& heights() const { return heights_; }

 private:
  using Row = std::vector<GridCell>;
  std::vector<std::unique_ptr<Row>> rows_;
  std::vector<std::uint16_t> widths_;
  std::vector<std::uint16_t> heights_;
};
