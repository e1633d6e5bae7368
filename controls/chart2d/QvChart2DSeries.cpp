#include "controls/chart2d/QvChart2DSeries.h"

#include <algorithm>
#include <cstring>

#include "controls/chart2d/QvChart2D.h"

namespace {

int ColorSlot(int index) {
  switch (index) {
    case QvChart2DSeries::kColorLine:
      return 0;
    case QvChart2DSeries::kColorPoint:
      return 1;
    case QvChart2DSeries::kColorSelected:
      return 2;
    default:
      return -1;
  }
}

bool IsSelected(const QvChart2DPoint& p) {
  return (p.flags & QvChart2DPoint::kSelected) != 0;
}

}  // namespace

QvChart2DSeries::QvChart2DSeries(QvChart2D* chart) : chart_(chart) {}

void QvChart2DSeries::Changed(bool redraw) {
  if (chart_) chart_->seriesChanged(redraw);
}

void QvChart2DSeries::PointsChanged(bool redraw) {
  if (chart_) chart_->seriesPointsChanged(redraw);
}

void QvChart2DSeries::Reset() {
  points_.clear();
  name_.clear();
  style_ = kDefaultStyle;
  selectedCount_ = 0;
  pointSize_ = 5;
  colors_[0] = 0x0000FF;
  colors_[1] = 0x000000;
  colors_[2] = 0x000000;
  visible_ = 1;
  Changed(true);
}

void QvChart2DSeries::SetName(const std::string& name) {
  name_ = name.substr(0, kMaxName);
}

int QvChart2DSeries::GetName(char* buffer, int capacity) const {
  if (buffer && capacity > 0) {
    const std::size_t length = std::min(name_.size(), static_cast<std::size_t>(capacity) - 1);
    std::memcpy(buffer, name_.data(), length);
    buffer[length] = '\0';
  }
  return static_cast<int>(name_.size());
}

void QvChart2DSeries::SetStyle(std::uint32_t bits, bool redraw) {
  style_ = bits == 0 ? 0 : (style_ | bits);
  Changed(redraw);
}

void QvChart2DSeries::ClearStyle(std::uint32_t bits, bool redraw) {
  style_ &= ~bits;
  Changed(redraw);
}

int QvChart2DSeries::SetColor(int index, std::uint32_t color) {
  const int slot = ColorSlot(index);
  if (slot < 0) return 0;
  colors_[slot] = color;
  Changed(true);
  return 1;
}

std::uint32_t QvChart2DSeries::GetColor(int index) const {
  const int slot = ColorSlot(index);
  return slot < 0 ? 0xFFFFFFFFu : colors_[slot];
}

void QvChart2DSeries::ClearPoints() {
  points_.clear();
  selectedCount_ = 0;
  Changed(true);
}

int QvChart2DSeries::AddPoint(const QvChart2DPoint& point) {
  points_.push_back(point);
  if (IsSelected(point)) ++selectedCount_;
  // Counted before the chart is told: its notifications may reach code that
  // removes this series.
  const int count = PointCount();
  PointsChanged(true);
  return count;
}

int QvChart2DSeries::InsertPoint(const QvChart2DPoint& point, int index) {
  if (!ValidIndex(index)) return 0;
  points_.insert(points_.begin() + index, point);
  if (IsSelected(point)) ++selectedCount_;
  PointsChanged(true);
  return 1;
}

int QvChart2DSeries::RemovePoint(int index) {
  if (!ValidIndex(index)) return 0;
  if (IsSelected(points_[static_cast<std::size_t>(index)])) --selectedCount_;
  points_.erase(points_.begin() + index);
  Changed(true);
  return 1;
}

int QvChart2DSeries::SetPoint(int index, const QvChart2DPoint& point, bool redraw) {
  if (!ValidIndex(index)) return 0;
  QvChart2DPoint& target = points_[static_cast<std::size_t>(index)];
  // The selected count follows the flags written, so it never drifts from the points.
  selectedCount_ += (IsSelected(point) ? 1 : 0) - (IsSelected(target) ? 1 : 0);
  target = point;
  PointsChanged(redraw);
  return 1;
}

int QvChart2DSeries::GetPoint(int index, QvChart2DPoint* point) const {
  if (!ValidIndex(index) || !point) return 0;
  *point = points_[static_cast<std::size_t>(index)];
  return 1;
}

void QvChart2DSeries::SelectPoint(int index, bool select, bool redraw) {
  if (!ValidIndex(index)) return;
  QvChart2DPoint& p = points_[static_cast<std::size_t>(index)];
  if (IsSelected(p) == select) return;
  if (select) {
    p.flags |= QvChart2DPoint::kSelected;
    ++selectedCount_;
  } else {
    p.flags &= static_cast<std::uint8_t>(~QvChart2DPoint::kSelected);
    --selectedCount_;
  }
  Changed(redraw);
}

void QvChart2DSeries::ClearSelection(bool redraw) {
  for (QvChart2DPoint& p : points_) p.flags &= static_cast<std::uint8_t>(~QvChart2DPoint::kSelected);
  selectedCount_ = 0;
  Changed(redraw);
}

void QvChart2DSeries::SetPointSize(int size) {
  pointSize_ = std::max(size, 0);
  Changed(true);
}

void QvChart2DSeries::SetVisible(bool visible) {
  visible_ = visible ? 1 : 0;
  Changed(true);
}

bool QvChart2DSeries::MoveSelected(double dx, double dy) {
  const bool alongX = (style_ & kDragX) && dx != 0.0;
  const bool alongY = (style_ & kDragY) && dy != 0.0;
  if (selectedCount_ == 0 || (!alongX && !alongY)) return false;
  for (QvChart2DPoint& p : points_) {
    if (!IsSelected(p)) continue;
    if (alongX) p.x = static_cast<float>(p.x + dx);
    if (alongY) p.y = static_cast<float>(p.y + dy);
  }
  PointsChanged(true);
  return true;
}
