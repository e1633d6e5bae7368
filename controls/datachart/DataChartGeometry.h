#pragma once
// Pure geometry of the data chart: plot layout, value <-> pixel mapping, tick
// steps, scrolling and the choice of the points a series draws. Nothing here
// touches Qt, so every rule can be tested without a window.
//
// Thread contract: free functions without shared state; callable anywhere.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "controls/datachart/DcValueColumn.h"

// A rectangle with exclusive right and bottom edges, as the chart keeps its
// client, plot and pixel-span rectangles.
struct DcRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const DcRect&) const = default;
};

// Axis positions: vertical axes sit left or right, horizontal ones top or bottom.
enum DcAxisPosition : std::int32_t {
  DcAxisLeft = 0,
  DcAxisRight = 1,
  DcAxisTop = 2,
  DcAxisBottom = 3,
};

bool DcIsHorizontal(std::int32_t position);

// Maps a value onto the pixel span of an axis through its visible range,
// truncated to an integer. An empty or non-finite range maps everything onto
// the start of the span instead of dividing by zero.
int DcValueToPixel(bool horizontal, const DcRect& span, double min, double max, double value);

// The same mapping without truncation, for drawing many points.
double DcValueToPixelF(bool horizontal, const DcRect& span, double min, double max, double value);

// Tick spacing of one axis.
struct DcTicks {
  double step = 0.0;   // 0 when the axis gets no ticks
  double first = 0.0;  // value of the first tick
  int decimals = 0;    // label precision that suits the step
  int count = 0;       // ticks from `first` in steps of `step` below the visible maximum
};

// Picks a 1-2-5 step giving about one tick per 35 pixels (horizontal) or 20
// pixels (vertical) and the first tick at or above the visible minimum. With
// `fromFullMinimum` the ticks are counted from the full range's minimum.
DcTicks DcComputeTicks(bool horizontal, const DcRect& span, double visibleMin, double visibleMax,
                       bool fromFullMinimum, double fullMin);

// The value of tick `index` (first + index * step, without accumulated drift).
double DcTickValue(const DcTicks& ticks, int index);

// One axis as the layout sees it: where it sits and how much room it needs.
struct DcAxisSlot {
  std::int32_t position = DcAxisLeft;
  int width = 0;
};

// Result of laying out the chart.
struct DcLayout {
  DcRect plot;
  std::vector<int> offsets;  // per axis: sum of the widths placed before it on its side
};

// The plot rectangle is the client rectangle inset by 3 pixels, moved down by
// the title (titleHeight 0 when there is no title, else text height + 4) and
// shrunk by every axis on its own side.
DcLayout DcLayoutChart(const DcRect& client, int titleHeight, const std::vector<DcAxisSlot>& axes);

// Room an axis needs: title height + 2 when titled, 8, and the label extent + 2
// (label text height for horizontal axes, the wider range-end label for
// vertical ones).
int DcAxisWidth(bool hasTitle, int titleHeight, int labelExtent);

// Scrolling a range to take in a new coordinate, keeping `marginPercent` of the
// span ahead of it.
struct DcScroll {
  bool moved = false;
  float min = 0.0f;
  float max = 0.0f;
};
DcScroll DcScrollToInclude(float min, float max, float value, int marginPercent);

// "%.*f" of a value with the given decimals (clamped to 0..20).
std::string DcFormatFixed(double value, int decimals);

// Time label of the monitor panes: "M:SS" with minutes taken modulo 60, "-M:SS"
// for negative times. Values that are not finite give an empty text.
std::string DcFormatTimeLabel(double seconds);

// The points of a series that the line visits, as a half-open index range
// [begin, end). The line enters from the last point before the visible range
// and leaves through the first point after it, so the segments at both edges
// show the true slope (they are clipped by the plot). `xs` must be sorted
// ascending by x for the binary search.
struct DcPoint {
  float x = 0.0f;
  float y = 0.0f;
};
struct DcIndexRange {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// One column of a series' coordinates. Blocks of fixed size: appending never
// moves what is stored, so a long recording grows by its points and nothing
// else.
using DcColumn = std::deque<float>;

// Read-only view of points: an array of points, or an x and a y column of
// which the first `count` entries are the points. Valid while what it views
// is neither changed nor destroyed.
class DcPointView {
 public:
  DcPointView() = default;
  // Implicit, so that an array of points passes where a view is taken.
  DcPointView(const std::vector<DcPoint>& points) : points_(&points), count_(points.size()) {}
  DcPointView(const DcColumn& xs, const DcValueColumn& ys, std::size_t count)
      : xs_(&xs), ys_(&ys), count_(count) {}

  std::size_t size() const { return count_; }
  DcPoint operator[](std::size_t i) const { return points_ ? (*points_)[i] : DcPoint{(*xs_)[i], (*ys_)[i]}; }
  float X(std::size_t i) const { return points_ ? (*points_)[i].x : (*xs_)[i]; }

 private:
  const std::vector<DcPoint>* points_ = nullptr;
  const DcColumn* xs_ = nullptr;
  const DcValueColumn* ys_ = nullptr;
  std::size_t count_ = 0;
};

DcIndexRange DcVisibleRangeSorted(DcPointView points, float min, float max);

// Pixel polyline of a series: starts at `range.begin`, skips later points left
// of [xMin, xMax], and ends with the first point right of it. Runs of points
// that fall into one pixel column collapse to at most four vertices (first,
// lowest, highest, last), so the vertex count stays bounded by the plot width
// however dense the data. Points with non-finite coordinates are left out.
// Returns no vertices when fewer than two remain.
struct DcPixel {
  double x = 0.0;
  double y = 0.0;
};
std::vector<DcPixel> DcSeriesPolyline(DcPointView points, DcIndexRange range, const DcRect& span, float xMin,
                                      float xMax, float yMin, float yMax);

// Where an axis draws, given the plot rectangle and the axis' offset:
// the axis line's x (left, right) or y (top, bottom).
int DcAxisLine(std::int32_t position, const DcRect& plot, int offset);

// A 5-pixel tick at pixel `at` along the axis, as a segment from (left, top)
// to (right, bottom) (inclusive ends).
DcRect DcTickSegment(std::int32_t position, int line, int at);

// The box of a label of the given text size at pixel `at`: ending 6 pixels
// left of a left line, starting 9 pixels right of a right line (both centred
// on the tick), centred above a top line, or 6 pixels below a bottom line.
DcRect DcLabelBox(std::int32_t position, int line, int at, int textWidth, int textHeight);

// Shifts a label box (without resizing it) so that it lies within the client
// rectangle where it fits, so a label centred on the first or last tick of an
// axis without neighbours is not cut at the window edge.
DcRect DcKeepInside(const DcRect& box, const DcRect& client);

// Places the labels of one axis (boxes in tick order): each is kept inside the
// client; one that had to move and then overlaps a neighbour is dropped
// (`drawn` false), so edge labels never crowd or cover the next one.
struct DcPlacedLabel {
  DcRect box;
  bool drawn = true;
};
std::vector<DcPlacedLabel> DcPlaceLabels(const std::vector<DcRect>& boxes, const DcRect& client);

// The band along the axis' outer edge that holds its title. For left and right
// axes the band is `titleHeight` wide and as tall as the plot (the title is
// drawn rotated inside it).
DcRect DcTitleBand(std::int32_t position, const DcRect& plot, int offset, int width, int titleHeight);
