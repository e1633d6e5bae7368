#include "controls/grid/QvGridControl.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QWheelEvent>
#include <algorithm>

#include "controls/common/TextBytes.h"
#include "controls/gauges/QvPaintSupport.h"

// The grid control's reactions to the user and the window system: keys,
// mouse, wheel, focus, enabling, resizing, and the user's edits.

namespace {

constexpr int kWheelRows = 3;
constexpr int kDragRepeatMs = 60;

}  // namespace

void QvGridControl::selectRange(GridCellPos anchor, GridCellPos current) {
  const GridCellPos before = current_;
  const GridCellPos beforeAnchor = anchor_;
  anchor_ = anchor;
  current_ = current;
  ensureVisible(current.row, current.column);
  scheduleRedraw();
  if (!(before == current_) || !(beforeAnchor == anchor_))
    Q_EMIT notify(this, controlId_, kNotifySelectionChanged, GridAddress(current_.row, current_.column));
}

void QvGridControl::moveCurrent(int row, int column, bool extend) {
  if (cells_.rows() < 1 || cells_.columns() < 1) return;
  const GridCellPos to = GridClampToData({row, column}, cells_.rows(), cells_.columns());
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
    Q_EMIT notify(this, controlId_, kNotifyCellEdited, GridAddress(current_.row, current_.column));
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
  Q_EMIT notify(this, controlId_, kNotifyCellEdited, GridAddress(current_.row, current_.column));
}

bool QvGridControl::event(QEvent* event) {
  // The grid keeps its navigation and editing keys even where a shortcut uses
  // them; printable characters go to the program's shortcuts first, except
  // while a cell is being edited.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (editing_ && !key->text().isEmpty() && key->text().at(0).isPrint() &&
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
      event->accept();
      return true;
    }
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
      case Qt::Key_Left:
      case Qt::Key_Right:
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
      if ((c.unicode() >= 0x20 && c.unicode() < 0x7F) || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF))
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
  Q_EMIT notify(this, controlId_, kNotifySetFocus, 0);
  QWidget::focusInEvent(event);
}

void QvGridControl::focusOutEvent(QFocusEvent* event) {
  commitEdit();
  state_ &= ~kStateFocus;
  scheduleRedraw();
  Q_EMIT notify(this, controlId_, kNotifyKillFocus, 0);
  QWidget::focusOutEvent(event);
}

void QvGridControl::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    state_ = isEnabled() ? (state_ & ~kStateDisabled) : (state_ | kStateDisabled);
    if (!isEnabled()) commitEdit();  // what was typed is kept
    scheduleRedraw();
  } else if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
    scheduleRedraw();
  } else if (event->type() == QEvent::WindowTitleChange) {
    const std::string text = BytesFromText(windowTitle());
    caption_.assign(text.data(), std::min(text.size(), kMaxCaption));
    scheduleRedraw();
  }
  QWidget::changeEvent(event);
}

void QvGridControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  updateScrollBars();
  scrollTo(firstRow_, firstColumn_);
}
