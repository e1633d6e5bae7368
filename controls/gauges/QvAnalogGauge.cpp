#include "controls/gauges/QvAnalogGauge.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <cmath>

#include "controls/common/QvColor.h"
#include "controls/gauges/QvPaintSupport.h"

QvAnalogGauge::QvAnalogGauge(QWidget* parent, int controlId) : QWidget(parent), controlId_(controlId) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::ArrowCursor);
}

void QvAnalogGauge::redrawIf(bool redraw) {
  if (redraw) update();
}

void QvAnalogGauge::setStyle(std::uint32_t bits, bool redraw) {
  state_.style = bits == 0 ? 0 : (state_.style | bits);
  redrawIf(redraw);
}

void QvAnalogGauge::clearStyle(std::uint32_t bits, bool redraw) {
  state_.style &= ~bits;
  redrawIf(redraw);
}

void QvAnalogGauge::setColor(int index, std::uint32_t color) {
  if (index < 0 || index >= kQvGaugeColorCount) return;
  state_.colors[static_cast<std::size_t>(index)] = color;
  state_.colorsSet |= 1u << index;
}

std::uint32_t QvAnalogGauge::getColor(int index) const {
  if (index < 0 || index >= kQvGaugeColorCount) return 0;
  return state_.colors[static_cast<std::size_t>(index)];
}

void QvAnalogGauge::setRange(float minimum, float maximum) {
  state_.rangeMin = minimum;
  state_.rangeMax = maximum;
}

void QvAnalogGauge::setValue(float value, bool redraw) {
  if (std::isnan(value)) return;
  if (value < state_.rangeMin) value = state_.rangeMin;
  if (value > state_.rangeMax) value = state_.rangeMax;
  state_.value = value;
  if (value < state_.lowestSeen) state_.lowestSeen = value;
  if (value > state_.highestSeen) state_.highestSeen = value;
  redrawIf(redraw);
}

int QvAnalogGauge::getValue() const {
  return QvTruncToInt(state_.value);
}

void QvAnalogGauge::setAngles(float startAngle, float endAngle) {
  state_.startAngle = startAngle;
  state_.endAngle = endAngle;
}

void QvAnalogGauge::resetMin() {
  state_.lowestSeen = FLT_MAX;
}

void QvAnalogGauge::resetMax() {
  state_.highestSeen = -FLT_MAX;
}

int QvAnalogGauge::setTitle(const char* text, int limit) {
  state_.title = QvLimitedText(text, limit);
  return state_.title ? 1 : 0;
}

int QvAnalogGauge::getTitle(char* buffer, int size) const {
  return QvCopyTextOut(state_.title.value_or(std::string()), buffer, size);
}

int QvAnalogGauge::setUnits(const char* text, int limit) {
  state_.units = QvLimitedText(text, limit);
  return state_.units ? 1 : 0;
}

int QvAnalogGauge::getUnits(char* buffer, int size) const {
  return QvCopyTextOut(state_.units.value_or(std::string()), buffer, size);
}

void QvAnalogGauge::setDecimals(int decimals) {
  state_.decimals = decimals;
}

int QvAnalogGauge::setZone(int index, const QvGaugeZone* zone) {
  if (zone == nullptr) return -1;
  auto& zones = state_.zones;
  if (index < 0) {
    zones.insert(zones.begin(), *zone);
    return 0;
  }
  if (static_cast<std::size_t>(index) < zones.size()) {
    zones[static_cast<std::size_t>(index)] = *zone;
    return index;
  }
  zones.push_back(*zone);
  return static_cast<int>(zones.size() - 1);
}

int QvAnalogGauge::getZone(int index, QvGaugeZone* zone) const {
  if (zone == nullptr || index < 0 || static_cast<std::size_t>(index) >= state_.zones.size()) return 0;
  *zone = state_.zones[static_cast<std::size_t>(index)];
  return 1;
}

void QvAnalogGauge::clearZones() {
  state_.zones.clear();
}

QSize QvAnalogGauge::sizeHint() const {
  return QSize(state_.size, state_.size);
}

void QvAnalogGauge::contextMenuEvent(QContextMenuEvent* event) {
  Q_EMIT commandNotify(controlId_, kRightClickCode, event->globalPos());
  event->accept();
}

void QvAnalogGauge::mouseDoubleClickEvent(QMouseEvent* event) {
  resetMin();
  resetMax();
  event->accept();
}

namespace {

QPen LogicalPen(std::uint32_t color, qreal width) {
  QPen pen(QvColorFromRef(color), width);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

void DrawLine(QPainter& painter, const QvLine& line) {
  painter.drawLine(line.from, line.to);
}

void DrawArc(QPainter& painter, const QRect& rect, const QvArcSpan& arc) {
  if (arc.spanDeg <= 0.0) return;
  painter.drawArc(QRectF(rect), static_cast<int>(std::lround(arc.startDeg * 16)),
                  static_cast<int>(std::lround(arc.spanDeg * 16)));
}

}  // namespace

void QvAnalogGauge::paintEvent(QPaintEvent*) {
  const QvAnalogGaugeLayout layout = QvLayoutAnalogGauge(state_);
  // The dial stays round and whole: one scale for both axes, centred in the
  // control, shrinking below the logical size when the control is smaller.
  const QvFit fit = QvFitSquare(size(), layout.size);
  const auto& colors = state_.colors;
  const QPalette& pal = palette();
  const auto colour = [&](int index, QPalette::ColorRole role) -> std::uint32_t {
    return QvRefFromColor(QvThemedColor(colors[static_cast<std::size_t>(index)],
                                        (state_.colorsSet & (1u << index)) != 0, pal, role));
  };
  const std::uint32_t plainText = QvRefFromColor(QvThemedColor(0, false, pal, QPalette::Text));
  const bool dark = QvIsDarkPalette(pal);
  QvPaintBuffered(*this, [&](QPainter& p) {
    p.fillRect(rect(), QvColorFromRef(colour(kQvGaugeBackColor, QPalette::Window)));
    p.translate(fit.x, fit.y);
    p.scale(fit.scale, fit.scale);

    p.setPen(LogicalPen(colour(kQvGaugeOutlineColor, QPalette::Text), 1));
    p.setBrush(QvColorFromRef(colour(kQvGaugeFaceColor, QPalette::Base)));
    p.drawEllipse(QRectF(layout.dial));
    p.setBrush(Qt::NoBrush);

    const auto text = [&p](int height, std::uint32_t color, QPoint anchor, QvTextAlign align,
                           const std::string& value) {
      if (value.empty()) return;
      p.setFont(QvControlFont(height));
      p.setPen(QvColorFromRef(color));
      QvDrawAlignedText(p, anchor, align, QvText(value));
    };
    const QvTextAlign centreTop{QvHAlign::Centre, QvVAlign::Top};
    text(kQvGaugeTitleFont, colour(kQvGaugeTitleColor, QPalette::Text), layout.titleAnchor,
         {QvHAlign::Centre, QvVAlign::Bottom}, layout.title);
    text(kQvGaugeValueFont, colour(kQvGaugeValueTextColor, QPalette::Link), layout.valueAnchor, centreTop,
         layout.valueText);
    text(kQvGaugeUnitsFont, colour(kQvGaugeUnitsColor, QPalette::Text), layout.unitsAnchor, centreTop,
         layout.units);
    text(kQvGaugeMinMaxFont, dark ? plainText : state_.minTextColor, layout.minAnchor, centreTop,
         layout.minText);
    text(kQvGaugeMinMaxFont, dark ? plainText : state_.maxTextColor, layout.maxAnchor, centreTop,
         layout.maxText);

    p.setPen(LogicalPen(colour(kQvGaugeMajorTickColor, QPalette::Text), 1));
    for (const QvLine& line : layout.majorTicks) DrawLine(p, line);
    for (const QvGaugeLabel& label : layout.labels) {
      text(kQvGaugeTickFont, colour(kQvGaugeTickLabelColor, QPalette::Text), label.anchor, label.align,
           label.text);
    }
    p.setPen(LogicalPen(colour(kQvGaugeMinorTickColor, QPalette::Link), 1));
    for (const QvLine& line : layout.minorTicks) DrawLine(p, line);

    p.setPen(LogicalPen(colour(kQvGaugeOutlineColor, QPalette::Text), 2));
    DrawArc(p, layout.dial, layout.scaleArc);
    for (const QvGaugeZoneArc& zone : layout.zones) {
      p.setPen(LogicalPen(zone.color, 2));
      DrawArc(p, layout.dial, zone.arc);
    }

    p.setPen(LogicalPen(colors[kQvGaugeNeedleColor], 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({layout.needle[0], layout.needle[1], layout.needle[2]}));
    p.setPen(Qt::NoPen);
    p.setBrush(dark ? QvColorFromRef(plainText) : QColor(Qt::black));
    p.drawEllipse(QRectF(layout.hub));
    p.setBrush(Qt::NoBrush);
    p.setPen(LogicalPen(QvRgb(255, 0, 0), 2));
    DrawLine(p, layout.rimMark);
  });
}
