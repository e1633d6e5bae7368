#include "controls/grid/GridGeometry.h"

#include <algorithm>

namespace {

bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool IsLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

int Width(const GridLayout& layout, int column) {
  return (*layout.widths)[static_cast<std::size_t>(column)];
}
int Height(const GridLayout& layout, int row) {
  return (*layout.heights)[static_cast<std::size_t>(row)];
}

// Top of the first data row on screen.
int DataTop(const GridLayout& layout) {
  return layout.topOffset + Height(layout, 0);
}
int DataLeft(const GridLayout& layout) {
  return Width(layout, 0);
}

// The first index (row or column) that brings `index` fully into a span of
// `room` pixels ending at the view's end, walking back from it.
template <typename Size>
int FirstToEndAt(int index, int room, Size size) {
  int first = index;
  int used = size(index);
  while (first > 1 && used + size(first - 1) <= room) {
    --first;
    used += size(first);
  }
  return first;
}

}  // namespace

std::uint32_t GridAverage(std::uint32_t a, std::uint32_t b) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t sum = ((a >> shift) & 0xFFu) + ((b >> shift) & 0xFFu);
    out |= (sum / 2) << shift;
  }
  return out;
}

int GridCellKind(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
  bool digit = false;
  int dots = 0;
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsDigit(c)) {
      digit = true;
    } else if (IsLetter(c) || IsBlank(c)) {
      return 1;
    } else if (c == '.') {
      if (++dots > 1) return 1;
    } else if (c == '+' || c == '-') {
      // A sign counts only as the very first character of the whole text.
      if (i != 0) return 1;
    }
  }
  return digit ? 2 : 1;
}

std::string GridColumnLetters(int column) {
  if (column < 1) return {};
  std::string out(2, ' ');
  if (column > 26) out[0] = static_cast<char>('A' + (column - 1) / 26 - 1);
  const int last = column % 26 == 0 ? 26 : column % 26;
  out[1] = static_cast<char>('A' + last - 1);
  return out;
}

bool GridCellRange::contains(int row, int column) const {
  if (empty()) return false;
  return row >= std::min(a.row, b.row) && row <= std::max(a.row, b.row) &&
         column >= std::min(a.column, b.column) && column <= std::max(a.column, b.column);
}

std::uint32_t GridCellBackground(const GridPaintState& state, const GridCellLook& cell) {
  const std::uint32_t* palette = state.palette;
  const std::uint32_t selection = state.focused ? state.selectionColor : state.unfocusedSelectionColor;
  if (cell.selected && cell.highlighted) return GridAverage(selection, palette[10]);
  if (cell.selected) {
    if ((state.style & 0x8000u) && (state.style & 0x20000u)) return GridAverage(selection, cell.background);
    return selection;
  }
  if (cell.highlighted) return palette[10];
  if (cell.readOnly) return palette[1];
  if (state.style & 0x8000u) return cell.background;
  return palette[2];
}

std::uint32_t GridCellTextColor(const GridPaintState& state, const GridCellLook& cell) {
  if (cell.marked && (state.style & 0x10000u)) return state.palette[9];
  if (!state.enabled) return kGridDisabledText;
  if (state.style & 0x8000u) return cell.text;
  return state.palette[3];
}

std::uint32_t GridHeaderBackground(const GridPaintState& state, bool inSelection) {
  if (inSelection) return state.focused ? state.palette[5] : state.unfocusedHeaderColor;
  return state.palette[8];
}

std::uint16_t GridAlignFlags(std::uint16_t flags, std::uint32_t alignment) {
  flags = static_cast<std::uint16_t>(flags & ~(kGridFlagOwnAlign | kGridFlagAlignMask));
  if (alignment == 0) return flags;
  flags |= kGridFlagOwnAlign;
  if (alignment & 0x2u) {
    flags |= 0x20;  // vertically centred
  } else if (alignment & 0x4u) {
    flags |= 0x40;  // bottom
  }
  if (alignment & 0x10u) {
    flags |= 0x10;  // horizontally centred
  } else if (alignment & 0x20u) {
    flags |= 0x08;  // right
  }
  return flags;
}

std::uint32_t GridAlignOf(std::uint16_t flags) {
  if (!(flags & kGridFlagOwnAlign)) return 0;
  std::uint32_t out = (flags & 0x20) ? 0x2u : (flags & 0x40) ? 0x4u : 0x1u;
  out |= (flags & 0x10) ? 0x10u : (flags & 0x08) ? 0x20u : 0x08u;
  return out;
}

GridTextPlacement GridPlaceText(std::uint32_t style, GridCellRole role, std::uint16_t cellFlags, int kind) {
  const bool ellipsis = (style & 0x4u) != 0;
  if (role == GridCellRole::ColumnHeader || role == GridCellRole::Corner)
    return {GridHAlign::Center, GridVAlign::Center, true};
  if (cellFlags & kGridFlagOwnAlign) {
    const std::uint32_t align = GridAlignOf(cellFlags);
    GridTextPlacement out;
    out.v = (align & 0x2u) ? GridVAlign::Center : (align & 0x4u) ? GridVAlign::Bottom : GridVAlign::Top;
    out.h = (align & 0x10u) ? GridHAlign::Center : (align & 0x20u) ? GridHAlign::Right : GridHAlign::Left;
    out.ellipsis = ellipsis;
    return out;
  }
  if (role == GridCellRole::RowHeader || kind == 2)
    return {(style & 0x80u) ? GridHAlign::Left : GridHAlign::Right, GridVAlign::Center, ellipsis};
  return {(style & 0x40u) ? GridHAlign::Right : GridHAlign::Left,
          ellipsis ? GridVAlign::Center : GridVAlign::Top, ellipsis};
}

GridCellPos GridClampToData(GridCellPos pos, int rows, int columns) {
  return {std::clamp(pos.row, 1, std::max(rows, 1)), std::clamp(pos.column, 1, std::max(columns, 1))};
}

std::optional<GridRect> GridCellRect(const GridLayout& layout, int row, int column) {
  if (row < 0 || column < 0 || row > layout.rowCount() || column > layout.columnCount()) return std::nullopt;
  if ((row > 0 && row < layout.firstRow) || (column > 0 && column < layout.firstColumn)) return std::nullopt;
  int x = 0;
  if (column > 0) {
    x = DataLeft(layout);
    for (int c = layout.firstColumn; c < column; ++c) {
      if (x >= layout.viewWidth) return std::nullopt;
      x += Width(layout, c);
    }
  }
  int y = layout.topOffset;
  if (row > 0) {
    y = DataTop(layout);
    for (int r = layout.firstRow; r < row; ++r) {
      if (y >= layout.viewHeight) return std::nullopt;
      y += Height(layout, r);
    }
  }
  if (x >= layout.viewWidth || y >= layout.viewHeight) return std::nullopt;
  return GridRect{x, y, x + Width(layout, column), y + Height(layout, row)};
}

std::vector<GridSpan> GridVisibleRows(const GridLayout& layout) {
  std::vector<GridSpan> out;
  int y = DataTop(layout);
  for (int r = layout.firstRow; r <= layout.rowCount() && y < layout.viewHeight; ++r) {
    const int h = Height(layout, r);
    if (h > 0) out.push_back({r, y, y + h});
    y += h;
  }
  return out;
}

std::vector<GridSpan> GridVisibleColumns(const GridLayout& layout) {
  std::vector<GridSpan> out;
  int x = DataLeft(layout);
  for (int c = layout.firstColumn; c <= layout.columnCount() && x < layout.viewWidth; ++c) {
    const int w = Width(layout, c);
    if (w > 0) out.push_back({c, x, x + w});
    x += w;
  }
  return out;
}

int GridTableRight(const GridLayout& layout) {
  int x = DataLeft(layout);
  for (int c = layout.firstColumn; c <= layout.columnCount() && x < layout.viewWidth; ++c)
    x += Width(layout, c);
  return x;
}

int GridTableBottom(const GridLayout& layout) {
  int y = DataTop(layout);
  for (int r = layout.firstRow; r <= layout.rowCount() && y < layout.viewHeight; ++r) y += Height(layout, r);
  return y;
}

std::optional<GridCellPos> GridHitTest(const GridLayout& layout, int x, int y) {
  if (x < 0 || y < layout.topOffset || x >= layout.viewWidth || y >= layout.viewHeight) return std::nullopt;
  GridCellPos pos;
  if (x >= DataLeft(layout)) {
    int left = DataLeft(layout);
    int c = layout.firstColumn;
    while (c <= layout.columnCount() && x >= left + Width(layout, c)) left += Width(layout, c++);
    if (c > layout.columnCount()) return std::nullopt;
    pos.column = c;
  }
  if (y >= DataTop(layout)) {
    int top = DataTop(layout);
    int r = layout.firstRow;
    while (r <= layout.rowCount() && y >= top + Height(layout, r)) top += Height(layout, r++);
    if (r > layout.rowCount()) return std::nullopt;
    pos.row = r;
  }
  return pos;
}

GridCellPos GridDragTarget(const GridLayout& layout, int x, int y, GridCellPos current) {
  const int dataLeft = DataLeft(layout), dataTop = DataTop(layout);
  const int right = std::min(layout.viewWidth, GridTableRight(layout));
  const int bottom = std::min(layout.viewHeight, GridTableBottom(layout));
  GridCellPos to = current;
  if (y < dataTop)
    to.row = layout.firstRow - 1;
  else if (y >= bottom)
    to.row = GridLastFullRow(layout) + 1;
  if (x < dataLeft)
    to.column = layout.firstColumn - 1;
  else if (x >= right)
    to.column = GridLastFullColumn(layout) + 1;
  const auto hit = GridHitTest(layout, std::clamp(x, dataLeft, std::max(dataLeft, right - 1)),
                               std::clamp(y, dataTop, std::max(dataTop, bottom - 1)));
  if (hit) {
    if (y >= dataTop && y < bottom) to.row = hit->row;
    if (x >= dataLeft && x < right) to.column = hit->column;
  }
  return to;
}

int GridLastFullRow(const GridLayout& layout) {
  int bottom = DataTop(layout);
  int last = layout.firstRow;
  for (int r = layout.firstRow; r <= layout.rowCount(); ++r) {
    bottom += Height(layout, r);
    if (bottom > layout.viewHeight) break;
    last = r;
  }
  return std::min(last, std::max(layout.rowCount(), 0));
}

int GridLastFullColumn(const GridLayout& layout) {
  int right = DataLeft(layout);
  int last = layout.firstColumn;
  for (int c = layout.firstColumn; c <= layout.columnCount(); ++c) {
    right += Width(layout, c);
    if (right > layout.viewWidth) break;
    last = c;
  }
  return std::min(last, std::max(layout.columnCount(), 0));
}

GridCellPos GridScrollToShow(const GridLayout& layout, int row, int column) {
  GridCellPos first{layout.firstRow, layout.firstColumn};
  auto height = [&](int r) { return Height(layout, r); };
  auto width = [&](int c) { return Width(layout, c); };
  if (row >= 1 && row <= layout.rowCount()) {
    if (row < layout.firstRow)
      first.row = row;
    else if (row > GridLastFullRow(layout))
      first.row = FirstToEndAt(row, layout.viewHeight - DataTop(layout), height);
  }
  if (column >= 1 && column <= layout.columnCount()) {
    if (column < layout.firstColumn)
      first.column = column;
    else if (column > GridLastFullColumn(layout))
      first.column = FirstToEndAt(column, layout.viewWidth - DataLeft(layout), width);
  }
  return first;
}

int GridMaxFirstRow(const GridLayout& layout) {
  if (layout.rowCount() < 1) return 1;
  return FirstToEndAt(layout.rowCount(), layout.viewHeight - DataTop(layout),
                      [&](int r) { return Height(layout, r); });
}

int GridMaxFirstColumn(const GridLayout& layout) {
  if (layout.columnCount() < 1) return 1;
  return FirstToEndAt(layout.columnCount(), layout.viewWidth - DataLeft(layout),
                      [&](int c) { return Width(layout, c); });
}
