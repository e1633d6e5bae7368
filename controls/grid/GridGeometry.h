#pragma once
// Pure rules of the grid control: cell kinds, header texts, the colours a
// cell is painted in, where its text goes, and the layout of rows and columns
// on screen (cell rectangles, hit testing, scrolling). The widget only draws
// and reacts from what these return.
//
// Thread contract: pure functions and plain values; any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Colours are 0x00BBGGRR words.
constexpr std::uint32_t GridRgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}

// Per-channel average of two colours, each channel truncated.
std::uint32_t GridAverage(std::uint32_t a, std::uint32_t b);

// 2 when the text is a number, 1 for any other text (the empty text too).
int GridCellKind(const std::string& text);

// The letters of a column header: " A" for column 1, "AA" for column 27.
std::string GridColumnLetters(int column);

// Cell addresses pack the row in the low 16 bits and the column in the high 16.
constexpr std::uint32_t GridAddress(int row, int column) {
  return (static_cast<std::uint32_t>(row) & 0xFFFFu) | ((static_cast<std::uint32_t>(column) & 0xFFFFu) << 16);
}
constexpr int GridAddressRow(std::uint32_t address) {
  return static_cast<int>(address & 0xFFFFu);
}
constexpr int GridAddressColumn(std::uint32_t address) {
  return static_cast<int>(address >> 16);
}

struct GridCellPos {
  int row = 0;
  int column = 0;
  bool operator==(const GridCellPos&) const = default;
};

// A rectangle of cells between two corners in any order.
struct GridCellRange {
  GridCellPos a;
  GridCellPos b;
  bool contains(int row, int column) const;
  bool empty() const { return a == GridCellPos{} && b == GridCellPos{}; }
};

// Inputs of the colour rules for one data cell.
struct GridCellLook {
  bool selected = false;
  bool highlighted = false;
  bool readOnly = false;
  bool marked = false;
  std::uint32_t background = GridRgb(255, 255, 255);
  std::uint32_t text = 0;
};

struct GridPaintState {
  std::uint32_t style = 0;
  bool focused = false;
  bool enabled = true;
  std::uint32_t selectionColor = GridRgb(128, 162, 219);
  const std::uint32_t* palette = nullptr;  // eleven colours
  // The selection's cells and headers while the grid has no focus.
  std::uint32_t unfocusedSelectionColor = GridRgb(180, 180, 180);
  std::uint32_t unfocusedHeaderColor = GridRgb(220, 220, 220);
};

inline constexpr std::uint32_t kGridUnfocusedSelection = GridRgb(180, 180, 180);
inline constexpr std::uint32_t kGridDisabledText = GridRgb(120, 120, 120);
inline constexpr std::uint32_t kGridUnfocusedHeader = GridRgb(220, 220, 220);
inline constexpr std::uint32_t kGridOutsideFill = GridRgb(128, 128, 128);

std::uint32_t GridCellBackground(const GridPaintState& state, const GridCellLook& cell);
std::uint32_t GridCellTextColor(const GridPaintState& state, const GridCellLook& cell);
// Header of a row (or column) that the selection covers, or not.
std::uint32_t GridHeaderBackground(const GridPaintState& state, bool inSelection);

// Where a text sits inside its cell.
enum class GridHAlign { Left, Center, Right };
enum class GridVAlign { Top, Center, Bottom };
struct GridTextPlacement {
  GridHAlign h = GridHAlign::Left;
  GridVAlign v = GridVAlign::Top;
  bool ellipsis = false;
};

enum class GridCellRole { Data, RowHeader, ColumnHeader, Corner };

// Stored alignment bits of a cell (flag 0x80 says the cell has its own).
inline constexpr std::uint16_t kGridFlagReadOnly = 0x2;
inline constexpr std::uint16_t kGridFlagMarked = 0x4;
inline constexpr std::uint16_t kGridFlagOwnAlign = 0x80;
inline constexpr std::uint16_t kGridFlagAlignMask = 0x78;

// Cell flags for a requested alignment (0 removes the cell's own alignment),
// and the alignment reported back for the stored flags.
std::uint16_t GridAlignFlags(std::uint16_t flags, std::uint32_t alignment);
std::uint32_t GridAlignOf(std::uint16_t flags);

GridTextPlacement GridPlaceText(std::uint32_t style, GridCellRole role, std::uint16_t cellFlags, int kind);

// A cell moved into the data rows and columns (row and column at least 1,
// also for a table without data cells).
GridCellPos GridClampToData(GridCellPos pos, int rows, int columns);

// Rows and columns on screen. Row 0 and column 0 (the headers) always show;
// data rows start at firstRow and data columns at firstColumn.
struct GridRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const GridRect&) const = default;
};

struct GridLayout {
  const std::vector<std::uint16_t>* widths = nullptr;   // columns, header included
  const std::vector<std::uint16_t>* heights = nullptr;  // rows, header included
  int topOffset = 0;
  int firstRow = 1;
  int firstColumn = 1;
  int viewWidth = 0;  // the area cells may use
  int viewHeight = 0;

  int rowCount() const { return static_cast<int>(heights->size()) - 1; }
  int columnCount() const { return static_cast<int>(widths->size()) - 1; }
};

// Where a cell is drawn; none when it is scrolled away or past the view.
std::optional<GridRect> GridCellRect(const GridLayout& layout, int row, int column);
// A data row or column on screen: its index and pixel span [start, end).
struct GridSpan {
  int index = 0;
  int start = 0;
  int end = 0;
  bool operator==(const GridSpan&) const = default;
};
// The data rows (columns) on screen in order, from the first one shown to the
// last that starts inside the view; rows and columns of size 0 are left out.
std::vector<GridSpan> GridVisibleRows(const GridLayout& layout);
std::vector<GridSpan> GridVisibleColumns(const GridLayout& layout);
// The right and bottom ends of the drawn table (past them the area is filled grey).
int GridTableRight(const GridLayout& layout);
int GridTableBottom(const GridLayout& layout);
// The cell under a point (row or column 0 for the headers); none outside the table.
std::optional<GridCellPos> GridHitTest(const GridLayout& layout, int x, int y);
// The cell a drag at (x, y) reaches from the current cell: the data cell under
// the point, or past an edge of the data area the next row or column beyond
// what shows (before the first one shown, after the last whole one). The
// result may lie outside the table; callers clamp it.
GridCellPos GridDragTarget(const GridLayout& layout, int x, int y, GridCellPos current);
// The last data row (column) that shows entirely from the first one, at least the first.
int GridLastFullRow(const GridLayout& layout);
int GridLastFullColumn(const GridLayout& layout);
// The first row and column that bring the cell fully into view, changing
// as little as possible.
GridCellPos GridScrollToShow(const GridLayout& layout, int row, int column);
// The largest first row (column) that still fills the view as far as possible.
int GridMaxFirstRow(const GridLayout& layout);
int GridMaxFirstColumn(const GridLayout& layout);
