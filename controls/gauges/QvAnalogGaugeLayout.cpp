#include "controls/gauges/QvAnalogGaugeLayout.h"

QvAnalogGaugeLayout QvLayoutAnalogGauge(const QvAnalogGaugeState& state) {
  QvAnalogGaugeLayout layout;
  const int s = std::max(state.size, 1);
  const int c = s / 2;
  const auto angle = [&state](float v) {
    return QvGaugeAngle(v, state.startAngle, state.endAngle, state.rangeMin, state.rangeMax);
  };
  layout.size = s;
  layout.dial = QRect(2, 2, s - 4, s - 4);
  layout.titleAnchor = QPoint(c, 2 * s / 5);
  layout.valueAnchor = QPoint(c, 3 * s / 4);
  layout.unitsAnchor = QPoint(c, 4 * s / 5);
  layout.minAnchor = QPoint(9 * s / 24, 2 * s / 3);
  layout.maxAnchor = QPoint(15 * s / 24, 2 * s / 3);

  if (state.title && state.title->size() < kQvGaugeDrawnTextLimit) layout.title = *state.title;
  if (state.units && state.units->size() < kQvGaugeDrawnTextLimit) layout.units = *state.units;
  if (state.style & kQvGaugeValueText) layout.valueText = QvGaugeNumberText(state.value, state.decimals);
  if (state.style & kQvGaugeMinText)
    layout.minText = "Min: " + QvGaugeNumberText(state.lowestSeen, state.decimals);
  if (state.style & kQvGaugeMaxText)
    layout.maxText = "Max: " + QvGaugeNumberText(state.highestSeen, state.decimals);

  const std::vector<float> ticks = QvMajorTickValues(state.rangeMin, state.rangeMax, state.majorTicks);
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    const double a = angle(ticks[i]);
    layout.majorTicks.push_back(QvRadialLine(c, c - 3, c - 11, a));
    layout.labels.push_back(QvGaugeLabel{QvGaugePoint(c, c - 14, a), QvTickLabelAlign(a),
                                         QvGaugeNumberText(ticks[i], state.decimals)});
    if (i == 0) continue;
    for (float v : QvMinorTickValues(ticks[i - 1], ticks[i], state.minorDivisions)) {
      layout.minorTicks.push_back(QvRadialLine(c, c - 3, c - 8, angle(v)));
    }
  }

  layout.scaleArc = QvCounterClockwiseArc(angle(state.rangeMax), angle(state.rangeMin));
  if (state.style & kQvGaugeZones) {
    for (const QvGaugeZone& zone : state.zones) {
      layout.zones.push_back(
          QvGaugeZoneArc{QvCounterClockwiseArc(angle(zone.high), angle(zone.low)), zone.color});
    }
  }

  const double needleAngle = angle(state.value);
  layout.needle = {QvGaugePoint(c, c - 15, needleAngle), QvGaugePoint(c, 2, needleAngle - 90),
                   QvGaugePoint(c, 2, needleAngle + 90)};
  layout.hub = QRect(c - 2, c - 2, 4, 4);
  layout.rimMark = QvRadialLine(c, c - 2, c - 6, needleAngle);
  return layout;
}
