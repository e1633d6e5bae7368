#include "controls/datachart/DataChartGeometry.h"
#include "controls/common/CLocaleText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ranges>

bool DcIsHorizontal(std::int32_t position) {
  return position == DcAxisTop || position == DcAxisBottom;
}

double DcValueToPixelF(bool horizontal, const DcRect& span, double min, double max, double value) {
  const double start = horizontal ? span.left : span.bottom;
  const double end = horizontal ? span.right : span.top;
  const double range = max - min;
  if (!std::isfinite(range) || range == 0.0 || !std::isfinite(value)) return start;
  const double pixel = start + (value - min) / range * (end - start);
  return std::isnan(pixel) ? start : pixel;
}

int DcValueToPixel(bool horizontal, const DcRect& span, double min, double max, double value) {
  const double pixel = DcValueToPixelF(horizontal, span, min, max, value);
  // Far-away values are pinned well outside any screen instead of overflowing int.
  constexpr double kLimit = 1.0e8;
  return static_cast<int>(std::clamp(pixel, -kLimit, kLimit));
}

DcTicks DcComputeTicks(bool horizontal, const DcRect& span, double visibleMin, double visibleMax,
                       bool fromFullMinimum, double fullMin) {
  DcTicks ticks;
  const double range = visibleMax - visibleMin;
  if (!std::isfinite(range) || range <= 0.0) return ticks;

  const long long length = horizontal ? std::llabs(static_cast<long long>(span.right) - span.left)
                                      : std::llabs(static_cast<long long>(span.bottom) - span.top);
  long long n = length / (horizontal ? 35 : 20);
  if (n == 0) n = 1;
  const double raw = range / static_cast<double>(n);
  const double p = std::floor(std::log10(raw));
  const double f = std::pow(10.0, p);
  double step = 10.0 * f;
  bool tenfold = true;
  for (double k : {1.0, 2.0, 5.0}) {
    if (k * f >= raw) {
      step = k * f;
      tenfold = false;
      break;
    }
  }
  int decimals = p < 0.0 ? static_cast<int>(-p) : 0;
  if (tenfold && decimals > 0) --decimals;
  if (!std::isfinite(step) || step <= 0.0) return ticks;

  double first;
  if (fromFullMinimum && std::isfinite(fullMin)) {
    first = fullMin;
    if (first < visibleMin) {
      // Ticks lie on fullMin + k * step. Working from fullMin's phase within a
      // step (exact with fmod) avoids cancelling a far-away minimum against a
      // nearby visible one.
      const double phase = std::fmod(fullMin, step);
      first = std::ceil((visibleMin - phase) / step - 1e-9) * step + phase;
    }
  } else {
    // A hair of tolerance keeps 0.3 / 0.1 from rounding up to the next step.
    first = std::ceil(visibleMin / step - 1e-9) * step;
  }
  if (!std::isfinite(first)) return ticks;

  const double count = first < visibleMax ? std::ceil((visibleMax - first) / step) : 0.0;
  ticks.step = step;
  ticks.first = first;
  ticks.decimals = decimals;
  // The step is at least range / n, so there are at most n + 1 ticks; the cap
  // only guards against rounding.
  ticks.count = static_cast<int>(std::min<double>(count, static_cast<double>(n) + 2.0));
  while (ticks.count > 0 && DcTickValue(ticks, ticks.count - 1) >= visibleMax) --ticks.count;
  return ticks;
}

double DcTickValue(const DcTicks& ticks, int index) {
  return ticks.first + ticks.step * index;
}

int DcAxisWidth(bool hasTitle, int titleHeight, int labelExtent) {
  return (hasTitle ? titleHeight + 2 : 0) + 8 + labelExtent + 2;
}

DcLayout DcLayoutChart(const DcRect& client, int titleHeight, const std::vector<DcAxisSlot>& axes) {
  DcLayout layout;
  layout.plot = {client.left + 3, client.top + 3, client.right - 3, client.bottom - 3};
  layout.plot.top += titleHeight;
  int used[4] = {0, 0, 0, 0};
  layout.offsets.reserve(axes.size());
  for (const DcAxisSlot& axis : axes) {
    const int side =
        axis.position >= DcAxisLeft && axis.position <= DcAxisBottom ? axis.position : DcAxisLeft;
    layout.offsets.push_back(used[side]);
    used[side] += axis.width;
    switch (side) {
      case DcAxisLeft:
        layout.plot.left += axis.width;
        break;
      case DcAxisRight:
        layout.plot.right -= axis.width;
        break;
      case DcAxisTop:
        layout.plot.top += axis.width;
        break;
      default:
        layout.plot.bottom -= axis.width;
        break;
    }
  }
  return layout;
}

DcScroll DcScrollToInclude(float min, float max, float value, int marginPercent) {
  DcScroll scroll{false, min, max};
  if (!std::isfinite(value)) return scroll;
  const float margin = static_cast<float>(marginPercent) / 100.0f * (max - min);
  if (value > max) {
    const float shift = (value - max) + margin;
    scroll = {true, min + shift, max + shift};
  } else if (value < min) {
    const float shift = (min - value) + margin;
    scroll = {true, min - shift, max - shift};
  }
  return scroll;
}

std::string DcFormatFixed(double value, int decimals) {
  char buffer[64];
  const int precision = std::clamp(decimals, 0, 20);
  // Values too large for a short text are written in exponent form so the
  // label stays bounded.
  if (std::fabs(value) >= 1.0e15) {
    CLocaleSnprintf(buffer, sizeof buffer, "%.*g", std::max(precision, 3), value);
  } else {
    CLocaleSnprintf(buffer, sizeof buffer, "%.*f", precision, value);
  }
  return buffer;
}

std::string DcFormatTimeLabel(double seconds) {
  if (!std::isfinite(seconds)) return {};
  // Minutes wrap at 60, so only the time within the hour matters; reducing
  // first keeps the integer conversion in range for any finite value.
  const double whole = std::trunc(seconds);
  const long long within = static_cast<long long>(std::fmod(std::fabs(whole), 3600.0));
  char buffer[32];
  CLocaleSnprintf(buffer, sizeof buffer, seconds < 0.0 ? "-%lld:%.2lld" : "%lld:%.2lld", (within / 60) % 60,
                  within % 60);
  return buffer;
}

DcIndexRange DcVisibleRangeSorted(DcPointView points, float min, float max) {
  const std::size_t n = points.size();
  const auto indexes = std::views::iota(std::size_t{0}, n);
  const auto first = std::ranges::partition_point(indexes, [&](std::size_t i) { return points.X(i) < min; });
  const auto last = std::ranges::partition_point(std::ranges::subrange(first, indexes.end()),
                                                 [&](std::size_t i) { return !(max < points.X(i)); });
  DcIndexRange range{static_cast<std::size_t>(first - indexes.begin()),
                     static_cast<std::size_t>(last - indexes.begin())};
  if (range.begin > 0) --range.begin;
  if (range.end < n) ++range.end;
  return range;
}

namespace {

// Collects vertices and merges the ones that share a pixel column.
class ColumnMerger {
 public:
  explicit ColumnMerger(std::vector<DcPixel>& out) : out_(out) {}

  void Add(const DcPixel& p) {
    const double column = std::floor(p.x);
    if (count_ > 0 && column == column_) {
      if (p.y < low_.y) low_ = p;
      if (p.y > high_.y) high_ = p;
      last_ = p;
      ++count_;
      return;
    }
    Flush();
    column_ = column;
    first_ = low_ = high_ = last_ = p;
    count_ = 1;
  }

  void Flush() {
    if (count_ == 0) return;
    out_.push_back(first_);
    if (count_ > 1) {
      // Keep the vertical extent in the order the data reached it.
      const bool lowFirst = low_.x <= high_.x;
      const DcPixel& a = lowFirst ? low_ : high_;
      const DcPixel& b = lowFirst ? high_ : low_;
      out_.push_back(a);
      out_.push_back(b);
      out_.push_back(last_);
    }
    count_ = 0;
  }

 private:
  std::vector<DcPixel>& out_;
  double column_ = 0.0;
  DcPixel first_, low_, high_, last_;
  int count_ = 0;
};

}  // namespace

std::vector<DcPixel> DcSeriesPolyline(DcPointView points, DcIndexRange range, const DcRect& span, float xMin,
                                      float xMax, float yMin, float yMax) {
  std::vector<DcPixel> out;
  const std::size_t end = std::min(range.end, points.size());
  if (range.begin >= end) return out;
  ColumnMerger merger(out);
  const auto add = [&](const DcPoint& p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    merger.Add({DcValueToPixelF(true, span, xMin, xMax, p.x), DcValueToPixelF(false, span, yMin, yMax, p.y)});
  };
  add(points[range.begin]);
  for (std::size_t i = range.begin + 1; i < end; ++i) {
    const DcPoint p = points[i];
    if (p.x < xMin) continue;
    add(p);
    if (p.x > xMax) break;
  }
  merger.Flush();
  if (out.size() < 2) {
    out.clear();
    return out;
  }
  // The entry and exit points may lie far outside the plot; cut their segments
  // at the plot edge (keeping the slope) so huge coordinates never reach the
  // painter.
  const auto cut = [](DcPixel& outer, const DcPixel& inner, double edge) {
    if (inner.x == outer.x) return;
    const double t = (edge - inner.x) / (outer.x - inner.x);
    outer = {edge, inner.y + t * (outer.y - inner.y)};
  };
  const double left = std::min(span.left, span.right) - 2.0;
  const double right = std::max(span.left, span.right) + 2.0;
  if (out.front().x < left && out[1].x >= left) cut(out.front(), out[1], left);
  if (out.back().x > right && out[out.size() - 2].x <= right) cut(out.back(), out[out.size() - 2], right);
  return out;
}

int DcAxisLine(std::int32_t position, const DcRect& plot, int offset) {
  switch (position) {
    case DcAxisLeft:
      return plot.left - offset - 2;
    case DcAxisRight:
      return plot.right + offset + 1;
    case DcAxisTop:
      return plot.top - offset - 2;
    default:
      return plot.bottom + offset + 1;
  }
}

DcRect DcTickSegment(std::int32_t position, int line, int at) {
  switch (position) {
    case DcAxisLeft:
      return {line - 5, at, line, at};
    case DcAxisRight:
      return {line, at, line + 5, at};
    case DcAxisTop:
      return {at, line - 5, at, line};
    default:
      return {at, line, at, line + 5};
  }
}

DcRect DcLabelBox(std::int32_t position, int line, int at, int textWidth, int textHeight) {
  const int halfHeight = textHeight / 2;
  const int halfWidth = textWidth / 2;
  switch (position) {
    case DcAxisLeft:
      return {line - 6 - textWidth, at - halfHeight, line - 6, at - halfHeight + textHeight};
    case DcAxisRight:
      return {line + 9, at - halfHeight, line + 9 + textWidth, at - halfHeight + textHeight};
    case DcAxisTop:
      return {at - halfWidth, line - 6 - textHeight, at - halfWidth + textWidth, line - 6};
    default:
      return {at - halfWidth, line + 6, at - halfWidth + textWidth, line + 6 + textHeight};
  }
}

DcRect DcKeepInside(const DcRect& box, const DcRect& client) {
  DcRect out = box;
  const auto shift = [](int& low, int& high, int min, int max) {
    if (high > max) {
      low -= high - max;
      high = max;
    }
    if (low < min) {
      high += min - low;
      low = min;
    }
  };
  shift(out.left, out.right, client.left, client.right);
  shift(out.top, out.bottom, client.top, client.bottom);
  return out;
}

std::vector<DcPlacedLabel> DcPlaceLabels(const std::vector<DcRect>& boxes, const DcRect& client) {
  // Labels closer than about a space apart read as one.
  constexpr int kGap = 6;
  const auto overlap = [](const DcRect& a, const DcRect& b) {
    return a.left < b.right + kGap && b.left < a.right + kGap && a.top < b.bottom + kGap &&
           b.top < a.bottom + kGap;
  };
  std::vector<DcPlacedLabel> placed;
  placed.reserve(boxes.size());
  for (const DcRect& box : boxes) placed.push_back({DcKeepInside(box, client), true});
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (placed[i].box == boxes[i]) continue;
    if ((i > 0 && overlap(placed[i].box, boxes[i - 1])) ||
        (i + 1 < boxes.size() && overlap(placed[i].box, boxes[i + 1])))
      placed[i].drawn = false;
  }
  return placed;
}

DcRect DcTitleBand(std::int32_t position, const DcRect& plot, int offset, int width, int titleHeight) {
  const int outer = offset + width;
  switch (position) {
    case DcAxisLeft:
      return {plot.left - outer, plot.top, plot.left - outer + titleHeight, plot.bottom};
    case DcAxisRight:
      return {plot.right + outer - titleHeight, plot.top, plot.right + outer, plot.bottom};
    case DcAxisTop:
      return {plot.left, plot.top - outer, plot.right, plot.top - outer + titleHeight};
    default:
      return {plot.left, plot.bottom + outer - titleHeight, plot.right, plot.bottom + outer};
  }
}
