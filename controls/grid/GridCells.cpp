#include "controls/grid/GridCells.h"

#include <algorithm>

namespace {
const GridCell kFreshCell{};
}

void GridCells::resize(int rows, int columns) {
  rows = std::clamp(rows, 0, kMaxRows);
  columns = std::clamp(columns, 0, kMaxColumns);
  const auto rowSlots = static_cast<std::size_t>(rows) + 1;
  const auto columnSlots = static_cast<std::size_t>(columns) + 1;
  rows_.resize(rowSlots);
  for (auto& row : rows_)
    if (row) row->resize(columnSlots);
  widths_.resize(columnSlots, kDefaultWidth);
  heights_.resize(rowSlots, kDefaultHeight);
}

const GridCell& GridCells::at(int row, int column) const {
  const auto& cells = rows_[static_cast<std::size_t>(row)];
  return cells ? (*cells)[static_cast<std::size_t>(column)] : kFreshCell;
}

GridCell& GridCells::edit(int row, int column) {
  auto& cells = rows_[static_cast<std::size_t>(row)];
  if (!cells) cells = std::make_unique<Row>(widths_.size());
  return (*cells)[static_cast<std::size_t>(column)];
}

void GridCells::clearTexts() {
  for (auto& row : rows_)
    if (row)
      for (auto& cell : *row) cell.text.clear();
}

void GridCells::maskFlags(std::uint16_t mask) {
  for (auto& row : rows_)
    if (row)
      for (auto& cell : *row) cell.flags = static_cast<std::uint16_t>(cell.flags & mask);
}

std::string GridCells::rangeText(int row0, int column0, int row1, int column1) const {
  const int top = std::clamp(std::min(row0, row1), 0, rows());
  const int bottom = std::clamp(std::max(row0, row1), 0, rows());
  const int left = std::clamp(std::min(column0, column1), 0, columns());
  const int right = std::clamp(std::max(column0, column1), 0, columns());
  std::string out;
  for (int r = top; r <= bottom; ++r) {
    for (int c = left; c <= right; ++c) {
      if (c > left) out.push_back('\t');
      out += at(r, c).text;
    }
    out.push_back('\n');
  }
  return out;
}
