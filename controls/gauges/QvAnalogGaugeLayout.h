#pragma once
// State of the analog gauge and the pure layout computed from it: every line,
// arc, anchor and label that a paint draws, in logical units of the S x S square.
//
// Thread contract: plain values; the widget that owns a state uses it on the GUI thread.
#include <QPoint>
#include <QRect>

#include <array>
#include <cfloat>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/gauges/QvControlText.h"
#include "controls/gauges/QvGaugeGeometry.h"

// A coloured arc along the scale, 12 bytes as callers pass it.
struct QvGaugeZone {
  float low = 0.0f;
  float high = 0.0f;
  std::uint32_t color = 0;
};
static_assert(sizeof(QvGaugeZone) == 12);

// Style bits of the analog gauge (and of the status gauge for equal scaling).
enum QvGaugeStyle : std::uint32_t {
  kQvGaugeValueText = 4,
  kQvGaugeMaxText = 8,
  kQvGaugeMinText = 16,
  kQvGaugeZones = 64,
  kQvGaugeEqualScale = 128,
};

// Colour indexes of the analog gauge.
enum QvGaugeColorIndex : int {
  kQvGaugeFaceColor = 0,
  kQvGaugeOutlineColor = 1,
  kQvGaugeNeedleColor = 2,
  kQvGaugeTitleColor = 3,
  kQvGaugeUnitsColor = 4,
  kQvGaugeBackColor = 5,
  kQvGaugeTickLabelColor = 6,
  kQvGaugeMajorTickColor = 7,
  kQvGaugeMinorTickColor = 8,
  kQvGaugeValueTextColor = 9,
  kQvGaugeColorCount = 10,
};

struct QvAnalogGaugeState {
  std::uint32_t style = 0x5F;
  float startAngle = 40.0f;
  float endAngle = 300.0f;
  float rangeMin = 0.0f;
  float rangeMax = 150.0f;
  std::array<std::uint32_t, kQvGaugeColorCount> colors{
      QvRgb(240, 240, 240), QvRgb(0, 0, 0), QvRgb(250, 80, 0), QvRgb(0, 0, 0),   QvRgb(0, 0, 0),
      QvRgb(255, 255, 255), QvRgb(0, 0, 0), QvRgb(0, 0, 0),    QvRgb(0, 0, 255), QvRgb(0, 0, 255)};
  // Bit i: colour index i was set by the caller and is kept in every theme.
  std::uint32_t colorsSet = 0;
  std::uint32_t minTextColor = QvRgb(0, 0, 0);
  std::uint32_t maxTextColor = QvRgb(0, 0, 0);
  int decimals = 2;
  float value = 0.0f;
  float lowestSeen = FLT_MAX;
  float highestSeen = -FLT_MAX;
  std::optional<std::string> title;
  std::optional<std::string> units;
  int size = 180;
  int majorTicks = 11;
  int minorDivisions = 5;
  std::vector<QvGaugeZone> zones;
};

// Font heights in logical units.
inline constexpr int kQvGaugeTitleFont = 12;
inline constexpr int kQvGaugeTickFont = 9;
inline constexpr int kQvGaugeUnitsFont = 10;
inline constexpr int kQvGaugeValueFont = 10;
inline constexpr int kQvGaugeMinMaxFont = 7;
// Titles and units of this length or more are not drawn.
inline constexpr std::size_t kQvGaugeDrawnTextLimit = 100;

struct QvGaugeLabel {
  QPoint anchor;
  QvTextAlign align;
  std::string text;
};

struct QvGaugeZoneArc {
  QvArcSpan arc;
  std::uint32_t color = 0;
};

struct QvAnalogGaugeLayout {
  int size = 180;
  QRect dial;             // circle, also the path of the scale arc and zones
  QPoint titleAnchor;     // centre, bottom
  QPoint valueAnchor;     // centre, top
  QPoint unitsAnchor;     // centre, top
  QPoint minAnchor;       // centre, top
  QPoint maxAnchor;       // centre, top
  std::string valueText;  // empty when style bit 4 is clear
  std::string minText;    // empty when style bit 16 is clear
  std::string maxText;    // empty when style bit 8 is clear
  std::string title;      // empty when absent or too long to draw
  std::string units;      // likewise
  std::vector<QvLine> majorTicks;
  std::vector<QvGaugeLabel> labels;
  std::vector<QvLine> minorTicks;
  QvArcSpan scaleArc;
  std::vector<QvGaugeZoneArc> zones;  // empty when style bit 64 is clear
  std::array<QPoint, 3> needle;       // tip, then the two base corners
  QRect hub;
  QvLine rimMark;
};

QvAnalogGaugeLayout QvLayoutAnalogGauge(const QvAnalogGaugeState& state);
