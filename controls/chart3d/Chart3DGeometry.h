#pragma once
// Pure geometry of the 3-D chart: the rotation the user sets with the mouse,
// the projection of the plot box onto the screen, where cells stand on the
// floor, the faces of bars and surface patches in drawing order, value ranges,
// axis ticks and the colour scale. The widget only draws what these return.
//
// The plot lives in a box: columns run along x and rows along y, each from
// -0.5 to 0.5, and values rise along z from 0 to kChart3DHeight.
//
// Thread contract: pure functions and plain values; any thread.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

inline constexpr double kChart3DHeight = 0.7;

struct C3Vec {
  double x = 0.0, y = 0.0, z = 0.0;
};

// Turn about the vertical axis and tilt of the view, in degrees.
struct C3View {
  double yaw = 35.0;
  double pitch = 30.0;
  bool operator==(const C3View&) const = default;
};

inline constexpr double kChart3DMinPitch = 5.0;
inline constexpr double kChart3DMaxPitch = 89.0;
inline constexpr double kChart3DDegreesPerPixel = 0.5;

// The view after a mouse drag of (dx, dy) pixels: right turns the plot to the
// right, down tilts it towards a view from above. Yaw wraps into [0, 360),
// pitch stays within its limits. An angle that is not a number starts again
// from the first view's.
C3View Chart3DRotate(C3View view, double dx, double dy);

struct C3Rect {
  double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
};

// Screen position (y down) and depth (larger is farther from the viewer).
struct C3Screen {
  double x = 0.0, y = 0.0, depth = 0.0;
};

// Orthographic projection that fits the whole box into a rectangle; made by
// Chart3DFit, which also keeps the sines and cosines of the view's angles.
struct C3Projection {
  C3View view;
  double scale = 1.0;
  double offsetX = 0.0;
  double offsetY = 0.0;
  double cosYaw = 1.0, sinYaw = 0.0;
  double cosPitch = 1.0, sinPitch = 0.0;
  C3Screen project(C3Vec p) const;
  // Depth of a point without placing it on screen.
  double depth(C3Vec p) const;
};
C3Projection Chart3DFit(C3View view, C3Rect area);

// The place along an axis of cell `index` of `count`: by its value within
// [min, max] when that range is usable, else by its index, so that the cells
// fill -0.5..0.5 with half a cell to spare at each end.
double Chart3DAxisPosition(double value, int index, int count, double min, double max);

// The range the values are drawn over: from the smaller of 0 and the least
// value to the greatest; never empty (a single level gets a unit span).
struct C3Range {
  double min = 0.0;
  double max = 1.0;
  bool operator==(const C3Range&) const = default;
};
C3Range Chart3DValueRange(const std::vector<std::optional<float>>& values);

// Tick values from min to max at a 1, 2 or 5 step, at most maxCount of them.
std::vector<double> Chart3DTicks(C3Range range, int maxCount);

// The colour of a value at fraction t (0..1) of the range: blue, cyan, green,
// yellow, red. 0x00BBGGRR.
std::uint32_t Chart3DHeatColor(double t);
// A colour darkened by a factor 0..1.
std::uint32_t Chart3DShade(std::uint32_t color, double factor);

// One cell of the plot as the widget keeps it.
struct C3Cell {
  double x = 0.0;  // column value
  double y = 0.0;  // row value
  std::optional<float> z;
};

struct C3Grid {
  int columns = 0;
  int rows = 0;
  const std::vector<C3Cell>* cells = nullptr;  // rows x columns, row-major
  double xMin = 0.0, xMax = 0.0;
  double yMin = 0.0, yMax = 0.0;
  C3Range zRange;
};

// A filled quadrilateral in drawing order.
struct C3Face {
  std::array<C3Screen, 4> corners;
  double t = 0.0;      // value fraction for the colour
  double light = 1.0;  // brightness factor for the side it faces
  int row = 0;
  int column = 0;
};

// Visible faces of the bars, far ones first. Each bar is 80 % of its cell.
// With dropCoveredSides, a side that faces a neighbour at least as high is
// left out: for tables so large on screen that the gaps between bars are
// under a pixel, it cannot be seen.
std::vector<C3Face> Chart3DBarFaces(const C3Projection& projection, const C3Grid& grid,
                                    bool dropCoveredSides = false);
// Patches between neighbouring cells that all have values, far ones first.
std::vector<C3Face> Chart3DSurfaceFaces(const C3Projection& projection, const C3Grid& grid);

// Box coordinates of a cell's centre on the floor.
C3Vec Chart3DCellFloor(const C3Grid& grid, int row, int column);
// Height in the box of a value.
double Chart3DHeightOf(const C3Range& range, double value);

// The floor edge to label for each axis: the nearer of the two edges that run
// along it. For columns the edge's y (-0.5 or 0.5); for rows its x.
double Chart3DColumnLabelEdge(const C3Projection& projection);
double Chart3DRowLabelEdge(const C3Projection& projection);

// Every how many labels one is drawn so that labels `labelSize` pixels long do
// not run into each other when neighbours stand `spacing` pixels apart.
int Chart3DLabelStride(double spacing, double labelSize);

// Where an axis title goes: beyond the labels along the labelled edge (from
// `from` to `to` on screen), across the edge and away from the floor's centre,
// with a gap in pixels. Labels and title, both centred on their anchors,
// stick out by half their extents in that direction: width and height are
// the sums of the label's and the title's.
C3Screen Chart3DTitleAnchor(C3Screen centre, C3Screen from, C3Screen to, double width, double height,
                            double gap);

// The face under a screen point: the last drawn (nearest) face whose outline
// holds the point; none when no face does.
std::optional<std::size_t> Chart3DPick(const std::vector<C3Face>& faces, double x, double y);
