#include "controls/datachart/QvDataChartSeries.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cstdint>

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

namespace {

bool SameValue(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

}  // namespace

QvDataChartSeries::QvDataChartSeries(QvDataChart* chart) : chart_(chart), xs_(std::make_shared<DcColumn>()) {
  ResetBounds();
}

void QvDataChartSeries::AppendX(float x) {
  const std::size_t n = Count();
  if (n == 0 && xs_->empty() && chart_) {
    // A first point: share the column of a series on the same time axis whose
    // first x is this one.
    for (const auto& other : chart_->series_) {
      if (other.get() == this || other->xAxis_ != xAxis_ || other->xs_->empty()) continue;
      if (SameValue(other->xs_->front(), x)) {
        xs_ = other->xs_;
        return;
      }
    }
  }
  if (xs_->size() > n) {
    if (SameValue((*xs_)[n], x)) return;  // another series put the same x there
    OwnXColumn();
  }
  xs_->push_back(x);
}

void QvDataChartSeries::AppendPoint(const DcPoint& p) {
  if (Count() > 0 && (*xs_)[Count() - 1] > p.x) sortedByX_ = false;
  AppendX(p.x);
  ys_.push_back(p.y);
  Widen(p);
}

void QvDataChartSeries::OwnXColumn() {
  const std::size_t n = Count();
  if (xs_.use_count() > 1) {
    xs_ = std::make_shared<DcColumn>(xs_->begin(), xs_->begin() + static_cast<std::ptrdiff_t>(n));
  } else if (xs_->size() > n) {
    xs_->resize(n);
  }
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
  const DcPointView points = Points();
  for (std::size_t i = 0; i < points.size(); ++i) Widen(points[i]);
}

void QvDataChartSeries::RecheckSortedAround(int index) {
  if (!sortedByX_) return;
  const auto i = static_cast<std::size_t>(index);
  const DcColumn& xs = *xs_;
  if ((i > 0 && xs[i - 1] > xs[i]) || (i + 1 < Count() && xs[i] > xs[i + 1])) sortedByX_ = false;
}

int QvDataChartSeries::AddPoint(float x, float y) {
  AppendPoint({x, y});
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
    ClearColumns();
    sortedByX_ = true;
    ResetBounds();
  }
  if (xs && ys && count > 0) {
    for (int i = 0; i < count; ++i) AppendPoint({xs[i], ys[i]});
  }
  if (chart_) chart_->markDirty();
  return GetPointCount();
}

void QvDataChartSeries::SetPoint(float x, float y, int index) {
  if (!ValidIndex(index)) return;
  OwnXColumn();
  (*xs_)[static_cast<std::size_t>(index)] = x;
  ys_.set(static_cast<std::size_t>(index), y);
  RecheckSortedAround(index);
  RecomputeBounds();
  if (chart_) chart_->markDirty();
}

DcPoint QvDataChartSeries::GetPoint(int index) const {
  return ValidIndex(index) ? Points()[static_cast<std::size_t>(index)] : DcPoint{};
}

void QvDataChartSeries::SetX(float x, int index) {
  if (ValidIndex(index)) SetPoint(x, ys_[static_cast<std::size_t>(index)], index);
}

float QvDataChartSeries::GetX(int index) const {
  return GetPoint(index).x;
}

void QvDataChartSeries::SetY(float y, int index) {
  if (ValidIndex(index)) SetPoint((*xs_)[static_cast<std::size_t>(index)], y, index);
}

float QvDataChartSeries::GetY(int index) const {
  return GetPoint(index).y;
}

void QvDataChartSeries::RemovePoint(int index) {
  if (!ValidIndex(index)) return;
  OwnXColumn();
  xs_->erase(xs_->begin() + index);
  ys_.erase(static_cast<std::size_t>(index));
  // Bounds describe the points that are left, so a removed extreme does not linger.
  RecomputeBounds();
  if (chart_) chart_->markDirty();
}

void QvDataChartSeries::ClearColumns() {
  if (xs_.use_count() > 1) {
    xs_ = std::make_shared<DcColumn>();
  } else {
    xs_->clear();
  }
  ys_.clear();
}

void QvDataChartSeries::ClearPoints() {
  ClearColumns();
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
  if (!xAxis_ || Count() == 0) return {0, 0};
  const float min = xAxis_->GetVisibleMin();
  const float max = xAxis_->GetVisibleMax();
  if (sortedByX_) return DcVisibleRangeSorted(Points(), min, max);
  // Unsorted points are walked from the first one; the drawing skips those
  // left of the range and stops after the first one right of it.
  return {0, Count()};
}
