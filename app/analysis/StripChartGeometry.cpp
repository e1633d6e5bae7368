#include "app/analysis/StripChartGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/LogData.h"

double TimeAtX(const TimeView& view, double x, double left, double width) {
  if (width <= 0) return view.from;
  return view.from + (x - left) / width * view.Span();
}

double XAtTime(const TimeView& view, double t, double left, double width) {
  if (view.Span() <= 0) return left;
  return left + (t - view.from) / view.Span() * width;
}

namespace {

TimeView Clamp(TimeView v, const TimeView& bounds) {
  const double boundsSpan = std::max(0.0, bounds.Span());
  double span = std::min(v.Span(), boundsSpan);
  span = std::max(span, std::min(kMinimumViewSpan, boundsSpan));
  if (!(span > 0.0)) return bounds;
  double from = v.from;
  if (from < bounds.from) from = bounds.from;
  if (from + span > bounds.to) from = bounds.to - span;
  return TimeView{from, from + span};
}

}  // namespace

TimeView ZoomView(const TimeView& view, double anchor, double factor, const TimeView& bounds) {
  if (!(factor > 0.0) || !std::isfinite(factor)) return view;
  const double boundsSpan = bounds.Span();
  double span = view.Span() * factor;
  span = std::clamp(span, std::min(kMinimumViewSpan, boundsSpan), boundsSpan);
  // The anchor keeps its share of the view.
  const double share = view.Span() > 0 ? (anchor - view.from) / view.Span() : 0.5;
  const double from = anchor - share * span;
  return Clamp(TimeView{from, from + span}, bounds);
}

TimeView PanView(const TimeView& view, double delta, const TimeView& bounds) {
  return Clamp(TimeView{view.from + delta, view.to + delta}, bounds);
}

TimeView ViewFromRange(double a, double b, const TimeView& bounds) {
  if (a > b) std::swap(a, b);
  return Clamp(TimeView{a, b}, bounds);
}

EnvelopeBlocks SummarizeBlocks(const std::vector<float>& samples) {
  EnvelopeBlocks out;
  const std::size_t count = (samples.size() + kEnvelopeBlock - 1) / kEnvelopeBlock;
  out.minimum.assign(count, std::numeric_limits<float>::quiet_NaN());
  out.maximum.assign(count, std::numeric_limits<float>::quiet_NaN());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const float v = samples[i];
    if (std::isnan(v)) continue;
    float& lo = out.minimum[i / kEnvelopeBlock];
    float& hi = out.maximum[i / kEnvelopeBlock];
    if (std::isnan(lo) || v < lo) lo = v;
    if (std::isnan(hi) || v > hi) hi = v;
  }
  return out;
}

namespace {

void Take(EnvelopeColumn& column, float lo, float hi, float value) {
  if (!column.valid) {
    column = EnvelopeColumn{true, lo, hi, value, value};
    return;
  }
  column.minimum = std::min(column.minimum, lo);
  column.maximum = std::max(column.maximum, hi);
}

// Adds samples[from, to) to the column, sample by sample.
void TakeSamples(EnvelopeColumn& column, const std::vector<float>& samples, std::size_t from,
                 std::size_t to) {
  for (std::size_t r = from; r < to; ++r) {
    const float v = samples[r];
    if (std::isnan(v)) continue;
    Take(column, v, v, v);
    column.last = v;
  }
}

}  // namespace

std::vector<EnvelopeColumn> MinMaxEnvelope(const LogData& log, const std::vector<float>& samples,
                                           const TimeView& view, int columns, const EnvelopeBlocks* blocks) {
  std::vector<EnvelopeColumn> out(static_cast<std::size_t>(std::max(0, columns)));
  if (columns <= 0 || samples.size() != log.RecordCount() || !(view.Span() > 0)) return out;
  if (blocks != nullptr && blocks->minimum.size() != (samples.size() + kEnvelopeBlock - 1) / kEnvelopeBlock) {
    blocks = nullptr;
  }
  const double step = view.Span() / columns;
  std::size_t r = log.LowerBound(view.from);
  for (int c = 0; c < columns; ++c) {
    // The last column takes the view's end itself.
    const double end = c + 1 == columns ? view.to : view.from + step * (c + 1);
    const std::size_t stop = std::max(r, c + 1 == columns ? log.UpperBound(end) : log.LowerBound(end));
    EnvelopeColumn& column = out[static_cast<std::size_t>(c)];
    if (blocks == nullptr || stop - r < 2 * kEnvelopeBlock) {
      TakeSamples(column, samples, r, stop);
    } else {
      // Head up to a block boundary, whole blocks, then the tail.
      const std::size_t headEnd = (r + kEnvelopeBlock - 1) / kEnvelopeBlock * kEnvelopeBlock;
      const std::size_t tailStart = stop / kEnvelopeBlock * kEnvelopeBlock;
      TakeSamples(column, samples, r, headEnd);
      for (std::size_t b = headEnd / kEnvelopeBlock; b < tailStart / kEnvelopeBlock; ++b) {
        if (std::isnan(blocks->minimum[b])) continue;
        // The block's first sample joins a column that starts here.
        const float first = samples[b * kEnvelopeBlock];
        Take(column, blocks->minimum[b], blocks->maximum[b], std::isnan(first) ? blocks->minimum[b] : first);
      }
      TakeSamples(column, samples, tailStart, stop);
      // The last sample of the column, for the line to the next one.
      for (std::size_t k = stop; k > r; --k) {
        if (!std::isnan(samples[k - 1])) {
          column.last = samples[k - 1];
          break;
        }
      }
    }
    r = stop;
  }
  return out;
}

bool SampleRange(const std::vector<float>& samples, float* minimum, float* maximum) {
  bool any = false;
  for (float v : samples) {
    if (std::isnan(v)) continue;
    if (!any) {
      *minimum = *maximum = v;
      any = true;
    } else {
      *minimum = std::min(*minimum, v);
      *maximum = std::max(*maximum, v);
    }
  }
  return any;
}

double YAtValue(double value, double minimum, double maximum, double top, double height) {
  if (!(maximum > minimum)) return top + height / 2.0;
  return top + height - (value - minimum) / (maximum - minimum) * height;
}

std::vector<double> AxisTicks(double from, double to, int wanted) {
  std::vector<double> ticks;
  if (!(to > from) || wanted < 1 || !std::isfinite(from) || !std::isfinite(to)) return ticks;
  const double rough = (to - from) / wanted;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = power;
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    step = m * power;
    if (step >= rough) break;
  }
  // Multiples of the step, not sums, so that 0.6 stays 0.6.
  for (double k = std::ceil(from / step); k * step <= to + step * 1e-9 && ticks.size() <= 1000; k += 1.0) {
    ticks.push_back(k == 0.0 ? 0.0 : k * step);
  }
  return ticks;
}

std::size_t RecordAtTime(const LogData& log, double t) {
  const std::size_t after = log.UpperBound(t);
  return after == 0 ? 0 : after - 1;
}
