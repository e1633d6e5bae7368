#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "controls/common/QvColor.h"
#include "controls/grid/QvGridControl.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

struct Notice {
  int code;
  std::uint32_t address;
};

class GridControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.resize(400, 300);
    grid.setControlId(1004);
    QObject::connect(&grid, &QvGridControl::notify,
                     [this](QvGridControl* from, int id, int code, std::uint32_t address) {
                       EXPECT_EQ(from, &grid);
                       EXPECT_EQ(id, 1004);
                       notices.push_back({code, address});
                     });
  }

  int Count(int code) const {
    return static_cast<int>(
        std::count_if(notices.begin(), notices.end(), [code](const Notice& n) { return n.code == code; }));
  }

  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&grid, &press);
  }
  void Type(const QString& text) {
    for (const QChar c : text) Key(0, Qt::NoModifier, QString(c));
  }

  void Mouse(QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF pos(at);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, grid.mapToGlobal(pos), Qt::LeftButton, buttons, modifiers);
    QApplication::sendEvent(&grid, &event);
  }

  // The centre of a cell on screen.
  QPoint Centre(int row, int column) const {
    const auto r = GridCellRect(grid.layout(), row, column);
    EXPECT_TRUE(r.has_value());
    return r ? QPoint((r->left + r->right) / 2, (r->top + r->bottom) / 2) : QPoint();
  }
  // The colour at a point of a cell that no text or border covers.
  QColor CellColour(int row, int column) {
    const auto r = GridCellRect(grid.layout(), row, column);
    EXPECT_TRUE(r.has_value());
    const QImage frame = grid.renderFrame();
    return frame.pixelColor(r->left + 3, r->bottom - 3);
  }

  void Focus() {
    QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(&grid, &in);
  }

  QvGridControl grid;
  std::vector<Notice> notices;
};

TEST_F(GridControlTest, StartsWithItsDefaults) {
  EXPECT_STREQ(QvGridControl::kClassName, "QVGRIDCONTROL");
  EXPECT_EQ(grid.getStyle(), 0x00130001u);
  EXPECT_EQ(grid.getRowCount(), 10);
  EXPECT_EQ(grid.getColCount(), 10);
  EXPECT_EQ(grid.getCurRow(), 1);
  EXPECT_EQ(grid.getCurCol(), 1);
  EXPECT_EQ(grid.getColWidth(0), 50);
  EXPECT_EQ(grid.getRowHeight(10), 21);
  EXPECT_EQ(grid.getPalette(1), GridRgb(230, 230, 230));
  EXPECT_EQ(grid.getPalette(10), GridRgb(255, 255, 0));
  EXPECT_EQ(grid.getPalette(11), 0u);
  EXPECT_EQ(grid.getPalette(-1), 0u);
  EXPECT_EQ(grid.setPalette(11, 1), 0);
  EXPECT_EQ(grid.selectionColor(), GridRgb(128, 162, 219));
  EXPECT_EQ(grid.getOption(), 0);
  grid.setOption(true);
  EXPECT_EQ(grid.getOption(), 1);
  EXPECT_EQ(grid.state() & QvGridControl::kStateOption, QvGridControl::kStateOption);
}

TEST_F(GridControlTest, StyleBitsSetClearAndZeroClearsAll) {
  grid.setStyle(0x4000, false);
  EXPECT_EQ(grid.getStyle(), 0x00134001u);
  grid.clearStyle(0x1, false);
  EXPECT_EQ(grid.getStyle(), 0x00134000u);
  grid.setStyle(0, false);
  EXPECT_EQ(grid.getStyle(), 0u);
}

TEST_F(GridControlTest, BadAddressesNotifyAndFail) {
  grid.setSize(3, 4);
  char buffer[16] = "untouched";
  EXPECT_EQ(grid.getCellText(GridAddress(5, 1), buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "untouched");
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].code, 3);
  EXPECT_EQ(notices[0].address, GridAddress(5, 1));
  EXPECT_EQ(grid.setCellText(GridAddress(1, 5), "x"), 0);
  EXPECT_EQ(grid.getCellKind(GridAddress(4, 1)), 0);
  EXPECT_EQ(grid.setReadOnly(GridAddress(4, 1), true), -1);
  EXPECT_EQ(grid.getReadOnly(GridAddress(1, 9)), -1);
  EXPECT_EQ(grid.getCellBkColor(GridAddress(9, 9)), 0u);
  EXPECT_EQ(grid.getTextLength(4, 4), 0);
  EXPECT_EQ(Count(3), 7);
  // Headers are part of the table.
  EXPECT_EQ(grid.setCellText(GridAddress(0, 4), "Load"), 1);
  EXPECT_EQ(grid.cellText(0, 4), "Load");
  EXPECT_EQ(Count(3), 7);
}

TEST_F(GridControlTest, TextsCopyOutBoundedAndKindsFollowTheText) {
  ASSERT_EQ(grid.setCellText(GridAddress(2, 3), "1234.5"), 1);
  char small[5];
  std::memset(small, 'z', sizeof small);
  EXPECT_EQ(grid.getCellText(GridAddress(2, 3), small, sizeof small), 1);
  EXPECT_STREQ(small, "1234");
  EXPECT_EQ(grid.getTextLength(2, 3), 6);
  EXPECT_EQ(grid.getCellKind(GridAddress(2, 3)), 2);
  grid.setCellText(GridAddress(2, 3), "rpm");
  EXPECT_EQ(grid.getCellKind(GridAddress(2, 3)), 1);
  grid.setCellText(GridAddress(2, 3), nullptr);
  EXPECT_EQ(grid.cellText(2, 3), "");
  EXPECT_EQ(grid.getCellKind(GridAddress(2, 3)), 1);
}

TEST_F(GridControlTest, ClearTextEmptiesEveryCellAndResetsTheSelection) {
  grid.setCellText(GridAddress(0, 2), "head");
  grid.setCellText(GridAddress(7, 7), "x");
  grid.setCellBkColor(GridAddress(7, 7), 0x123456);
  grid.setCurrent(5, 6);
  grid.clearText();
  EXPECT_EQ(grid.cellText(0, 2), "");
  EXPECT_EQ(grid.cellText(7, 7), "");
  EXPECT_EQ(grid.getCellBkColor(GridAddress(7, 7)), 0x123456u);
  std::uint32_t anchor = 0, current = 0;
  grid.getSelection(&anchor, &current);
  EXPECT_EQ(anchor, GridAddress(1, 1));
  EXPECT_EQ(current, GridAddress(1, 1));
}

TEST_F(GridControlTest, SetSizeCutsToTheLimitsAndKeepsTheCurrentCellInside) {
  grid.setCurrent(8, 9);
  grid.setSize(40000, 300);
  EXPECT_EQ(grid.getRowCount(), 32000);
  EXPECT_EQ(grid.getColCount(), 256);
  EXPECT_EQ(grid.getColWidth(256), 50);
  EXPECT_EQ(grid.setCellText(GridAddress(32000, 256), "last"), 1);
  grid.setCurrent(32000, 256);
  EXPECT_EQ(grid.firstRow(), GridMaxFirstRow(grid.layout()));
  grid.setSize(4, 3);
  EXPECT_EQ(grid.getCurRow(), 4);
  EXPECT_EQ(grid.getCurCol(), 3);
  EXPECT_EQ(grid.firstRow(), 1);
  grid.setSize(0, 0);
  EXPECT_EQ(grid.getRowCount(), 0);
  grid.renderFrame();  // an empty table still draws
}

TEST_F(GridControlTest, SetCurrentChecksRangeAndCollapsesTheSelection) {
  grid.setSelection(GridAddress(2, 2), GridAddress(4, 5));
  grid.setCurrent(0, 3);
  grid.setCurrent(3, 11);
  EXPECT_EQ(grid.getCurRow(), 4);
  EXPECT_EQ(grid.getCurCol(), 5);
  grid.setCurrent(6, 7);
  std::uint32_t anchor = 0, current = 0;
  grid.getSelection(&anchor, &current);
  EXPECT_EQ(anchor, GridAddress(6, 7));
  EXPECT_EQ(current, GridAddress(6, 7));
  EXPECT_EQ(grid.setSelection(GridAddress(1, 1), GridAddress(11, 1)), 0);
  EXPECT_EQ(Count(3), 1);
}

TEST_F(GridControlTest, FlagsColoursAndAlignmentPerCell) {
  const std::uint32_t at = GridAddress(3, 3);
  EXPECT_EQ(grid.setReadOnly(at, true), 1);
  EXPECT_EQ(grid.getReadOnly(at), 0x2);
  grid.setMark(at, true);
  EXPECT_EQ(grid.getMark(at), 0x4);
  grid.setAlign(at, 0x4 | 0x20);
  EXPECT_EQ(grid.getAlign(at), 0x4u | 0x20u);
  grid.clearMarks(false);
  EXPECT_EQ(grid.getMark(at), 0);
  EXPECT_EQ(grid.getReadOnly(at), 0x2);
  EXPECT_EQ(grid.getAlign(at), 0x4u | 0x20u);
  grid.setReadOnly(at, false);
  EXPECT_EQ(grid.getReadOnly(at), 0);
  grid.setCellBkColor(at, 0xFF00FF00u);
  EXPECT_EQ(grid.getCellBkColor(at), 0xFF00FF00u);  // upper byte kept
  grid.setCellTextColor(at, 0x0000FFu);
  EXPECT_EQ(grid.getCellTextColor(at), 0x0000FFu);
  grid.setTopOffset(-5);
  EXPECT_EQ(grid.topOffset(), 0);
  grid.setTopOffset(1 << 30);
  EXPECT_EQ(grid.topOffset(), 0xFFFF);
  grid.renderFrame();
  grid.setTopOffset(0);
  grid.setColWidth(11, 90);  // out of range: nothing
  grid.setColWidth(10, 90);
  EXPECT_EQ(grid.getColWidth(10), 90);
  EXPECT_EQ(grid.getColWidth(11), 0);
}

TEST_F(GridControlTest, PaintsSelectedAndHighlightedCellsInTheBlendedColour) {
  Focus();
  EXPECT_EQ(grid.state() & QvGridControl::kStateFocus, QvGridControl::kStateFocus);
  grid.setSelection(GridAddress(2, 2), GridAddress(3, 3));
  grid.setHighlight(GridAddress(3, 3), GridAddress(4, 4));
  EXPECT_EQ(CellColour(3, 3), QColor(191, 208, 109));  // selected and highlighted
  EXPECT_EQ(CellColour(2, 2), QColor(128, 162, 219));  // selected
  EXPECT_EQ(CellColour(4, 4), QColor(255, 255, 0));    // highlighted
  EXPECT_EQ(CellColour(5, 5), QColor(255, 255, 255));
  grid.setReadOnly(GridAddress(5, 5), true);
  EXPECT_EQ(CellColour(5, 5), QColor(230, 230, 230));
  // Own colours blended into the selection.
  grid.setStyle(QvGridControl::kStyleCellColors, false);
  grid.setCellBkColor(GridAddress(2, 2), GridRgb(0, 0, 100));
  EXPECT_EQ(CellColour(2, 2), QColor(64, 81, 159));
  QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
  QApplication::sendEvent(&grid, &out);
  EXPECT_EQ(CellColour(3, 3), QColor(217, 217, 90));
  EXPECT_EQ(Count(0x17), 1);
  EXPECT_EQ(Count(0x18), 1);
}

TEST_F(GridControlTest, HeadersShowNumbersLettersOrTheirOwnText) {
  grid.setCellText(GridAddress(0, 1), "Load");
  grid.setStyle(QvGridControl::kStyleColumnLetters | QvGridControl::kStyleRowNumbers, false);
  grid.setSize(5, 30);
  grid.setColWidth(0, 40);
  grid.setStyle(QvGridControl::kStyleRowHeaderSelection, false);
  Focus();
  grid.setSelection(GridAddress(2, 1), GridAddress(3, 2));
  const QImage frame = grid.renderFrame();
  const auto header = GridCellRect(grid.layout(), 2, 0);
  ASSERT_TRUE(header);
  EXPECT_EQ(frame.pixelColor(header->left + 3, header->bottom - 4), QColor(248, 237, 158));
  const auto other = GridCellRect(grid.layout(), 4, 0);
  EXPECT_EQ(frame.pixelColor(other->left + 3, other->bottom - 4), QvColorFromRef(grid.getPalette(8)));
  // The area right of the last column and below the last row is grey.
  grid.setSize(2, 2);
  const QImage small = grid.renderFrame();
  EXPECT_EQ(small.pixelColor(390, 290), QColor(128, 128, 128));
}

TEST_F(GridControlTest, ArrowKeysMoveAndShiftExtends) {
  Key(Qt::Key_Right);
  Key(Qt::Key_Down);
  EXPECT_EQ(grid.getCurRow(), 2);
  EXPECT_EQ(grid.getCurCol(), 2);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  std::uint32_t anchor = 0, current = 0;
  grid.getSelection(&anchor, &current);
  EXPECT_EQ(anchor, GridAddress(2, 2));
  EXPECT_EQ(current, GridAddress(3, 3));
  Key(Qt::Key_Left);
  grid.getSelection(&anchor, &current);
  EXPECT_EQ(anchor, current);
  // Movement stops at the edges of the data cells.
  for (int i = 0; i < 5; ++i) Key(Qt::Key_Up);
  EXPECT_EQ(grid.getCurRow(), 1);
  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(grid.getCurRow(), 10);
  EXPECT_EQ(grid.getCurCol(), 10);
  Key(Qt::Key_Tab);
  EXPECT_EQ(grid.getCurRow(), 1);  // Tab past the last cell wraps to the first
  EXPECT_EQ(grid.getCurCol(), 1);
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(grid.getCurRow(), 10);
  EXPECT_EQ(grid.getCurCol(), 10);
  EXPECT_GE(Count(QvGridControl::kNotifySelectionChanged), 8);
}

TEST_F(GridControlTest, PagingAndMovingScrollTheCurrentCellIntoView) {
  grid.setSize(200, 40);
  grid.setScrollBars(true, true);
  Key(Qt::Key_PageDown);
  Key(Qt::Key_PageDown);
  const GridLayout lay = grid.layout();
  EXPECT_GT(grid.getCurRow(), 20);
  EXPECT_GE(grid.getCurRow(), grid.firstRow());
  EXPECT_LE(grid.getCurRow(), GridLastFullRow(lay));
  Key(Qt::Key_End);
  EXPECT_EQ(grid.getCurCol(), 40);
  EXPECT_EQ(GridLastFullColumn(grid.layout()), 40);
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(grid.firstRow(), 1);
  EXPECT_EQ(grid.firstColumn(), 1);
  // The wheel scrolls three rows a notch and never past the ends.
  QWheelEvent down(QPointF(100, 100), grid.mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -240),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&grid, &down);
  EXPECT_EQ(grid.firstRow(), 7);
  // Small steps add up to a notch.
  for (int i = 0; i < 4; ++i) {
    QWheelEvent step(QPointF(100, 100), grid.mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -30),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&grid, &step);
    EXPECT_EQ(grid.firstRow(), i < 3 ? 7 : 10);
  }
  grid.scrollTo(100000, 100000);
  EXPECT_EQ(grid.firstRow(), GridMaxFirstRow(grid.layout()));
  EXPECT_EQ(grid.firstColumn(), GridMaxFirstColumn(grid.layout()));
}

TEST_F(GridControlTest, MouseSelectsDragsAndPicksWholeRowsAndColumns) {
  Mouse(QEvent::MouseButtonPress, Centre(2, 2));
  Mouse(QEvent::MouseMove, Centre(4, 3));
  Mouse(QEvent::MouseButtonRelease, Centre(4, 3));
  std::uint32_t anchor = 0, current = 0;
  grid.getSelection(&anchor, &current);
  EXPECT_EQ(anchor, GridAddress(2, 2));
  EXPECT_EQ(current, GridAddress(4, 3));
  Mouse(QEvent::MouseButtonPress, Centre(5, 5), Qt::ShiftModifier);
  Mouse(QEvent::MouseButtonRelease, Centre(5, 5));
  grid.getSelection(&anchor, &current);
  EXPECT_EQ(anchor, GridAddress(2, 2));
  EXPECT_EQ(current, GridAddress(5, 5));
  Mouse(QEvent::MouseButtonPress, Centre(0, 3));
  Mouse(QEvent::MouseButtonRelease, Centre(0, 3));
  grid.getSelection(&anchor, &current);
  EXPECT_EQ(anchor, GridAddress(10, 3));
  EXPECT_EQ(current, GridAddress(1, 3));
  Mouse(QEvent::MouseButtonPress, Centre(4, 0));
  grid.getSelection(&anchor, &current);
  EXPECT_EQ(anchor, GridAddress(4, 10));
  EXPECT_EQ(current, GridAddress(4, 1));
  // Dragging past the bottom edge scrolls on into hidden rows.
  grid.setSize(100, 5);
  Mouse(QEvent::MouseButtonPress, Centre(3, 2));
  for (int i = 0; i < 5; ++i) Mouse(QEvent::MouseMove, QPoint(120, 299));
  EXPECT_GT(grid.firstRow(), 1);
  EXPECT_GT(grid.getCurRow(), GridLastFullRow(GridLayout{grid.layout()}) - 1);
}

TEST_F(GridControlTest, HoldingADragPastTheEdgeKeepsScrolling) {
  grid.setSize(500, 5);
  Mouse(QEvent::MouseButtonPress, Centre(2, 2));
  Mouse(QEvent::MouseMove, QPoint(120, 350));  // below the grid, held there
  const int afterMove = grid.firstRow();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (grid.firstRow() < afterMove + 3 && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_GE(grid.firstRow(), afterMove + 3);
  std::uint32_t anchor = 0;
  grid.getSelection(&anchor, nullptr);
  EXPECT_EQ(anchor, GridAddress(2, 2));
  // Releasing stops it.
  Mouse(QEvent::MouseButtonRelease, QPoint(120, 350));
  const int released = grid.firstRow();
  for (int i = 0; i < 10; ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(grid.firstRow(), released);
}

TEST_F(GridControlTest, TypingEditsCellsThatAreNotReadOnly) {
  grid.setCurrent(2, 2);
  Type("12.5");
  EXPECT_TRUE(grid.editing());
  EXPECT_EQ(grid.editText(), "12.5");
  Key(Qt::Key_Backspace);
  Type("7");
  Key(Qt::Key_Return);
  EXPECT_FALSE(grid.editing());
  EXPECT_EQ(grid.cellText(2, 2), "12.7");
  EXPECT_EQ(grid.getCurRow(), 3);  // Enter moves down
  ASSERT_EQ(Count(QvGridControl::kNotifyCellEdited), 1);
  // Escape drops the edit; F2 edits the present text.
  grid.setCurrent(2, 2);
  Type("99");
  Key(Qt::Key_Escape);
  EXPECT_EQ(grid.cellText(2, 2), "12.7");
  Key(Qt::Key_F2);
  Type("5");
  Key(Qt::Key_Tab);
  EXPECT_EQ(grid.cellText(2, 2), "12.75");
  EXPECT_EQ(grid.getCurCol(), 3);
  // Read-only cells take no typing, and Delete leaves them alone.
  grid.setReadOnly(GridAddress(2, 3), true);
  grid.setCellText(GridAddress(2, 3), "fixed");
  Type("x");
  EXPECT_FALSE(grid.editing());
  grid.setSelection(GridAddress(2, 2), GridAddress(2, 3));
  Key(Qt::Key_Delete);
  EXPECT_EQ(grid.cellText(2, 2), "");
  EXPECT_EQ(grid.cellText(2, 3), "fixed");
  // A double click edits; losing the focus keeps what was typed.
  // Arrows end an edit and move on; control characters are not typed.
  grid.setCurrent(6, 6);
  Type(QString::fromUtf8("x\u0085\u00e9"));
  Key(Qt::Key_Right);
  EXPECT_EQ(grid.cellText(6, 6), "x\xe9");
  EXPECT_EQ(grid.getCurCol(), 7);
  Mouse(QEvent::MouseButtonDblClick, Centre(5, 5));
  Type("ok");
  QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
  QApplication::sendEvent(&grid, &out);
  EXPECT_EQ(grid.cellText(5, 5), "ok");
}

TEST_F(GridControlTest, KeepsNavigationKeysButLeavesCharactersToShortcuts) {
  auto overridden = [&](int key, const QString& text, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QKeyEvent event(QEvent::ShortcutOverride, key, m, text);
    event.ignore();
    QApplication::sendEvent(&grid, &event);
    return event.isAccepted();
  };
  EXPECT_TRUE(overridden(Qt::Key_Down, {}));
  EXPECT_TRUE(overridden(Qt::Key_Tab, {}));
  EXPECT_TRUE(overridden(Qt::Key_End, {}, Qt::ControlModifier));
  EXPECT_FALSE(overridden(Qt::Key_Space, " "));  // the program's Play/Pause
  EXPECT_FALSE(overridden(Qt::Key_BracketLeft, "["));
  EXPECT_FALSE(overridden(Qt::Key_Escape, {}));
  Type("4");
  EXPECT_TRUE(overridden(Qt::Key_Escape, {}));  // ends the edit first
  EXPECT_TRUE(overridden(Qt::Key_Space, " "));  // typing goes into the edit
  EXPECT_FALSE(overridden(Qt::Key_S, "\x13", Qt::ControlModifier));
}

TEST_F(GridControlTest, CopiesTheSelectionToTheClipboard) {
  grid.setCellText(GridAddress(2, 2), "850");
  grid.setCellText(GridAddress(3, 3), "-1.5");
  grid.setSelection(GridAddress(3, 3), GridAddress(2, 2));
  EXPECT_EQ(grid.selectionText(), "850\t\n\t-1.5\n");
  QApplication::clipboard()->clear();
  Key(Qt::Key_C, Qt::ControlModifier, "\x03");
  EXPECT_EQ(QApplication::clipboard()->text(), QString("850\t\n\t-1.5\n"));
  EXPECT_FALSE(grid.editing());  // Ctrl+C starts no edit
}

TEST_F(GridControlTest, CaptionIsTheWindowText) {
  grid.setWindowTitle(QStringLiteral("Spark Table - Load vs RPM"));
  EXPECT_EQ(grid.caption(), "Spark Table - Load vs RPM");
  grid.setCaption(std::string(300, 'x'));
  EXPECT_EQ(grid.caption().size(), QvGridControl::kMaxCaption);
  EXPECT_EQ(grid.windowTitle().size(), static_cast<qsizetype>(QvGridControl::kMaxCaption));
}

TEST_F(GridControlTest, EditTextStaysWithinItsLimit) {
  const QString chunk(200, QChar('9'));
  for (int i = 0; i < 7; ++i) Key(0, Qt::NoModifier, chunk);
  EXPECT_EQ(grid.editText().size(), static_cast<std::size_t>(QvGridControl::kMaxEditLength));
  Key(Qt::Key_Return);
  EXPECT_EQ(grid.getTextLength(1, 1), QvGridControl::kMaxEditLength);
}

TEST_F(GridControlTest, DisablingSwitchesStateAndKeepsAnEdit) {
  Type("41");
  grid.setEnabled(false);
  EXPECT_FALSE(grid.editing());
  EXPECT_EQ(grid.cellText(1, 1), "41");
  EXPECT_EQ(grid.state() & QvGridControl::kStateDisabled, QvGridControl::kStateDisabled);
  grid.setEnabled(true);
  EXPECT_EQ(grid.state() & QvGridControl::kStateDisabled, 0u);
  grid.setRedraw(false);
  EXPECT_EQ(grid.state() & QvGridControl::kStateNoRedraw, QvGridControl::kStateNoRedraw);
  grid.setRedraw(true);
  EXPECT_EQ(grid.state() & QvGridControl::kStateNoRedraw, 0u);
}

}  // namespace

namespace {

// A 16 x 16 table of spark advance over rpm (columns) and load (rows), as the
// histogram pane fills it, drawn to grid_histogram.png for a person to look at.
TEST_F(GridControlTest, DrawsAHistogramTableReadably) {
  grid.resize(16 * 50 + 60, 17 * 21 + 52);
  grid.setSize(16, 16);
  grid.setTopOffset(22);
  grid.setCaption("Spark Table - Load vs RPM vs Spark Advance");
  grid.setStyle(QvGridControl::kStyleEllipsis, false);
  for (int row = 1; row <= 16; ++row) grid.setCellText(GridAddress(row, 0), std::to_string(row * 6 + 4));
  for (int column = 1; column <= 16; ++column)
    grid.setCellText(GridAddress(0, column), std::to_string(400 + (column - 1) * 400));
  for (int row = 1; row <= 16; ++row)
    for (int column = 1; column <= 16; ++column) {
      if ((row * 7 + column * 3) % 11 == 0) continue;  // a cell without samples
      const double advance = 8.0 + column * 1.6 - row * 0.9 + ((row + column) % 3) * 0.25;
      char text[32];
      std::snprintf(text, sizeof text, advance == static_cast<int>(advance) ? "%.0f" : "%.3f", advance);
      grid.setCellText(GridAddress(row, column), text);
      grid.setReadOnly(GridAddress(row, column), true);
    }
  grid.setCellText(GridAddress(0, 0), "kPa");
  Focus();
  grid.setCurrent(9, 6);
  grid.setHighlight(GridAddress(8, 5), GridAddress(10, 7));
  grid.setMark(GridAddress(3, 12), true);
  const QImage frame = grid.renderFrame();
  EXPECT_TRUE(frame.save("grid_histogram.png"));
  EXPECT_EQ(CellColour(9, 6), QColor(191, 208, 109));
  EXPECT_EQ(CellColour(8, 5), QColor(255, 255, 0));
  EXPECT_EQ(CellColour(2, 2), QColor(230, 230, 230));
  // Number cells are right-aligned: their ink lies in the right half of the cell.
  const auto cell = GridCellRect(grid.layout(), 4, 4);
  ASSERT_TRUE(cell);
  int leftInk = 0, rightInk = 0;
  for (int y = cell->top + 1; y < cell->bottom - 1; ++y)
    for (int x = cell->left + 1; x < cell->right - 1; ++x)
      if (frame.pixelColor(x, y).lightness() < 128)
        (x < (cell->left + cell->right) / 2 ? leftInk : rightInk)++;
  EXPECT_GT(rightInk, 0);
  EXPECT_GT(rightInk, leftInk);
  // The caption sits in the band above the table.
  int captionInk = 0;
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 300; ++x) captionInk += frame.pixelColor(x, y).lightness() < 100;
  EXPECT_GT(captionInk, 50);
}

}  // namespace

namespace {

// Letters and numbers in the headers, scroll bars, a selection with its
// headers lit, and a cell being edited, drawn to grid_editing.png.
TEST_F(GridControlTest, DrawsHeadersSelectionScrollBarsAndAnEdit) {
  grid.setSize(60, 40);
  grid.setStyle(QvGridControl::kStyleColumnLetters | QvGridControl::kStyleRowNumbers |
                    QvGridControl::kStyleRowHeaderSelection | QvGridControl::kStyleColumnHeaderSelection,
                false);
  grid.setScrollBars(true, true);
  grid.setCellText(GridAddress(2, 2), "a long text that does not fit");
  grid.setCellText(GridAddress(3, 2), "-12.5");
  grid.setAlign(GridAddress(4, 2), 0x2 | 0x10);
  grid.setCellText(GridAddress(4, 2), "mid");
  Focus();
  grid.setSelection(GridAddress(2, 3), GridAddress(5, 4));
  grid.setCurrent(7, 3);
  Type("123");
  const QImage frame = grid.renderFrame();
  EXPECT_TRUE(grid.grab().save("grid_editing.png"));
  // The edited cell is white with dark ink; the scroll bars take the edges.
  const auto edited = GridCellRect(grid.layout(), 7, 3);
  ASSERT_TRUE(edited);
  int ink = 0;
  for (int y = edited->top + 2; y < edited->bottom - 2; ++y)
    for (int x = edited->left + 2; x < edited->right - 2; ++x)
      ink += frame.pixelColor(x, y).lightness() < 100;
  EXPECT_GT(ink, 10);
  EXPECT_LT(grid.layout().viewWidth, grid.width());
  EXPECT_LT(grid.layout().viewHeight, grid.height());
}

}  // namespace
