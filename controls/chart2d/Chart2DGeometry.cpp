#include "controls/chart2d/Chart2DGeometry.h"
#include "controls/common/CLocaleText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Position along [0, extent - 1] of a value in [min, max], rounded.
int Along(int extent, float min, float max, float value) {
  const double range = static_cast<double>(max) - min;
  if (!std::isfinite(range) || range == 0.0 || !std::isfinite(value) || extent <= 1) return 0;
  const double at = (static_cast<double>(value) - min) / range * (extent - 1);
  constexpr double kLimit = 1.0e6;  // far-away points stay far away without overflowing int
  return static_cast<int>(std::lround(std::clamp(at, -kLimit, kLimit)));
}

double PerPixel(int extent, float min, float max) {
  const double range = static_cast<double>(max) - min;
  if (!std::isfinite(range) || extent <= 1) return 0.0;
  return range / (extent - 1);
}

}  // namespace

C2Pixel C2ValueToPixel(const C2Rect& plot, float xMin, float xMax, float yMin, float yMax, float x, float y) {
  return {plot.left + Along(plot.Width(), xMin, xMax, x),
          plot.bottom - 1 - Along(plot.Height(), yMin, yMax, y)};
}

double C2PixelsToValueX(const C2Rect& plot, float xMin, float xMax, int pixels) {
  return pixels * PerPixel(plot.Width(), xMin, xMax);
}

double C2PixelsToValueY(const C2Rect& plot, float yMin, float yMax, int pixels) {
  return -pixels * PerPixel(plot.Height(), yMin, yMax);
}

bool C2Hit(C2Pixel press, C2Pixel point, int size) {
  const long long dx = static_cast<long long>(press.x) - point.x;
  const long long dy = static_cast<long long>(press.y) - point.y;
  return std::llabs(dx) <= size && std::llabs(dy) <= size;
}

C2Rect C2BandRect(C2Pixel from, C2Pixel to) {
  return {std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + 1,
          std::max(from.y, to.y) + 1};
}

bool C2InBand(const C2Rect& band, C2Pixel p) {
  return p.x >= band.left && p.x < band.right && p.y >= band.top && p.y < band.bottom;
}

std::vector<float> C2AutoXLabelValues(int plotWidth, int spacing, float min, float max) {
  const int n = std::max(plotWidth, 0) / std::max(spacing, 1) + 1;
  std::vector<float> values;
  values.reserve(static_cast<std::size_t>(n));
  if (n == 1) {
    // One label has no second end to divide the range by: it marks the minimum.
    values.push_back(min);
    return values;
  }
  for (int i = 0; i < n; ++i)
    values.push_back(static_cast<float>(min + (static_cast<double>(max) - min) * i / (n - 1)));
  return values;
}

std::vector<float> C2AutoYLabelValues(int plotHeight, int spacing, float min, float max) {
  const int m = std::max(plotHeight, 0) / std::max(spacing, 1) + 1;
  std::vector<float> values;
  values.reserve(static_cast<std::size_t>(m) + 1);
  for (int j = 0; j <= m; ++j)
    values.push_back(static_cast<float>(min + (static_cast<double>(max) - min) * j / m));
  return values;
}

std::string C2FormatLabel(float value) {
  char buffer[64];
  if (std::fabs(value) >= 1.0e15f) {
    CLocaleSnprintf(buffer, sizeof buffer, "%.3g", static_cast<double>(value));
  } else {
    CLocaleSnprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(value));
  }
  return buffer;
}

C2Bounds C2DataBounds(const std::vector<const std::vector<QvChart2DPoint>*>& lists) {
  C2Bounds b;
  float firstX = 0.0f;
  float firstY = 0.0f;
  for (const auto* list : lists) {
    if (!list) continue;
    for (const QvChart2DPoint& p : *list) {
      if (!b.any) {
        b = {true, p.x, p.x, p.y, p.y, false, false};
        firstX = p.x;
        firstY = p.y;
        continue;
      }
      b.minX = std::min(b.minX, p.x);
      b.maxX = std::max(b.maxX, p.x);
      b.minY = std::min(b.minY, p.y);
      b.maxY = std::max(b.maxY, p.y);
      if (p.x != firstX) b.xVaries = true;
      if (p.y != firstY) b.yVaries = true;
    }
  }
  return b;
}

int C2PlotTop(const C2Rect& client, const C2Metrics& m) {
  return client.top + 8 + m.titleHeight + m.subtitleHeight + (m.titleHeight || m.subtitleHeight ? 6 : 0) +
         m.xLabelHeight / 2;
}

int C2PlotBottom(const C2Rect& client, const C2Metrics& m) {
  return client.bottom - 6 - (m.xTitleHeight ? m.xTitleHeight + 4 : 0) - m.xLabelHeight - 6;
}

C2Rect C2LayoutPlot(const C2Rect& client, const C2Metrics& m) {
  C2Rect plot;
  plot.top = C2PlotTop(client, m);
  plot.bottom = C2PlotBottom(client, m);
  plot.left = client.left + 6 + (m.yTitleHeight ? m.yTitleHeight + 4 : 0) + m.yLabelWidth + 6;
  plot.right = client.right - std::max(10, m.xLabelHalfWidth + 4);
  return plot;
}

C2Rect C2DataRect(const C2Rect& plot) {
  constexpr int kInset = 6;
  if (plot.Width() <= 2 * kInset + 1 || plot.Height() <= 2 * kInset + 1) return plot;
  return {plot.left + kInset, plot.top + kInset, plot.right - kInset, plot.bottom - kInset};
}

C2Rect C2XLabelBox(const C2Rect& plot, int x, int textWidth, int textHeight) {
  const int left = x - textWidth / 2 - 1;
  return {left, plot.bottom + 4, left + textWidth + 2, plot.bottom + 4 + textHeight};
}

C2Rect C2YLabelBox(const C2Rect& plot, int y, int textWidth, int textHeight) {
  const int top = y - textHeight / 2;
  return {plot.left - 6 - textWidth, top, plot.left - 6, top + textHeight};
}
