#pragma once
// The grid control: a table of text cells under a header row and beside a
// header column, with per-cell colours and flags, a current cell, a selection
// (the rectangle between the anchor and the current cell) and a separate
// highlight rectangle.
//
// Requests take cell addresses (row in the low 16 bits, column in the high 16
// bits, see GridAddress). A request with an address outside the table emits
// `notify` with code 3 and fails. The user moves the current cell with the
// arrow, page, Home/End, Tab and Enter keys or the mouse, extends the
// selection with Shift or by dragging, scrolls with the wheel or the scroll
// bars, and types into cells that are not read-only (typing starts an edit,
// F2 or a double click edits the present text, Enter or Tab keeps it, Escape
// drops it, Delete empties the selected cells); Ctrl+C copies the selection.
//
// Drawing goes into an off-screen image that a paint copies in one step; the
// colours, text placement and layout come from the pure rules of GridGeometry.
//
// Thread contract: every member runs on the GUI thread.
#include <QBasicTimer>
#include <QFont>
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "controls/grid/GridCells.h"
#include "controls/grid/GridGeometry.h"

class QScrollBar;

class QvGridControl : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVGRIDCONTROL";

  // Style bits.
  static constexpr std::uint32_t kStyleEllipsis = 0x4;
  static constexpr std::uint32_t kStyleTextRight = 0x40;
  static constexpr std::uint32_t kStyleNumbersLeft = 0x80;
  static constexpr std::uint32_t kStyleRowHeaderSelection = 0x200;
  static constexpr std::uint32_t kStyleColumnHeaderSelection = 0x400;
  static constexpr std::uint32_t kStyleRowNumbers = 0x2000;
  static constexpr std::uint32_t kStyleColumnLetters = 0x4000;
  static constexpr std::uint32_t kStyleCellColors = 0x8000;
  static constexpr std::uint32_t kStyleMarkedColor = 0x10000;
  static constexpr std::uint32_t kStyleBlendSelection = 0x20000;
  static constexpr std::uint32_t kDefaultStyle = 0x00130001;

  // State bits.
  static constexpr std::uint32_t kStateFocus = 0x20;
  static constexpr std::uint32_t kStateVScroll = 0x200;
  static constexpr std::uint32_t kStateHScroll = 0x400;
  static constexpr std::uint32_t kStateDisabled = 0x2000;
  static constexpr std::uint32_t kStateOption = 0x4000;
  static constexpr std::uint32_t kStateNoRedraw = 0x20000;

  // Notification codes; the address is the cell concerned (0 for focus).
  static constexpr int kNotifyBadAddress = 3;
  static constexpr int kNotifySetFocus = 0x17;
  static constexpr int kNotifyKillFocus = 0x18;
  static constexpr int kNotifySelectionChanged = 0x500;  // address of the new current cell
  static constexpr int kNotifyCellEdited = 0x501;        // address of the cell the user changed

  static constexpr int kPaletteSize = 11;
  static constexpr int kMaxEditLength = 1023;

  explicit QvGridControl(QWidget* parent = nullptr);
  ~QvGridControl() override;

  void setControlId(int id) { controlId_ = id; }
  int controlId() const { return controlId_; }
  std::uint32_t state() const { return state_; }

  // Style: setStyle ORs the bits in (0 clears every bit); clearStyle clears them.
  void setStyle(std::uint32_t bits, bool redraw);
  std::uint32_t getStyle() const { return style_; }
  void clearStyle(std::uint32_t bits, bool redraw);

  // Cell text: 1 when done, 0 for a bad address. A missing text empties the cell.
  int setCellText(std::uint32_t address, const char* text);
  int setCellText(std::uint32_t address, const std::string& text) {
    return setCellText(address, text.c_str());
  }
  // Copies the text into buffer (cut to size - 1 characters and terminated).
  int getCellText(std::uint32_t address, char* buffer, int size);
  // The text of a cell inside the table ("" outside it; no notification).
  std::string cellText(int row, int column) const;
  int getTextLength(int row, int column);
  // Empties every text, puts the current cell and the anchor back at (1, 1).
  void clearText();

  // Data rows and columns, cut to 0..32000 and 0..256.
  void setSize(int rows, int columns);
  int getRowCount() const { return cells_.rows(); }
  int getColCount() const { return cells_.columns(); }

  // Collapses the selection to the cell and scrolls it into view; a cell
  // outside the data rows and columns is ignored.
  void setCurrent(int row, int column);
  int getCurRow() const { return current_.row; }
  int getCurCol() const { return current_.column; }
  void getSelection(std::uint32_t* anchor, std::uint32_t* current) const;
  // 1 when set; 0 (and code 3) when an address lies outside the table. Header
  // rows and columns count as the first data row and column.
  int setSelection(std::uint32_t anchor, std::uint32_t current);
  GridCellRange selection() const { return {anchor_, current_}; }

  // 2 for a number, 1 for other text, 0 for a bad address.
  int getCellKind(std::uint32_t address);
  // Read-only flag: 1 when set, -1 for a bad address; getReadOnly gives flag 0x2 of the cell.
  int setReadOnly(std::uint32_t address, bool readOnly);
  int getReadOnly(std::uint32_t address);
  // Mark flag: getMark gives flag 0x4 of the cell (0 for a bad address).
  int getMark(std::uint32_t address);
  int setMark(std::uint32_t address, bool marked);
  void clearMarks(bool redraw);

  // Own colours (0x00BBGGRR; the upper byte is kept). Getters give 0 for a bad address.
  int setCellBkColor(std::uint32_t address, std::uint32_t color);
  std::uint32_t getCellBkColor(std::uint32_t address);
  int setCellTextColor(std::uint32_t address, std::uint32_t color);
  std::uint32_t getCellTextColor(std::uint32_t address);

  // Alignment: 0 removes the cell's own. See GridAlignFlags and GridAlignOf.
  int setAlign(std::uint32_t address, std::uint32_t alignment);
  std::uint32_t getAlign(std::uint32_t address);

  // Redraws at once.
  void redraw();
  // false suspends drawing (state 0x20000); true resumes and redraws.
  void setRedraw(bool enabled);

  // Sizes in pixels, headers included; out-of-range indexes do nothing (getters give 0).
  void setColWidth(int column, int width);
  int getColWidth(int column) const;
  void setRowHeight(int row, int height);
  int getRowHeight(int row) const;
  // Pixels above the table (0 to 65535); keeps the current cell in view.
  void setTopOffset(int pixels);
  int topOffset() const { return topOffset_; }

  // The window text (setCaption or setWindowTitle): a caption drawn in the
  // band that the top offset leaves above the table (nothing shows while the
  // offset is 0); cut to 256 characters.
  static constexpr std::size_t kMaxCaption = 256;
  void setCaption(const std::string& text);
  const std::string& caption() const { return caption_; }

  // The three fonts: the first is the widget's own font (setFont), used for the
  // edit text and caret; the second draws the cells and the third the headers.
  void setFontA(const QFont& font);
  void setFontB(const QFont& font);
  const QFont& fontA() const { return fontA_; }
  const QFont& fontB() const { return fontB_; }

  int getOption() const { return (state_ & kStateOption) ? 1 : 0; }
  void setOption(bool on);

  // Two corners (row low, column high); both 0 removes the highlight.
  void setHighlight(std::uint32_t first, std::uint32_t second);
  GridCellRange highlight() const { return highlight_; }

  // 1 when set, 0 for an index outside 0-10; getPalette gives 0 there.
  int setPalette(int index, std::uint32_t color);
  std::uint32_t getPalette(int index) const;
  std::uint32_t selectionColor() const { return selectionColor_; }

  // Switches the vertical (state 0x200) and horizontal (0x400) scroll bars.
  void setScrollBars(bool vertical, bool horizontal);
  // The first data row and column on screen.
  int firstRow() const { return firstRow_; }
  int firstColumn() const { return firstColumn_; }
  void scrollTo(int firstRow, int firstColumn);

  // The selected texts as tab-separated lines; Ctrl+C puts them on the clipboard.
  std::string selectionText() const;

  // Editing by the user.
  bool editing() const { return editing_; }
  const std::string& editText() const { return editText_; }

  // The layout of the cells on screen, and the picture the next paint shows.
  GridLayout layout() const;
  QImage renderFrame();

 Q_SIGNALS:
  // A notification to the parent: the grid, its identifier, the code and the cell address.
  void notify(QvGridControl* grid, int controlId, int code, std::uint32_t address);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  // Checks an address; a bad one notifies the parent with code 3.
  bool checkAddress(std::uint32_t address);
  void scheduleRedraw();
  void updateScrollBars();
  int viewWidth() const;
  int viewHeight() const;

  // Moves the current cell (keeping the anchor when extending), scrolls it into view.
  void moveCurrent(int row, int column, bool extend);
  // Extends the selection towards a point during a drag.
  void dragTo(QPoint point);
  void selectRange(GridCellPos anchor, GridCellPos current);
  void ensureVisible(int row, int column);

  void beginEdit(const std::string& initial);
  void commitEdit();
  void cancelEdit();
  void deleteSelection();
  bool handleNavigationKey(QKeyEvent* event);

  void draw(class QPainter& painter);
  std::string headerText(int row, int column) const;

  int controlId_ = 0;
  GridCells cells_;
  std::uint32_t style_ = kDefaultStyle;
  std::uint32_t state_ = 0;
  int topOffset_ = 0;
  std::string caption_;
  GridCellPos current_{1, 1};
  GridCellPos anchor_{1, 1};
  GridCellRange highlight_;
  std::array<std::uint32_t, kPaletteSize> palette_{};
  // Bit i: palette entry i was set by the caller and is kept in every theme.
  std::uint32_t paletteSet_ = 0;
  // The entries as painted: under a dark widget palette the unset ones
  // follow it (cells, texts, headers, borders).
  std::array<std::uint32_t, kPaletteSize> shownPalette() const;
  std::uint32_t selectionColor_ = GridRgb(128, 162, 219);
  QFont fontA_;  // third font: headers
  QFont fontB_;  // second font: cells
  int firstRow_ = 1;
  int firstColumn_ = 1;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  bool syncingBars_ = false;
  int wheelRows_ = 0;  // wheel angle not yet scrolled, in eighths of a degree
  int wheelColumns_ = 0;

  bool dragging_ = false;
  QPoint dragPoint_;
  QBasicTimer dragTimer_;
  bool editing_ = false;
  std::string editText_;

  QImage frame_;
};
