#include "QvGridControl.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>
#include <algorithm>

#include "QvColor.h"
#include "QvControlText.h"
#include "QvPaintSupport.h"

namespace {

constexpr int kTextInset = 2;
constexpr int kWheelRows = 3;
constexpr int kDragRepeatMs = 60;

QColor Colour(std::uint32_t ref) {
  return QvColorFromRef(ref);
}

Qt::Alignment QtAlign(const GridTextPlacement& placement) {
  Qt::Alignment out;
  out |= placement.h == GridHAlign::Left     ? Qt::AlignLeft
         : placement.h == GridHAlign::Center ? Qt::AlignHCenter
                                             : Qt::AlignRight;
  out |= placement.v == GridVAlign::Top      ? Qt::AlignTop
         : placement.v == GridVAlign::Center ? Qt::AlignVCenter
                                             : Qt::AlignBottom;
  return out;
}

// A cell position inside the data rows and columns (at least 1 each, also for
// a table without data cells).
GridCellPos ClampToData(GridCellPos pos, int rows, int columns) {
  return {std::clamp(pos.row, 1, std::max(rows, 1)), std::clamp(pos.column, 1, std::max(columns, 1))};
}

}  // namespace

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
  emit notify(this, controlId_, kNotifyBadAddress, address);
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
  current_ = ClampToData(current_, cells_.rows(), cells_.columns());
  anchor_ = ClampToData(anchor_, cells_.rows(), cells_.columns());
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
  anchor_ = ClampToData({GridAddressRow(anchor), GridAddressColumn(anchor)}, rows, columns);
  current_ = ClampToData({GridAddressRow(current), GridAddressColumn(current)}, rows, columns);
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
  topOffset_ = std::max(0, pixels);
  updateScrollBars();
  ensureVisible(current_.row, current_.column);
  redraw();
}

void QvGridControl::setCaption(const std::string& text) {
  caption_ = text.substr(0, std::min(text.size(), kMaxCaption));
  scheduleRedraw();
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

// ---- user interaction ----

void QvGridControl::selectRange(GridCellPos anchor, GridCellPos current) {
  const GridCellPos before = current_;
  const GridCellPos beforeAnchor = anchor_;
  anchor_ = anchor;
  current_ = current;
  ensureVisible(current.row, current.column);
  scheduleRedraw();
  if (!(before == current_) || !(beforeAnchor == anchor_))
    emit notify(this, controlId_, kNotifySelectionChanged, GridAddress(current_.row, current_.column));
}

void QvGridControl::moveCurrent(int row, int column, bool extend) {
  if (cells_.rows() < 1 || cells_.columns() < 1) return;
  const GridCellPos to = ClampToData({row, column}, cells_.rows(), cells_.columns());
  selectRange(extend ? anchor_ : to, to);
}

std::string QvGridControl::selectionText() const {
  if (cells_.rows() < 1 || cells_.columns() < 1) return {};
  return cells_.rangeText(anchor_.row, anchor_.column, current_.row, current_.column);
}

void QvGridControl::beginEdit(const std::string& initial) {
  if (cells_.rows() < 1 || cells_.columns() < 1) return;
  if (cells_.at(current_.row, current_.column).flags & kGridFlagReadOnly) return;
  anchor_ = current_;
  editing_ = true;
  editText_ = initial.substr(0, kMaxEditLength);
  ensureVisible(current_.row, current_.column);
  scheduleRedraw();
}

void QvGridControl::commitEdit() {
  if (!editing_) return;
  editing_ = false;
  if (cells_.contains(current_.row, current_.column)) {
    cells_.edit(current_.row, current_.column).text = editText_;
    emit notify(this, controlId_, kNotifyCellEdited, GridAddress(current_.row, current_.column));
  }
  editText_.clear();
  scheduleRedraw();
}

void QvGridControl::cancelEdit() {
  editing_ = false;
  editText_.clear();
  scheduleRedraw();
}

void QvGridControl::deleteSelection() {
  if (cells_.rows() < 1 || cells_.columns() < 1) return;
  bool changed = false;
  const int r0 = std::min(anchor_.row, current_.row), r1 = std::max(anchor_.row, current_.row);
  const int c0 = std::min(anchor_.column, current_.column), c1 = std::max(anchor_.column, current_.column);
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const GridCell& cell = cells_.at(r, c);
      if ((cell.flags & kGridFlagReadOnly) || cell.text.empty()) continue;
      cells_.edit(r, c).text.clear();
      changed = true;
    }
  if (!changed) return;
  scheduleRedraw();
  emit notify(this, controlId_, kNotifyCellEdited, GridAddress(current_.row, current_.column));
}

bool QvGridControl::event(QEvent* event) {
  // The grid keeps its navigation and editing keys even where a shortcut uses
  // them; printable characters still go to the program's shortcuts first.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::ShiftModifier ||
                       key->modifiers() == Qt::ControlModifier;
    switch (key->key()) {
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_Home:
      case Qt::Key_End:
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Delete:
      case Qt::Key_Backspace:
      case Qt::Key_F2:
        if (plain) {
          event->accept();
          return true;
        }
        break;
      case Qt::Key_Escape:
        if (editing_) {
          event->accept();
          return true;
        }
        break;
      default:
        break;
    }
  }
  // Tab moves between cells instead of to the next control.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  }
  return QWidget::event(event);
}

bool QvGridControl::handleNavigationKey(QKeyEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool control = event->modifiers() & Qt::ControlModifier;
  const int rows = cells_.rows(), columns = cells_.columns();
  const GridCellPos at = current_;
  const int page = std::max(1, GridLastFullRow(layout()) - firstRow_);
  switch (event->key()) {
    case Qt::Key_Left:
      moveCurrent(at.row, control ? 1 : at.column - 1, shift);
      return true;
    case Qt::Key_Right:
      moveCurrent(at.row, control ? columns : at.column + 1, shift);
      return true;
    case Qt::Key_Up:
      moveCurrent(control ? 1 : at.row - 1, at.column, shift);
      return true;
    case Qt::Key_Down:
      moveCurrent(control ? rows : at.row + 1, at.column, shift);
      return true;
    case Qt::Key_PageUp:
      moveCurrent(at.row - page, at.column, shift);
      return true;
    case Qt::Key_PageDown:
      moveCurrent(at.row + page, at.column, shift);
      return true;
    case Qt::Key_Home:
      moveCurrent(control ? 1 : at.row, 1, shift);
      return true;
    case Qt::Key_End:
      moveCurrent(control ? rows : at.row, columns, shift);
      return true;
    case Qt::Key_Tab:
      // Across the row, then on to the start of the next one.
      if (at.column < columns)
        moveCurrent(at.row, at.column + 1, false);
      else
        moveCurrent(at.row < rows ? at.row + 1 : 1, 1, false);
      return true;
    case Qt::Key_Backtab:
      if (at.column > 1)
        moveCurrent(at.row, at.column - 1, false);
      else
        moveCurrent(at.row > 1 ? at.row - 1 : rows, columns, false);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      moveCurrent(shift ? at.row - 1 : at.row + 1, at.column, false);
      return true;
    default:
      return false;
  }
}

void QvGridControl::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (editing_) {
    switch (key) {
      case Qt::Key_Escape:
        cancelEdit();
        return;
      case Qt::Key_Backspace:
        if (!editText_.empty()) editText_.pop_back();
        scheduleRedraw();
        return;
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        commitEdit();
        handleNavigationKey(event);
        return;
      default:
        break;
    }
  } else {
    if (handleNavigationKey(event)) return;
    switch (key) {
      case Qt::Key_F2:
        beginEdit(cells_.at(current_.row, current_.column).text);
        return;
      case Qt::Key_Delete:
        deleteSelection();
        return;
      case Qt::Key_C:
        if (event->modifiers() == Qt::ControlModifier) {
          if (QClipboard* clipboard = QGuiApplication::clipboard())
            clipboard->setText(QvText(selectionText()));
          return;
        }
        break;
      case Qt::Key_Backspace:
        beginEdit({});
        return;
      case Qt::Key_Escape:
        event->ignore();
        return;
      default:
        break;
    }
  }
  // Printable Latin-1 characters start an edit or extend it.
  const QString text = event->text();
  if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    std::string typed;
    for (const QChar c : text)
      if (c.unicode() >= 0x20 && c.unicode() <= 0xFF && c.unicode() != 0x7F)
        typed.push_back(static_cast<char>(c.unicode()));
    if (!typed.empty()) {
      if (!editing_) {
        beginEdit(typed);
      } else if (editText_.size() < static_cast<std::size_t>(kMaxEditLength)) {
        editText_ += typed.substr(0, kMaxEditLength - editText_.size());
        scheduleRedraw();
      }
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void QvGridControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  setFocus(Qt::MouseFocusReason);
  const QPoint p = event->position().toPoint();
  const auto hit = GridHitTest(layout(), p.x(), p.y());
  if (!hit || cells_.rows() < 1 || cells_.columns() < 1) return;
  commitEdit();
  const int rows = cells_.rows(), columns = cells_.columns();
  if (hit->row == 0 && hit->column == 0) {
    selectRange({rows, columns}, {1, 1});
  } else if (hit->row == 0) {
    selectRange({rows, hit->column}, {1, hit->column});
  } else if (hit->column == 0) {
    selectRange({hit->row, columns}, {hit->row, 1});
  } else {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    selectRange(extend ? anchor_ : *hit, *hit);
    dragging_ = true;
  }
}

void QvGridControl::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  dragPoint_ = event->position().toPoint();
  dragTo(dragPoint_);
  // Held past an edge, the selection keeps reaching on at the timer's pace.
  const GridLayout current = layout();
  const bool outside = dragPoint_.x() < getColWidth(0) || dragPoint_.y() < topOffset_ + getRowHeight(0) ||
                       dragPoint_.x() >= current.viewWidth || dragPoint_.y() >= current.viewHeight;
  if (outside && !dragTimer_.isActive())
    dragTimer_.start(kDragRepeatMs, this);
  else if (!outside)
    dragTimer_.stop();
}

void QvGridControl::dragTo(QPoint point) {
  const GridCellPos to = GridDragTarget(layout(), point.x(), point.y(), current_);
  moveCurrent(to.row, to.column, true);
}

void QvGridControl::timerEvent(QTimerEvent* event) {
  if (event->timerId() != dragTimer_.timerId()) return QWidget::timerEvent(event);
  if (!dragging_) {
    dragTimer_.stop();
    return;
  }
  dragTo(dragPoint_);
}

void QvGridControl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = false;
  dragTimer_.stop();
}

void QvGridControl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  const auto hit = GridHitTest(layout(), p.x(), p.y());
  if (!hit || hit->row < 1 || hit->column < 1) return;
  selectRange(*hit, *hit);
  beginEdit(cells_.at(hit->row, hit->column).text);
}

void QvGridControl::wheelEvent(QWheelEvent* event) {
  // Fine-grained wheels and touch pads send small steps; they add up to notches.
  const QPoint delta = event->angleDelta();
  const bool sideways = delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
  int& pending = sideways ? wheelColumns_ : wheelRows_;
  pending += sideways && delta.x() != 0 ? delta.x() : delta.y();
  const int notches = pending / 120;
  pending -= notches * 120;
  if (sideways)
    scrollTo(firstRow_, firstColumn_ - notches);
  else
    scrollTo(firstRow_ - notches * kWheelRows, firstColumn_);
  event->accept();
}

void QvGridControl::focusInEvent(QFocusEvent* event) {
  state_ |= kStateFocus;
  scheduleRedraw();
  emit notify(this, controlId_, kNotifySetFocus, 0);
  QWidget::focusInEvent(event);
}

void QvGridControl::focusOutEvent(QFocusEvent* event) {
  commitEdit();
  state_ &= ~kStateFocus;
  scheduleRedraw();
  emit notify(this, controlId_, kNotifyKillFocus, 0);
  QWidget::focusOutEvent(event);
}

void QvGridControl::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    state_ = isEnabled() ? (state_ & ~kStateDisabled) : (state_ | kStateDisabled);
    if (!isEnabled()) cancelEdit();
    scheduleRedraw();
  } else if (event->type() == QEvent::FontChange) {
    scheduleRedraw();
  }
  QWidget::changeEvent(event);
}

void QvGridControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  updateScrollBars();
  scrollTo(firstRow_, firstColumn_);
}

// ---- drawing ----

std::string QvGridControl::headerText(int row, int column) const {
  if (row > 0 && column == 0 && (style_ & kStyleRowNumbers)) return std::to_string(row);
  if (row == 0 && column > 0 && (style_ & kStyleColumnLetters)) return GridColumnLetters(column);
  return cells_.at(row, column).text;
}

QImage QvGridControl::renderFrame() {
  const qreal ratio = devicePixelRatioF();
  QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  image.setDevicePixelRatio(ratio);
  QPainter painter(&image);
  draw(painter);
  return image;
}

void QvGridControl::paintEvent(QPaintEvent*) {
  // While drawing is suspended the last picture stays.
  if (!(state_ & kStateNoRedraw) || frame_.isNull()) frame_ = renderFrame();
  QPainter target(this);
  target.drawImage(0, 0, frame_);
}

void QvGridControl::draw(QPainter& p) {
  const GridLayout lay = layout();
  const GridPaintState paint{style_, (state_ & kStateFocus) != 0, isEnabled(), selectionColor_,
                             palette_.data()};
  const GridCellRange sel = selection();
  const QColor border = Colour(palette_[7]);

  p.fillRect(rect(), Colour(kGridOutsideFill));
  if (topOffset_ > 0)
    p.fillRect(0, 0, lay.viewWidth, std::min(topOffset_, lay.viewHeight), Colour(palette_[8]));
  if (topOffset_ > 0 && !caption_.empty()) {
    const QRect band(4, 0, std::max(0, lay.viewWidth - 8), std::min(topOffset_, lay.viewHeight));
    p.setFont(fontA_);
    p.setPen(Colour(isEnabled() ? palette_[3] : kGridDisabledText));
    p.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               QFontMetrics(fontA_).elidedText(QvText(caption_), Qt::ElideRight, band.width()));
  }
  p.setClipRect(0, 0, lay.viewWidth, lay.viewHeight);

  auto drawText = [&](const GridRect& r, const std::string& text, const GridTextPlacement& place,
                      const QFont& font, std::uint32_t color) {
    if (text.empty()) return;
    const QRect box(r.left + kTextInset, r.top, std::max(0, r.width() - 2 * kTextInset), r.height());
    p.setFont(font);
    p.setPen(Colour(color));
    QString shown = QvText(text);
    if (place.ellipsis) shown = QFontMetrics(font).elidedText(shown, Qt::ElideRight, box.width());
    p.save();
    p.setClipRect(box.intersected(QRect(0, 0, lay.viewWidth, lay.viewHeight)));
    p.drawText(box, static_cast<int>(QtAlign(place) | Qt::TextSingleLine), shown);
    p.restore();
  };

  auto drawHeader = [&](const GridRect& r, int row, int column) {
    const bool inSelection =
        (row > 0 && column == 0 && (style_ & kStyleRowHeaderSelection) &&
         row >= std::min(sel.a.row, sel.b.row) && row <= std::max(sel.a.row, sel.b.row)) ||
        (row == 0 && column > 0 && (style_ & kStyleColumnHeaderSelection) &&
         column >= std::min(sel.a.column, sel.b.column) && column <= std::max(sel.a.column, sel.b.column));
    const QRect box(r.left, r.top, r.width(), r.height());
    p.fillRect(box, Colour(GridHeaderBackground(paint, inSelection)));
    // Etched edge: a light line inside a shadow line.
    p.setPen(QColor(160, 160, 160));
    p.drawLine(box.right(), box.top(), box.right(), box.bottom());
    p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
    p.setPen(QColor(255, 255, 255));
    p.drawLine(box.left(), box.top(), box.right() - 1, box.top());
    p.drawLine(box.left(), box.top(), box.left(), box.bottom() - 1);
    const GridCellRole role = column == 0 && row == 0 ? GridCellRole::Corner
                              : column == 0           ? GridCellRole::RowHeader
                                                      : GridCellRole::ColumnHeader;
    const std::string text = headerText(row, column);
    drawText(r, text, GridPlaceText(style_, role, cells_.at(row, column).flags, GridCellKind(text)), fontA_,
             isEnabled() ? palette_[3] : kGridDisabledText);
  };

  auto drawCell = [&](const GridRect& r, int row, int column) {
    const GridCell& cell = cells_.at(row, column);
    GridCellLook look;
    look.selected = sel.contains(row, column);
    look.highlighted = highlight_.contains(row, column);
    look.readOnly = cell.flags & kGridFlagReadOnly;
    look.marked = cell.flags & kGridFlagMarked;
    look.background = cell.background;
    look.text = cell.textColor;
    const QRect box(r.left, r.top, r.width(), r.height());
    const bool editingHere = editing_ && current_ == GridCellPos{row, column};
    p.fillRect(box, editingHere ? Qt::white : Colour(GridCellBackground(paint, look)));
    p.setPen(border);
    p.drawLine(box.right(), box.top(), box.right(), box.bottom());
    p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
    if (editingHere) {
      // The edit text at the left with the caret after it, as high as the font.
      const QFont& editFont = font();
      const QFontMetrics metrics(editFont);
      const QString shown = QvText(editText_);
      const int textWidth = metrics.horizontalAdvance(shown);
      const int room = std::max(0, box.width() - 2 * kTextInset - 2);
      const int shift = std::max(0, textWidth - room);
      const int baseline = box.top() + (box.height() + metrics.ascent() - metrics.descent()) / 2;
      p.save();
      p.setClipRect(box.adjusted(1, 1, -1, -1).intersected(QRect(0, 0, lay.viewWidth, lay.viewHeight)));
      p.setFont(editFont);
      p.setPen(Qt::black);
      p.drawText(box.left() + kTextInset - shift, baseline, shown);
      const int caretX = box.left() + kTextInset - shift + textWidth + 1;
      const int caretTop = box.top() + (box.height() - metrics.height()) / 2;
      p.drawLine(caretX, caretTop, caretX, caretTop + metrics.height() - 1);
      p.restore();
      p.setPen(Qt::black);
      p.drawRect(box.adjusted(0, 0, -1, -1));
      return;
    }
    drawText(r, cell.text, GridPlaceText(style_, GridCellRole::Data, cell.flags, GridCellKind(cell.text)),
             fontB_, GridCellTextColor(paint, look));
    if (paint.focused && current_ == GridCellPos{row, column}) {
      // The current cell carries a thin dark frame while the grid has the focus.
      p.setPen(QColor(60, 60, 60));
      p.drawRect(box.adjusted(0, 0, -1, -1));
    }
  };

  // Data rows from the first one on screen, then the header row over them.
  const std::vector<GridSpan> shownRows = GridVisibleRows(lay);
  const std::vector<GridSpan> shownColumns = GridVisibleColumns(lay);
  const int headerWidth = getColWidth(0);
  const int headerBottom = topOffset_ + getRowHeight(0);
  for (const GridSpan& row : shownRows) {
    for (const GridSpan& column : shownColumns)
      drawCell(GridRect{column.start, row.start, column.end, row.end}, row.index, column.index);
    drawHeader(GridRect{0, row.start, headerWidth, row.end}, row.index, 0);
  }
  for (const GridSpan& column : shownColumns)
    drawHeader(GridRect{column.start, topOffset_, column.end, headerBottom}, 0, column.index);
  drawHeader(GridRect{0, topOffset_, headerWidth, headerBottom}, 0, 0);

  p.setClipping(false);
  if ((state_ & kStateVScroll) && (state_ & kStateHScroll))
    p.fillRect(lay.viewWidth, lay.viewHeight, width() - lay.viewWidth, height() - lay.viewHeight,
               Colour(palette_[8]));
}
