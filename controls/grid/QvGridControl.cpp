#include "controls/grid/QvGridControl.h"

#include <QApplication>
#include <QScrollBar>
#include <algorithm>

#include "controls/common/QvColor.h"
#include "controls/common/TextBytes.h"
#include "controls/gauges/QvControlText.h"
#include "controls/gauges/QvPaintSupport.h"

QvGridControl::QvGridControl(QWidget* parent) : QWidget(parent) {
  palette_ = {GridRgb(0, 0, 0),
              GridRgb(230, 230, 230),
              GridRgb(255, 255, 255),
              GridRgb(0, 0, 0),
              GridRgb(255, 255, 255),
              GridRgb(248, 237, 158),
              GridRgb(255, 255, 255),
              GridRgb(220, 220, 220),
              QvRefFromColor(QApplication::palette().color(QPalette::Button)),
              GridRgb(255, 0, 0),
              GridRgb(255, 255, 0)};
  QWidget::setFont(QvControlFont(13, 100));
  fontB_ = QvControlFont(13, 400);
  fontA_ = QvControlFont(13, 600);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);

  vbar_ = new QScrollBar(Qt::Vertical, this);
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  vbar_->hide();
  hbar_->hide();
  vbar_->setFocusPolicy(Qt::NoFocus);
  hbar_->setFocusPolicy(Qt::NoFocus);
  connect(vbar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (!syncingBars_) scrollTo(value, firstColumn_);
  });
  connect(hbar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (!syncingBars_) scrollTo(firstRow_, value);
  });
}

QvGridControl::~QvGridControl() = default;

bool QvGridControl::checkAddress(std::uint32_t address) {
  if (cells_.contains(GridAddressRow(address), GridAddressColumn(address))) return true;
  Q_EMIT notify(this, controlId_, kNotifyBadAddress, address);
  return false;
}

void QvGridControl::scheduleRedraw() {
  if (!(state_ & kStateNoRedraw)) update();
}

void QvGridControl::redraw() {
  if (state_ & kStateNoRedraw) return;
  repaint();
}

void QvGridControl::setRedraw(bool enabled) {
  if (enabled) {
    state_ &= ~kStateNoRedraw;
    updateScrollBars();
    update();
  } else {
    state_ |= kStateNoRedraw;
  }
}

// ---- style, state, palette, fonts ----

void QvGridControl::setStyle(std::uint32_t bits, bool redraw) {
  style_ = bits == 0 ? 0 : style_ | bits;
  if (redraw) scheduleRedraw();
}

void QvGridControl::clearStyle(std::uint32_t bits, bool redraw) {
  style_ &= ~bits;
  if (redraw) scheduleRedraw();
}

void QvGridControl::setOption(bool on) {
  if (on)
    state_ |= kStateOption;
  else
    state_ &= ~kStateOption;
}

int QvGridControl::setPalette(int index, std::uint32_t color) {
  if (index < 0 || index >= kPaletteSize) return 0;
  palette_[static_cast<std::size_t>(index)] = color;
  paletteSet_ |= 1u << index;
  scheduleRedraw();
  return 1;
}

std::uint32_t QvGridControl::getPalette(int index) const {
  if (index < 0 || index >= kPaletteSize) return 0;
  return palette_[static_cast<std::size_t>(index)];
}

void QvGridControl::setFontA(const QFont& font) {
  fontA_ = font;
  scheduleRedraw();
}

void QvGridControl::setFontB(const QFont& font) {
  fontB_ = font;
  scheduleRedraw();
}

// ---- cells ----

int QvGridControl::setCellText(std::uint32_t address, const char* text) {
  if (!checkAddress(address)) return 0;
  cells_.edit(GridAddressRow(address), GridAddressColumn(address)).text = text ? text : "";
  scheduleRedraw();
  return 1;
}

int QvGridControl::getCellText(std::uint32_t address, char* buffer, int size) {
  if (!checkAddress(address)) return 0;
  QvCopyTextOut(cells_.at(GridAddressRow(address), GridAddressColumn(address)).text, buffer, size);
  return 1;
}

std::string QvGridControl::cellText(int row, int column) const {
  return cells_.contains(row, column) ? cells_.at(row, column).text : std::string();
}

int QvGridControl::getTextLength(int row, int column) {
  if (!checkAddress(GridAddress(row, column))) return 0;
  return static_cast<int>(cells_.at(row, column).text.size());
}

void QvGridControl::clearText() {
  editing_ = false;
  cells_.clearTexts();
  current_ = anchor_ = {1, 1};
  ensureVisible(1, 1);
  redraw();
}

void QvGridControl::setSize(int rows, int columns) {
  editing_ = false;
  cells_.resize(rows, columns);
  current_ = GridClampToData(current_, cells_.rows(), cells_.columns());
  anchor_ = GridClampToData(anchor_, cells_.rows(), cells_.columns());
  // Scrolled no further than a shrunken table needs.
  firstRow_ = std::clamp(firstRow_, 1, GridMaxFirstRow(layout()));
  firstColumn_ = std::clamp(firstColumn_, 1, GridMaxFirstColumn(layout()));
  updateScrollBars();
  scheduleRedraw();
}

int QvGridControl::getCellKind(std::uint32_t address) {
  if (!checkAddress(address)) return 0;
  return GridCellKind(cells_.at(GridAddressRow(address), GridAddressColumn(address)).text);
}

int QvGridControl::setReadOnly(std::uint32_t address, bool readOnly) {
  if (!checkAddress(address)) return -1;
  GridCell& cell = cells_.edit(GridAddressRow(address), GridAddressColumn(address));
  cell.flags = readOnly ? (cell.flags | kGridFlagReadOnly) : (cell.flags & ~kGridFlagReadOnly);
  scheduleRedraw();
  return 1;
}

int QvGridControl::getReadOnly(std::uint32_t address) {
  if (!checkAddress(address)) return -1;
  return cells_.at(GridAddressRow(address), GridAddressColumn(address)).flags & kGridFlagReadOnly;
}

int QvGridControl::getMark(std::uint32_t address) {
  if (!checkAddress(address)) return 0;
  return cells_.at(GridAddressRow(address), GridAddressColumn(address)).flags & kGridFlagMarked;
}

int QvGridControl::setMark(std::uint32_t address, bool marked) {
  if (!checkAddress(address)) return 0;
  GridCell& cell = cells_.edit(GridAddressRow(address), GridAddressColumn(address));
  cell.flags = marked ? (cell.flags | kGridFlagMarked) : (cell.flags & ~kGridFlagMarked);
  scheduleRedraw();
  return 1;
}

void QvGridControl::clearMarks(bool redraw) {
  cells_.maskFlags(static_cast<std::uint16_t>(~kGridFlagMarked));
  if (redraw) scheduleRedraw();
}

int QvGridControl::setCellBkColor(std::uint32_t address, std::uint32_t color) {
  if (!checkAddress(address)) return 0;
  cells_.edit(GridAddressRow(address), GridAddressColumn(address)).background = color;
  scheduleRedraw();
  return 1;
}

std::uint32_t QvGridControl::getCellBkColor(std::uint32_t address) {
  if (!checkAddress(address)) return 0;
  return cells_.at(GridAddressRow(address), GridAddressColumn(address)).background;
}

int QvGridControl::setCellTextColor(std::uint32_t address, std::uint32_t color) {
  if (!checkAddress(address)) return 0;
  cells_.edit(GridAddressRow(address), GridAddressColumn(address)).textColor = color;
  scheduleRedraw();
  return 1;
}

std::uint32_t QvGridControl::getCellTextColor(std::uint32_t address) {
  if (!checkAddress(address)) return 0;
  return cells_.at(GridAddressRow(address), GridAddressColumn(address)).textColor;
}

int QvGridControl::setAlign(std::uint32_t address, std::uint32_t alignment) {
  if (!checkAddress(address)) return 0;
  GridCell& cell = cells_.edit(GridAddressRow(address), GridAddressColumn(address));
  cell.flags = GridAlignFlags(cell.flags, alignment);
  scheduleRedraw();
  return 1;
}

std::uint32_t QvGridControl::getAlign(std::uint32_t address) {
  if (!checkAddress(address)) return 0;
  return GridAlignOf(cells_.at(GridAddressRow(address), GridAddressColumn(address)).flags);
}

// ---- selection and highlight ----

void QvGridControl::setCurrent(int row, int column) {
  if (row < 1 || column < 1 || row > cells_.rows() || column > cells_.columns()) return;
  if (editing_) commitEdit();
  current_ = anchor_ = {row, column};
  ensureVisible(row, column);
  scheduleRedraw();
}

void QvGridControl::getSelection(std::uint32_t* anchor, std::uint32_t* current) const {
  if (anchor) *anchor = GridAddress(anchor_.row, anchor_.column);
  if (current) *current = GridAddress(current_.row, current_.column);
}

int QvGridControl::setSelection(std::uint32_t anchor, std::uint32_t current) {
  if (!checkAddress(anchor) || !checkAddress(current)) return 0;
  const int rows = cells_.rows(), columns = cells_.columns();
  anchor_ = GridClampToData({GridAddressRow(anchor), GridAddressColumn(anchor)}, rows, columns);
  current_ = GridClampToData({GridAddressRow(current), GridAddressColumn(current)}, rows, columns);
  scheduleRedraw();
  return 1;
}

void QvGridControl::setHighlight(std::uint32_t first, std::uint32_t second) {
  highlight_ = {{GridAddressRow(first), GridAddressColumn(first)},
                {GridAddressRow(second), GridAddressColumn(second)}};
  scheduleRedraw();
}

// ---- sizes and scrolling ----

void QvGridControl::setColWidth(int column, int width) {
  if (column < 0 || column > cells_.columns()) return;
  cells_.widths()[static_cast<std::size_t>(column)] =
      static_cast<std::uint16_t>(std::clamp(width, 0, 0xFFFF));
  updateScrollBars();
  scheduleRedraw();
}

int QvGridControl::getColWidth(int column) const {
  if (column < 0 || column > cells_.columns()) return 0;
  return cells_.widths()[static_cast<std::size_t>(column)];
}

void QvGridControl::setRowHeight(int row, int height) {
  if (row < 0 || row > cells_.rows()) return;
  cells_.heights()[static_cast<std::size_t>(row)] = static_cast<std::uint16_t>(std::clamp(height, 0, 0xFFFF));
  updateScrollBars();
  scheduleRedraw();
}

int QvGridControl::getRowHeight(int row) const {
  if (row < 0 || row > cells_.rows()) return 0;
  return cells_.heights()[static_cast<std::size_t>(row)];
}

void QvGridControl::setTopOffset(int pixels) {
  topOffset_ = std::clamp(pixels, 0, 0xFFFF);
  updateScrollBars();
  ensureVisible(current_.row, current_.column);
  redraw();
}

void QvGridControl::setCaption(const std::string& text) {
  // Through the window title, so that setWindowTitle sets the caption as well.
  const std::string cut = text.substr(0, std::min(text.size(), kMaxCaption));
  setWindowTitle(TextFromBytes(cut));
}

void QvGridControl::setScrollBars(bool vertical, bool horizontal) {
  state_ = vertical ? (state_ | kStateVScroll) : (state_ & ~kStateVScroll);
  state_ = horizontal ? (state_ | kStateHScroll) : (state_ & ~kStateHScroll);
  updateScrollBars();
  scheduleRedraw();
}

int QvGridControl::viewWidth() const {
  return std::max(0, width() - ((state_ & kStateVScroll) ? vbar_->sizeHint().width() : 0));
}

int QvGridControl::viewHeight() const {
  return std::max(0, height() - ((state_ & kStateHScroll) ? hbar_->sizeHint().height() : 0));
}

GridLayout QvGridControl::layout() const {
  GridLayout out;
  out.widths = &cells_.widths();
  out.heights = &cells_.heights();
  out.topOffset = topOffset_;
  out.firstRow = firstRow_;
  out.firstColumn = firstColumn_;
  out.viewWidth = viewWidth();
  out.viewHeight = viewHeight();
  return out;
}

void QvGridControl::scrollTo(int firstRow, int firstColumn) {
  const GridLayout current = layout();
  firstRow = std::clamp(firstRow, 1, GridMaxFirstRow(current));
  firstColumn = std::clamp(firstColumn, 1, GridMaxFirstColumn(current));
  if (firstRow == firstRow_ && firstColumn == firstColumn_) return;
  firstRow_ = firstRow;
  firstColumn_ = firstColumn;
  updateScrollBars();
  scheduleRedraw();
}

void QvGridControl::ensureVisible(int row, int column) {
  const GridCellPos first = GridScrollToShow(layout(), row, column);
  scrollTo(first.row, first.column);
}

void QvGridControl::updateScrollBars() {
  if (state_ & kStateNoRedraw) return;
  syncingBars_ = true;
  const bool v = (state_ & kStateVScroll) != 0;
  const bool h = (state_ & kStateHScroll) != 0;
  vbar_->setVisible(v);
  hbar_->setVisible(h);
  const int barWidth = vbar_->sizeHint().width();
  const int barHeight = hbar_->sizeHint().height();
  const GridLayout current = layout();
  if (v) {
    vbar_->setGeometry(width() - barWidth, 0, barWidth, viewHeight());
    vbar_->setRange(1, GridMaxFirstRow(current));
    vbar_->setPageStep(std::max(1, GridLastFullRow(current) - firstRow_ + 1));
    vbar_->setValue(firstRow_);
  }
  if (h) {
    hbar_->setGeometry(0, height() - barHeight, viewWidth(), barHeight);
    hbar_->setRange(1, GridMaxFirstColumn(current));
    hbar_->setPageStep(std::max(1, GridLastFullColumn(current) - firstColumn_ + 1));
    hbar_->setValue(firstColumn_);
  }
  syncingBars_ = false;
}
