// The arithmetic of the analysis strip charts, free of widgets: the shared
// time view (zoom, pan, limits), pixel and time conversions, the min/max
// envelope that draws a million samples as one vertical stroke per pixel
// column, value scaling and axis ticks.
//
// Thread contract: pure functions, callable from any thread.
#pragma once

#include <cstddef>
#include <vector>

class LogData;

struct TimeView {
  double from = 0.0;
  double to = 1.0;
  double Span() const { return to - from; }
  bool operator==(const TimeView&) const = default;
};

// The smallest span a view may be zoomed to, in seconds.
inline constexpr double kMinimumViewSpan = 0.01;

// The time at pixel x of a plot `width` pixels wide starting at `left`, and back.
double TimeAtX(const TimeView& view, double x, double left, double width);
double XAtTime(const TimeView& view, double t, double left, double width);

// The view zoomed by factor (below 1 zooms in) around anchor, which stays at
// the same pixel; kept within bounds and no narrower than kMinimumViewSpan (or
// the bounds when they are narrower).
TimeView ZoomView(const TimeView& view, double anchor, double factor, const TimeView& bounds);
// The view moved by delta seconds, kept within bounds (its span unchanged).
TimeView PanView(const TimeView& view, double delta, const TimeView& bounds);
// The view from a dragged range [a, b] in either order, kept within bounds.
TimeView ViewFromRange(double a, double b, const TimeView& bounds);

// One pixel column of a channel: the smallest and largest sample whose time
// falls into the column (valid false when none does, or all are NaN), and the
// first and last such samples, which join the column to its neighbours.
struct EnvelopeColumn {
  bool valid = false;
  float minimum = 0.0f;
  float maximum = 0.0f;
  float first = 0.0f;
  float last = 0.0f;
};

// The smallest and largest sample of each block of kEnvelopeBlock samples
// (NaN for a block of NaN only), so that a column spanning many records reads
// blocks instead of samples.
inline constexpr std::size_t kEnvelopeBlock = 256;
struct EnvelopeBlocks {
  std::vector<float> minimum;
  std::vector<float> maximum;
};
EnvelopeBlocks SummarizeBlocks(const std::vector<float>& samples);

// The envelope of a column of samples (one per record of the log) over
// `columns` pixel columns spanning the view; with blocks (of these samples),
// whole blocks inside a column are read from them.
std::vector<EnvelopeColumn> MinMaxEnvelope(const LogData& log, const std::vector<float>& samples,
                                           const TimeView& view, int columns,
                                           const EnvelopeBlocks* blocks = nullptr);

// The smallest and largest non-NaN sample (false when there is none).
bool SampleRange(const std::vector<float>& samples, float* minimum, float* maximum);
// The y pixel of a value in a plot from top to top + height (the range
// minimum at the bottom); a flat range puts values in the middle.
double YAtValue(double value, double minimum, double maximum, double top, double height);

// Axis ticks: a step of 1, 2 or 5 times a power of ten such that about
// `wanted` ticks fall into [from, to]; returns the ticks.
std::vector<double> AxisTicks(double from, double to, int wanted);

// The index of the last record whose time is at or before t (0 when t lies
// before the first record); the record the cursor reads.
std::size_t RecordAtTime(const LogData& log, double t);
