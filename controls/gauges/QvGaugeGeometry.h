#pragma once
// Pure geometry of the display controls: angles of values, tick positions,
// label placement, arcs, scaling of the logical square, number texts and font
// sizes. Paint code only draws what these functions return.
//
// Thread contract: free functions without shared state; callable from any thread.
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstddef>
#include <string>
#include <vector>

// Scale factors that map a logical drawing area onto a client area. Each axis
// is stretched to the client size but never shrunk below the logical size (a
// small control shows the top-left part at full scale). With `equal` both axes
// take the smaller factor so that circles stay round.
struct QvScale {
  double x = 1.0;
  double y = 1.0;
};
QvScale QvLogicalScale(QSize client, int logicalWidth, int logicalHeight, bool equal);

// The largest square of a logical size that fits a client area whole, centred
// in it: the one scale for both axes (shrinking below 1 for a small client)
// and the offset of the square's top-left corner, in client pixels.
struct QvFit {
  double scale = 1.0;
  double x = 0.0;
  double y = 0.0;
};
QvFit QvFitSquare(QSize client, int logicalSize);
// The same for a logical rectangle: one scale for both axes, centred.
QvFit QvFitRect(QSize client, int logicalWidth, int logicalHeight);

// Converts a double to int by truncation toward zero; non-finite values give 0
// and values beyond the int range saturate (a plain cast would be undefined).
int QvTruncToInt(double value);
// Rounds to the nearest int with the same safety rules.
int QvRoundToInt(double value);

// Position of v inside [min, max] as a fraction (not clamped); a zero-width or
// non-finite range gives 0 so that everything sits at the start of the scale.
double QvGaugeFraction(float v, float min, float max);

// Angle of a value on the dial in degrees, measured clockwise on screen from
// the positive x axis (y grows downward). start and end are given clockwise
// from straight down, as the gauge stores them.
double QvGaugeAngle(float v, float start, float end, float min, float max);

// Point at radius r and screen angle a around (c, c), each coordinate truncated.
QPoint QvGaugePoint(int c, double r, double angleDeg);

struct QvLine {
  QPoint from;
  QPoint to;
};
// Radial line from radius r1 to r2 at a screen angle; end points are rounded.
QvLine QvRadialLine(int c, double r1, double r2, double angleDeg);

// Values of the labelled ticks, both ends included. Fewer than one tick gives
// none; a single tick sits at the minimum.
std::vector<float> QvMajorTickValues(float min, float max, int count);
// Values strictly between two major ticks: divisions - 1 of them.
std::vector<float> QvMinorTickValues(float from, float to, int divisions);

enum class QvHAlign { Left, Centre, Right };
enum class QvVAlign { Top, Baseline, Bottom };
struct QvTextAlign {
  QvHAlign h = QvHAlign::Left;
  QvVAlign v = QvVAlign::Top;
  bool operator==(const QvTextAlign&) const = default;
};

// Alignment of a tick label to its anchor so that the text lies inside the
// dial, chosen from the direction of the tick.
QvTextAlign QvTickLabelAlign(double angleDeg);

// Rectangle of a text of the given size and ascent placed at an anchor point
// with an alignment (Baseline puts the baseline on the anchor's y).
QRect QvAlignedTextRect(QPoint anchor, QSize textSize, int ascent, QvTextAlign align);

// An arc in the painter's convention: degrees counter-clockwise on screen from
// the 3 o'clock direction.
struct QvArcSpan {
  double startDeg = 0.0;
  double spanDeg = 0.0;
};
// The arc that runs counter-clockwise on screen from the direction `fromDeg`
// to the direction `toDeg` (both screen angles, clockwise). Directions a full
// turn apart give a full circle, identical directions give an empty arc.
QvArcSpan QvCounterClockwiseArc(double fromDeg, double toDeg);

// Number text of the analog gauge: a value with a fractional part uses the
// given decimals, a whole value is written as an integer.
std::string QvGaugeNumberText(float v, int decimals);

// Value text of the digital readout: fixed with `digits` decimals when
// fractional, else truncated to an integer with at least `digits` digits; cut
// to 24 characters.
std::string QvReadoutValueText(float v, bool fractional, int digits);
inline constexpr std::size_t kQvReadoutTextMax = 24;

// Value font height of the digital readout for a text length (automatic sizing).
int QvReadoutFontHeight(std::size_t length);

// Length of the filled part of a progress bar of the given extent, truncated
// and kept inside [0, extent]; a zero-width range gives an empty bar.
int QvProgressBarLength(int extent, int position, int minimum, int maximum);
