#include "GridCells.h"

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
