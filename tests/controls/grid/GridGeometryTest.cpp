#include <gtest/gtest.h>

#include "controls/grid/GridCells.h"
#include "controls/grid/GridGeometry.h"

namespace {

TEST(GridRules, CellKindTellsNumbersFromText) {
  for (const char* number : {"12.5", "-3", "007", "+3", "  42", ".5", "5."})
    EXPECT_EQ(GridCellKind(number), 2) << number;
  for (const char* text : {"1.2.3", "4-5", "7 5", " +3", "", "   ", "-", ".", "12a", "1e5", "42 "})
    EXPECT_EQ(GridCellKind(text), 1) << '"' << text << '"';
}

TEST(GridRules, ColumnLettersRunFromBlankAToDoubleLetters) {
  EXPECT_EQ(GridColumnLetters(1), " A");
  EXPECT_EQ(GridColumnLetters(26), " Z");
  EXPECT_EQ(GridColumnLetters(27), "AA");
  EXPECT_EQ(GridColumnLetters(52), "AZ");
  EXPECT_EQ(GridColumnLetters(53), "BA");
  EXPECT_EQ(GridColumnLetters(256), "IV");
  EXPECT_EQ(GridColumnLetters(0), "");
}

TEST(GridRules, AddressesPackRowLowColumnHigh) {
  EXPECT_EQ(GridAddress(5, 3), 0x00030005u);
  EXPECT_EQ(GridAddressRow(0x00030005u), 5);
  EXPECT_EQ(GridAddressColumn(0x00030005u), 3);
}

class GridColours : public ::testing::Test {
 protected:
  std::uint32_t palette[11] = {0,
                               GridRgb(230, 230, 230),
                               GridRgb(255, 255, 255),
                               GridRgb(0, 0, 0),
                               GridRgb(255, 255, 255),
                               GridRgb(248, 237, 158),
                               GridRgb(255, 255, 255),
                               GridRgb(220, 220, 220),
                               GridRgb(240, 240, 240),
                               GridRgb(255, 0, 0),
                               GridRgb(255, 255, 0)};
  GridPaintState state{0x00130001, true, true, GridRgb(128, 162, 219), palette};
};

TEST_F(GridColours, SelectedAndHighlightedAverageTheTwoColours) {
  GridCellLook both;
  both.selected = both.highlighted = true;
  EXPECT_EQ(GridCellBackground(state, both), GridRgb(191, 208, 109));
  state.focused = false;
  EXPECT_EQ(GridCellBackground(state, both), GridRgb(217, 217, 90));
}

TEST_F(GridColours, BackgroundFollowsTheOrderOfTheRules) {
  GridCellLook cell;
  cell.background = GridRgb(0, 0, 100);
  cell.readOnly = true;
  EXPECT_EQ(GridCellBackground(state, cell), palette[1]);  // read-only wins over own colours
  cell.readOnly = false;
  EXPECT_EQ(GridCellBackground(state, cell), palette[2]);
  state.style |= 0x8000;
  EXPECT_EQ(GridCellBackground(state, cell), GridRgb(0, 0, 100));
  cell.highlighted = true;
  EXPECT_EQ(GridCellBackground(state, cell), palette[10]);
  cell.highlighted = false;
  cell.selected = true;
  // Own colours with blending: the selection colour averaged with the cell's own.
  EXPECT_EQ(GridCellBackground(state, cell), GridRgb(64, 81, 159));
  state.style &= ~0x20000u;
  EXPECT_EQ(GridCellBackground(state, cell), GridRgb(128, 162, 219));
  state.focused = false;
  EXPECT_EQ(GridCellBackground(state, cell), GridRgb(180, 180, 180));
}

TEST_F(GridColours, TextColourPrefersMarksThenDisabledThenOwn) {
  GridCellLook cell;
  cell.text = GridRgb(0, 128, 0);
  cell.marked = true;
  EXPECT_EQ(GridCellTextColor(state, cell), palette[9]);
  state.style &= ~0x10000u;
  EXPECT_EQ(GridCellTextColor(state, cell), palette[3]);
  state.style |= 0x8000;
  EXPECT_EQ(GridCellTextColor(state, cell), GridRgb(0, 128, 0));
  state.enabled = false;
  EXPECT_EQ(GridCellTextColor(state, cell), kGridDisabledText);
  EXPECT_EQ(GridHeaderBackground(state, true), palette[5]);
  state.focused = false;
  EXPECT_EQ(GridHeaderBackground(state, true), kGridUnfocusedHeader);
  EXPECT_EQ(GridHeaderBackground(state, false), palette[8]);
}

TEST(GridRules, AlignmentRoundTripsAndKeepsOtherFlags) {
  const std::uint16_t flags = kGridFlagReadOnly | kGridFlagMarked;
  EXPECT_EQ(GridAlignOf(flags), 0u);
  EXPECT_EQ(GridAlignOf(GridAlignFlags(flags, 0x2 | 0x10)), 0x2u | 0x10u);
  EXPECT_EQ(GridAlignOf(GridAlignFlags(flags, 0x4 | 0x20)), 0x4u | 0x20u);
  // Neither vertical bit means top; neither horizontal bit means left.
  EXPECT_EQ(GridAlignOf(GridAlignFlags(flags, 0x1)), 0x1u | 0x08u);
  // Centred wins when both vertical (or both horizontal) bits are given.
  EXPECT_EQ(GridAlignOf(GridAlignFlags(flags, 0x2 | 0x4 | 0x10 | 0x20)), 0x2u | 0x10u);
  const std::uint16_t set = GridAlignFlags(flags, 0x4 | 0x20);
  EXPECT_EQ(set & (kGridFlagReadOnly | kGridFlagMarked), flags);
  EXPECT_EQ(GridAlignFlags(set, 0), flags);
}

TEST(GridRules, TextPlacementByRoleKindAndStyle) {
  auto place = [](std::uint32_t style, GridCellRole role, std::uint16_t flags, int kind) {
    const GridTextPlacement p = GridPlaceText(style, role, flags, kind);
    return std::tuple(p.h, p.v, p.ellipsis);
  };
  using H = GridHAlign;
  using V = GridVAlign;
  EXPECT_EQ(place(0, GridCellRole::Data, 0, 1), std::tuple(H::Left, V::Top, false));
  EXPECT_EQ(place(0x40, GridCellRole::Data, 0, 1), std::tuple(H::Right, V::Top, false));
  EXPECT_EQ(place(0x4, GridCellRole::Data, 0, 1), std::tuple(H::Left, V::Center, true));
  EXPECT_EQ(place(0, GridCellRole::Data, 0, 2), std::tuple(H::Right, V::Center, false));
  EXPECT_EQ(place(0x84, GridCellRole::Data, 0, 2), std::tuple(H::Left, V::Center, true));
  EXPECT_EQ(place(0, GridCellRole::RowHeader, 0, 1), std::tuple(H::Right, V::Center, false));
  EXPECT_EQ(place(0, GridCellRole::ColumnHeader, 0, 1), std::tuple(H::Center, V::Center, true));
  const std::uint16_t own = GridAlignFlags(0, 0x4 | 0x10);
  EXPECT_EQ(place(0, GridCellRole::Data, own, 2), std::tuple(H::Center, V::Bottom, false));
}

class GridLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cells.resize(100, 20);
    lay.widths = &cells.widths();
    lay.heights = &cells.heights();
    lay.viewWidth = 300;   // header 50 + five columns of 50
    lay.viewHeight = 220;  // header 21 + nine rows of 21 + 10 pixels of a tenth
  }
  GridCells cells;
  GridLayout lay;
};

TEST_F(GridLayoutTest, CellRectanglesFollowSizesOffsetAndScrolling) {
  EXPECT_EQ(GridCellRect(lay, 0, 0), (GridRect{0, 0, 50, 21}));
  EXPECT_EQ(GridCellRect(lay, 1, 1), (GridRect{50, 21, 100, 42}));
  cells.widths()[1] = 80;
  EXPECT_EQ(GridCellRect(lay, 3, 2), (GridRect{130, 63, 180, 84}));
  lay.topOffset = 5;
  lay.firstRow = 3;
  lay.firstColumn = 2;
  EXPECT_EQ(GridCellRect(lay, 0, 2), (GridRect{50, 5, 100, 26}));
  EXPECT_EQ(GridCellRect(lay, 3, 2), (GridRect{50, 26, 100, 47}));
  EXPECT_FALSE(GridCellRect(lay, 2, 2));  // scrolled away
  EXPECT_FALSE(GridCellRect(lay, 3, 1));
  EXPECT_FALSE(GridCellRect(lay, 3, 20));   // past the view
  EXPECT_FALSE(GridCellRect(lay, 101, 2));  // outside the table
  EXPECT_TRUE(GridCellRect(lay, 3, 0));     // headers always show
}

TEST_F(GridLayoutTest, VisibleSpansStopAtTheViewAndSkipEmptySizes) {
  lay.firstColumn = 17;
  const auto columns = GridVisibleColumns(lay);
  ASSERT_EQ(columns.size(), 4u);  // 17 to 20, the last of the table
  EXPECT_EQ(columns.front(), (GridSpan{17, 50, 100}));
  EXPECT_EQ(columns.back(), (GridSpan{20, 200, 250}));
  const auto rows = GridVisibleRows(lay);
  ASSERT_EQ(rows.size(), 10u);  // nine whole rows and part of a tenth
  EXPECT_EQ(rows.back(), (GridSpan{10, 210, 231}));
  // Rows of height 0 draw nothing and cost nothing more than a step.
  cells.resize(32000, 256);
  for (auto& h : cells.heights()) h = 0;
  for (auto& w : cells.widths()) w = 0;
  EXPECT_TRUE(GridVisibleRows(lay).empty());
  EXPECT_TRUE(GridVisibleColumns(lay).empty());
  EXPECT_FALSE(GridHitTest(lay, 10, 10));
}

TEST_F(GridLayoutTest, HitTestFindsCellsHeadersAndNothingOutside) {
  EXPECT_EQ(GridHitTest(lay, 10, 10), (GridCellPos{0, 0}));
  EXPECT_EQ(GridHitTest(lay, 10, 30), (GridCellPos{1, 0}));
  EXPECT_EQ(GridHitTest(lay, 60, 5), (GridCellPos{0, 1}));
  EXPECT_EQ(GridHitTest(lay, 149, 62), (GridCellPos{2, 2}));
  EXPECT_EQ(GridHitTest(lay, 150, 63), (GridCellPos{3, 3}));
  lay.firstRow = 10;
  EXPECT_EQ(GridHitTest(lay, 150, 30), (GridCellPos{10, 3}));
  lay.topOffset = 20;
  EXPECT_FALSE(GridHitTest(lay, 60, 10));
  EXPECT_FALSE(GridHitTest(lay, 300, 30));
  // Right of the last column of a narrow table.
  cells.resize(2, 2);
  lay.firstRow = 1;
  EXPECT_FALSE(GridHitTest(lay, 160, 50));
  EXPECT_FALSE(GridHitTest(lay, 60, 90));
  EXPECT_EQ(GridTableRight(lay), 150);
  EXPECT_EQ(GridTableBottom(lay), 83);
}

TEST_F(GridLayoutTest, DragsReachTheCellUnderThePointOrOnPastAnEdge) {
  const GridCellPos from{4, 4};
  EXPECT_EQ(GridDragTarget(lay, 160, 70, from), (GridCellPos{3, 3}));
  // Below the view: the row after the last whole one; the column stays under the point.
  EXPECT_EQ(GridDragTarget(lay, 160, 400, from), (GridCellPos{10, 3}));
  // Over the headers: the row (column) before the first one shown.
  lay.firstRow = 20;
  lay.firstColumn = 5;
  EXPECT_EQ(GridDragTarget(lay, 10, 5, from), (GridCellPos{19, 4}));
  EXPECT_EQ(GridDragTarget(lay, 400, 30, from), (GridCellPos{20, 10}));
  // Below a short table that ends inside the view: past its last row.
  cells.resize(3, 3);
  lay.firstRow = lay.firstColumn = 1;
  EXPECT_EQ(GridDragTarget(lay, 120, 150, from), (GridCellPos{4, 2}));
}

TEST_F(GridLayoutTest, ScrollingBringsCellsFullyIntoView) {
  EXPECT_EQ(GridLastFullRow(lay), 9);
  EXPECT_EQ(GridLastFullColumn(lay), 5);
  EXPECT_EQ(GridScrollToShow(lay, 5, 5), (GridCellPos{1, 1}));
  // Row 10 shows only in part: one row down is enough.
  EXPECT_EQ(GridScrollToShow(lay, 10, 1), (GridCellPos{2, 1}));
  EXPECT_EQ(GridScrollToShow(lay, 100, 20), (GridCellPos{92, 16}));
  lay.firstRow = 50;
  lay.firstColumn = 10;
  EXPECT_EQ(GridScrollToShow(lay, 20, 3), (GridCellPos{20, 3}));
  EXPECT_EQ(GridScrollToShow(lay, 0, 0), (GridCellPos{50, 10}));  // headers need no scrolling
  EXPECT_EQ(GridMaxFirstRow(lay), 92);
  EXPECT_EQ(GridMaxFirstColumn(lay), 16);
  // A cell larger than the view is brought to the first place.
  cells.heights()[40] = 500;
  EXPECT_EQ(GridScrollToShow(lay, 40, 10).row, 40);
}

TEST(GridCellsTest, ResizeCutsToLimitsAndKeepsCellsThatFit) {
  GridCells cells;
  EXPECT_EQ(cells.rows(), 10);
  EXPECT_EQ(cells.columns(), 10);
  cells.edit(2, 3).text = "kept";
  cells.edit(9, 9).text = "lost";
  cells.widths()[3] = 77;
  cells.resize(40000, 300);
  EXPECT_EQ(cells.rows(), 32000);
  EXPECT_EQ(cells.columns(), 256);
  EXPECT_EQ(cells.at(2, 3).text, "kept");
  EXPECT_EQ(cells.widths()[3], 77);
  EXPECT_EQ(cells.widths()[256], 50);
  EXPECT_EQ(cells.heights()[32000], 21);
  EXPECT_EQ(cells.at(32000, 256).background, 0x00FFFFFFu);
  cells.edit(32000, 256).text = "far";
  cells.resize(5, 5);
  EXPECT_EQ(cells.at(2, 3).text, "kept");
  cells.resize(9, 9);
  EXPECT_EQ(cells.at(9, 9).text, "");  // cut away and back: fresh
  cells.resize(-1, -1);
  EXPECT_EQ(cells.rows(), 0);
  EXPECT_EQ(cells.columns(), 0);
  EXPECT_TRUE(cells.contains(0, 0));
  EXPECT_FALSE(cells.contains(1, 0));
}

TEST(GridCellsTest, RangeTextJoinsCellsByTabsAndRowsByLines) {
  GridCells cells;
  cells.resize(3, 3);
  cells.edit(1, 1).text = "a";
  cells.edit(1, 2).text = "b";
  cells.edit(2, 2).text = "12.5";
  EXPECT_EQ(cells.rangeText(2, 2, 1, 1), "a\tb\n\t12.5\n");
  EXPECT_EQ(cells.rangeText(2, 2, 2, 2), "12.5\n");
  // Corners outside the table are cut to it.
  EXPECT_EQ(cells.rangeText(3, 2, 9, 9), "\t\n");
}

}  // namespace
