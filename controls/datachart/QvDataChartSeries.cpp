#include "controls/datachart/QvDataChartSeries.h"

#include <algorithm>
#include <cfloat>

#include "controls/datachart/QvDataChart.h"
#include "controls/datachart/QvDataChartAxis.h"

Qt::PenStyle QvDataChartPenStyle(int lineStyle) {
  switch (lineStyle) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    case 4:
      return Qt::DashDotDotLine;
    case 5:
      return Qt::NoPen;
    default:
      return Qt::SolidLine;
  }
}

QvDataChartSeries::QvDataChartSeries(QvDataChart* chart) : chart_(chart) {
  ResetBounds();
}

void QvDataChartSeries::ResetBounds() {
  bounds_ = {FLT_MAX, -FLT_MAX, FLT_MAX, -FLT_MAX};
}

void QvDataChartSeries::Widen(const DcPoint& p) {
  bounds_.minX = std::min(bounds_.minX, p.x);
  bounds_.maxX = std::max(bounds_.maxX, p.x);
  bounds_.minY = std::min(bounds_.minY, p.y);
  bounds_.maxY = std::max(bounds_.maxY, p.y);
}

void QvDataChartSeries::RecomputeBounds() {
  ResetBounds();
  for (const DcPoint& p : points_) Widen(p);
}

void QvDataChartSeries::RecheckSortedAround(int index) {
  if (!sortedByX_) return;
  const auto i = static_cast<std::size_t>(index);
  if ((i > 0 && points_[i - 1].x > points_[i].x) ||
      (i + 1 < points_.size() && points_[i].x > points_[i + 1].x))
    sortedByX_ = false;
}

int QvDataChartSeries::AddPoint(float x, float y) {
  const DcPoint p{x, y};
  Widen(p);
  if (!points_.empty() && points_.back().x > x) sortedByX_ = false;
  points_.push_back(p);
  bool scrolled = false;
  if (xAxis_) scrolled |= xAxis_->ScrollToInclude(x);
  if (yAxis_) scrolled |= yAxis_->ScrollToInclude(y);
  if (chart_) {
    if (scrolled) chart_->requestLayout();
    chart_->markDirty();
  }
  return GetPointCount();
}

int QvDataChartSeries::SetPoints(const float* xs, const float* ys, int count, bool replace) {
  if (replace) {
    points_.clear();
    sortedByX_ = true;
    ResetBounds();
  }
  if (xs && ys && count > 0) {
    points_.reserve(points_.size() + static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      const DcPoint p{xs[i], ys[i]};
      if (!points_.empty() && points_.back().x > p.x) sortedByX_ = false;
      points_.push_back(p);
      Widen(p);
    }
  }
  if (chart_) chart_->markDirty();
  return GetPointCount();
}

void QvDataChartSeries::SetPoint(float x, float y, int index) {
  if (!ValidIndex(index)) return;
  points_[static_cast<std::size_t>(index)] = {x, y};
  RecheckSortedAround(index);
  RecomputeBounds();
  if (chart_) chart_->markDirty();
}

DcPoint QvDataChartSeries::GetPoint(int index) const {
  return ValidIndex(index) ? points_[static_cast<std::size_t>(index)] : DcPoint{};
}

void QvDataChartSeries::SetX(float x, int index) {
  if (ValidIndex(index)) SetPoint(x, points_[static_cast<std::size_t>(index)].y, index);
}

float QvDataChartSeries::GetX(int index) const {
  return GetPoint(index).x;
}

void QvDataChartSeries::SetY(float y, int index) {
  if (ValidIndex(index)) SetPoint(points_[static_cast<std::size_t>(index)].x, y, index);
}

float QvDataChartSeries::GetY(int index) const {
  return GetPoint(index).y;
}

void QvDataChartSeries::RemovePoint(int index) {
  if (!ValidIndex(index)) return;
  points_.erase(points_.begin() + index);
  // Bounds describe the points that are left, so a removed extreme does not linger.
  RecomputeBounds();
  if (chart_) chart_->markDirty();
}

void QvDataChartSeries::ClearPoints() {
  points_.clear();
  sortedByX_ = true;
  ResetBounds();
  if (chart_) chart_->markDirty();
}

int QvDataChartSeries::SetXAxis(QvDataChartAxis* axis) {
  if (axis && !axis->IsHorizontal()) return 0;
  xAxis_ = axis;
  if (chart_) chart_->markDirty();
  return 1;
}

int QvDataChartSeries::SetYAxis(QvDataChartAxis* axis) {
  if (axis && axis->IsHorizontal()) return 0;
  yAxis_ = axis;
  if (chart_) chart_->markDirty();
  return 1;
}

DcIndexRange QvDataChartSeries::VisibleRange() const {
  if (!xAxis_ || points_.empty()) return {0, 0};
  const float min = xAxis_->GetVisibleMin();
  const float max = xAxis_->GetVisibleMax();
  if (sortedByX_) return DcVisibleRangeSorted(points_, min, max);
  // Unsorted points are walked from the first one; the drawing skips those
  // left of the range and stops after the first one right of it.
  return {0, points_.size()};
}
