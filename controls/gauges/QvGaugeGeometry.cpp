#include "controls/gauges/QvGaugeGeometry.h"
#include "controls/common/CLocaleText.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr double kSin70 = 0.9396926;
constexpr double kCos70 = 0.3420201;
constexpr int kMaxDecimals = 60;

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// printf into a std::string of any length.
template <typename... Args>
std::string Format(const char* format, Args... args) {
  const int needed = CLocaleSnprintf(nullptr, 0, format, args...);
  if (needed <= 0) return {};
  std::string text(static_cast<std::size_t>(needed) + 1, '\0');
  CLocaleSnprintf(text.data(), text.size(), format, args...);
  text.resize(static_cast<std::size_t>(needed));
  return text;
}

}  // namespace

QvScale QvLogicalScale(QSize client, int logicalWidth, int logicalHeight, bool equal) {
  QvScale scale;
  if (logicalWidth <= 0 || logicalHeight <= 0) return scale;
  scale.x = static_cast<double>(std::max(client.width(), logicalWidth)) / logicalWidth;
  scale.y = static_cast<double>(std::max(client.height(), logicalHeight)) / logicalHeight;
  if (equal) scale.x = scale.y = std::min(scale.x, scale.y);
  return scale;
}

QvFit QvFitRect(QSize client, int logicalWidth, int logicalHeight) {
  QvFit fit;
  if (logicalWidth <= 0 || logicalHeight <= 0) return fit;
  const double w = std::max(client.width(), 0);
  const double h = std::max(client.height(), 0);
  fit.scale = std::min(w / logicalWidth, h / logicalHeight);
  fit.x = (w - logicalWidth * fit.scale) / 2.0;
  fit.y = (h - logicalHeight * fit.scale) / 2.0;
  return fit;
}

QvFit QvFitSquare(QSize client, int logicalSize) {
  return QvFitRect(client, logicalSize, logicalSize);
}

int QvTruncToInt(double value) {
  if (!std::isfinite(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

int QvRoundToInt(double value) {
  return QvTruncToInt(std::isfinite(value) ? std::round(value) : value);
}

double QvGaugeFraction(float v, float min, float max) {
  const double width = static_cast<double>(max) - static_cast<double>(min);
  if (width == 0.0) return 0.0;
  const double fraction = (static_cast<double>(v) - min) / width;
  return std::isfinite(fraction) ? fraction : 0.0;
}

double QvGaugeAngle(float v, float start, float end, float min, float max) {
  return start + (static_cast<double>(end) - start) * QvGaugeFraction(v, min, max) - 270.0;
}

QPoint QvGaugePoint(int c, double r, double angleDeg) {
  const double a = Radians(angleDeg);
  return QPoint(QvTruncToInt(c + r * std::cos(a)), QvTruncToInt(c + r * std::sin(a)));
}

QvLine QvRadialLine(int c, double r1, double r2, double angleDeg) {
  const double a = Radians(angleDeg);
  const double cs = std::cos(a);
  const double sn = std::sin(a);
  return QvLine{QPoint(QvRoundToInt(c + r1 * cs), QvRoundToInt(c + r1 * sn)),
                QPoint(QvRoundToInt(c + r2 * cs), QvRoundToInt(c + r2 * sn))};
}

std::vector<float> QvMajorTickValues(float min, float max, int count) {
  std::vector<float> values;
  if (count <= 0) return values;
  if (count == 1) return {min};
  values.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    values.push_back(min + (max - min) * static_cast<float>(i) / static_cast<float>(count - 1));
  }
  return values;
}

std::vector<float> QvMinorTickValues(float from, float to, int divisions) {
  std::vector<float> values;
  if (divisions <= 1) return values;
  values.reserve(static_cast<std::size_t>(divisions - 1));
  for (int j = 1; j < divisions; ++j) {
    values.push_back(from + (to - from) * static_cast<float>(j) / static_cast<float>(divisions));
  }
  return values;
}

QvTextAlign QvTickLabelAlign(double angleDeg) {
  const double phi = Radians(-angleDeg);
  const double s = std::sin(phi);
  const double k = std::cos(phi);
  if (s >= 0 && s <= kSin70 && k >= kCos70) return {QvHAlign::Right, QvVAlign::Top};
  if (s >= 0 && s <= kSin70 && k < kCos70) return {QvHAlign::Left, QvVAlign::Top};
  if (s > kSin70 && k >= -kCos70 && k <= kCos70) return {QvHAlign::Centre, QvVAlign::Top};
  if (s >= -kSin70 && s <= 0 && k <= kCos70) return {QvHAlign::Left, QvVAlign::Baseline};
  if (s >= -kSin70 && s <= 0 && k > kCos70) return {QvHAlign::Right, QvVAlign::Baseline};
  if (s < -kSin70 && k >= -kCos70 && k <= kCos70) return {QvHAlign::Centre, QvVAlign::Baseline};
  return {QvHAlign::Left, QvVAlign::Top};
}

QRect QvAlignedTextRect(QPoint anchor, QSize textSize, int ascent, QvTextAlign align) {
  int left = anchor.x();
  if (align.h == QvHAlign::Centre) left -= textSize.width() / 2;
  if (align.h == QvHAlign::Right) left -= textSize.width();
  int top = anchor.y();
  if (align.v == QvVAlign::Baseline) top -= ascent;
  if (align.v == QvVAlign::Bottom) top -= textSize.height();
  return QRect(QPoint(left, top), textSize);
}

QvArcSpan QvCounterClockwiseArc(double fromDeg, double toDeg) {
  QvArcSpan arc;
  if (!std::isfinite(fromDeg) || !std::isfinite(toDeg)) return arc;
  // Screen angles grow clockwise; the painter's grow counter-clockwise.
  arc.startDeg = std::fmod(-fromDeg, 360.0);
  if (arc.startDeg < 0) arc.startDeg += 360.0;
  double span = std::fmod(fromDeg - toDeg, 360.0);
  if (span < 0) span += 360.0;
  if (span == 0.0 && fromDeg != toDeg) span = 360.0;
  arc.spanDeg = span;
  return arc;
}

std::string QvGaugeNumberText(float v, int decimals) {
  // A float has no more than a few dozen meaningful decimals; the bound keeps a
  // wild setting from asking printf for a huge text.
  decimals = std::min(decimals, kMaxDecimals);
  const double value = v;
  if (value != std::trunc(value) || !std::isfinite(value)) return Format("%.*f", decimals, value);
  // Whole values beyond the int range would overflow "%i".
  if (value > static_cast<double>(INT_MAX) || value < static_cast<double>(INT_MIN))
    return Format("%.0f", value);
  return Format("%i", static_cast<int>(value));
}

std::string QvReadoutValueText(float v, bool fractional, int digits) {
  // The text is cut to 24 characters, so a larger count changes nothing shown.
  digits = std::min(digits, kMaxDecimals);
  std::string text =
      fractional ? Format("%.*f", digits, static_cast<double>(v)) : Format("%.*i", digits, QvTruncToInt(v));
  if (text.size() > kQvReadoutTextMax) text.resize(kQvReadoutTextMax);
  return text;
}

int QvReadoutFontHeight(std::size_t length) {
  static constexpr int kHeights[] = {50, 50, 50, 50, 44, 40, 34, 30, 28, 26, 24};
  return length < std::size(kHeights) ? kHeights[length] : 24;
}

int QvProgressBarLength(int extent, int position, int minimum, int maximum) {
  if (extent <= 0 || maximum == minimum) return 0;
  const double length = static_cast<double>(extent) * (static_cast<double>(position) - minimum) /
                        (static_cast<double>(maximum) - minimum);
  return std::clamp(QvTruncToInt(length), 0, extent);
}
