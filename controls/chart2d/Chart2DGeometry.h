#pragma once
// Pure geometry of the 2-D chart: plot layout, value <-> pixel mapping, hit
// testing, rubber-band tests, automatic label values and the data bounds of a
// set of point lists. Nothing here touches Qt.
//
// Thread contract: free functions without shared state; callable anywhere.
#include <cstdint>
#include <string>
#include <vector>

// A point of a 2-D chart series. `data` is a word the chart carries along for
// the caller and never interprets.
struct QvChart2DPoint {
  static constexpr std::uint8_t kSelected = 0x1;
  float x = 0.0f;
  float y = 0.0f;
  std::uint8_t flags = 0;
  std::uint32_t data = 0;
};

// Rectangle with exclusive right and bottom edges.
struct C2Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const C2Rect&) const = default;
};

struct C2Pixel {
  int x = 0;
  int y = 0;
  bool operator==(const C2Pixel&) const = default;
};

// Maps values onto the plot: the minimum onto the first pixel column (or the
// bottom row) and the maximum onto the last one, rounded to the nearest pixel.
// An empty or non-finite range maps onto the first column or the bottom row.
C2Pixel C2ValueToPixel(const C2Rect& plot, float xMin, float xMax, float yMin, float yMax, float x, float y);

// The value change that a mouse movement of `pixels` means along x (positive
// to the right) or along y (positive upwards, so screen rows count negative).
double C2PixelsToValueX(const C2Rect& plot, float xMin, float xMax, int pixels);
double C2PixelsToValueY(const C2Rect& plot, float yMin, float yMax, int pixels);

// A press hits a point when it lies within `size` pixels of it in both
// directions (inclusive).
bool C2Hit(C2Pixel press, C2Pixel point, int size);

// The rectangle spanned by two corners, inclusive of both, and whether a pixel
// lies in it.
C2Rect C2BandRect(C2Pixel from, C2Pixel to);
bool C2InBand(const C2Rect& band, C2Pixel p);

// Values of the automatic labels: width / spacing + 1 labels across x from the
// minimum to the maximum (a single label at the minimum when that is one), and
// m + 1 labels up y for m = height / spacing + 1. A spacing of 0 counts as 1;
// negative extents as 0.
std::vector<float> C2AutoXLabelValues(int plotWidth, int spacing, float min, float max);
std::vector<float> C2AutoYLabelValues(int plotHeight, int spacing, float min, float max);

// "%.2f" of a label value.
std::string C2FormatLabel(float value);

// Extent of all points of all lists, taken from the first point found. The
// x (y) range may follow the data only when some x (y) differs from the first
// point's.
struct C2Bounds {
  bool any = false;
  float minX = 0.0f;
  float maxX = 0.0f;
  float minY = 0.0f;
  float maxY = 0.0f;
  bool xVaries = false;
  bool yVaries = false;
};
C2Bounds C2DataBounds(const std::vector<const std::vector<QvChart2DPoint>*>& lists);

// Space around the plot, measured by the caller from its fonts.
struct C2Metrics {
  int titleHeight = 0;     // 0 without a title
  int subtitleHeight = 0;  // 0 without a subtitle
  int xLabelHeight = 0;
  int xTitleHeight = 0;     // 0 without an x-axis title
  int yTitleHeight = 0;     // height of the rotated y-axis title, 0 without one
  int yLabelWidth = 0;      // widest y label
  int xLabelHalfWidth = 0;  // half the widest x label, room kept at the right
};

// Vertical and horizontal margins are independent: the plot's height does not
// depend on the y label widths, so y labels can be made before the width is
// known.
int C2PlotTop(const C2Rect& client, const C2Metrics& m);
int C2PlotBottom(const C2Rect& client, const C2Metrics& m);
C2Rect C2LayoutPlot(const C2Rect& client, const C2Metrics& m);

// The part of the plot that values map onto: the plot inset by 6 pixels, so
// points at the ends of the ranges show whole markers. Plots too small for the
// inset are used as they are.
C2Rect C2DataRect(const C2Rect& plot);

// Boxes of axis labels: x labels centred under their grid line, 4 pixels below
// the plot; y labels ending 6 pixels left of the plot, centred on their line.
C2Rect C2XLabelBox(const C2Rect& plot, int x, int textWidth, int textHeight);
C2Rect C2YLabelBox(const C2Rect& plot, int y, int textWidth, int textHeight);
