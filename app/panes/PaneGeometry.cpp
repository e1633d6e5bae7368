#include "app/panes/PaneGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int ClampToInt(long long v) {
  return static_cast<int>(
      std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Whole milliseconds of a time truncated to whole seconds; NaN counts as 0
// and huge times saturate.
long long WholeSecondsMs(float seconds) {
  if (!std::isfinite(seconds)) return 0;
  const double whole = std::trunc(static_cast<double>(seconds));
  const double ms = std::clamp(whole * 1000.0, -2.0e9, 2.0e9);
  return static_cast<long long>(ms);
}

}  // namespace

PaneRect DashGaugeRect(int areaLeft, int areaTop, int areaRight, int areaBottom, std::int16_t top,
                       std::int16_t left, std::int16_t bottom, std::int16_t right) {
  const long long l = areaLeft;
  const long long t = areaTop;
  const long long w = static_cast<long long>(areaRight) - l;
  const long long h = static_cast<long long>(areaBottom) - t;
  const long long pTop = static_cast<std::uint16_t>(top);
  const long long pLeft = static_cast<std::uint16_t>(left);
  const long long pBottom = static_cast<std::uint16_t>(bottom);
  const long long pRight = static_cast<std::uint16_t>(right);
  const long long x = w * pLeft / 100 + l;
  const long long y = t + pTop * h / 100;
  PaneRect r;
  r.x = ClampToInt(x);
  r.y = ClampToInt(y);
  r.width = ClampToInt(w * pRight / 100 + l - x);
  r.height = ClampToInt(t + pBottom * h / 100 - y);
  return r;
}

PaneRect MonitorChartRect(int index, int count, int pageWidth, int pageHeight) {
  if (count <= 0 || index < 0 || index >= count) return {};
  const int h = std::max(pageHeight, 0) / count;
  return {0, index * h, std::max(pageWidth, 0), h};
}

PaneRect HistogramGridRect(int gridLeft, int gridTop, int pageWidth, int pageHeight) {
  PaneRect r;
  r.x = gridLeft;
  r.y = gridTop;
  r.width = std::max(0, pageWidth - 2 * gridLeft);
  r.height = std::max(0, pageHeight - gridTop - 3);
  return r;
}

MonitorScroll MonitorScrollFor(float visibleMin, float visibleMax, float fullMin, float fullMax) {
  MonitorScroll s;
  s.visible = visibleMin > fullMin || visibleMax < fullMax;
  const long long start = WholeSecondsMs(visibleMin);
  const long long end = WholeSecondsMs(visibleMax);
  const long long width = std::max(0LL, end - start);
  const long long fullStart = std::min(WholeSecondsMs(fullMin), start);
  const long long fullEnd = std::max(WholeSecondsMs(fullMax), end);
  s.minimum = ClampToInt(fullStart);
  s.maximum = ClampToInt(std::max(fullStart, fullEnd - width));
  s.page = ClampToInt(width);
  s.value = ClampToInt(std::clamp(start, fullStart, std::max(fullStart, fullEnd - width)));
  return s;
}

std::uint32_t MonitorPaletteColor(int entryCount) {
  const int n = static_cast<int>(kMonitorPalette.size());
  return kMonitorPalette[static_cast<std::size_t>(((entryCount % n) + n) % n)];
}
