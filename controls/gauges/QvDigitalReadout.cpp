#include "controls/gauges/QvDigitalReadout.h"

#include <QContextMenuEvent>
#include <QPainter>

#include <cmath>

#include "controls/common/QvColor.h"
#include "controls/gauges/QvGaugeGeometry.h"
#include "controls/gauges/QvPaintSupport.h"

QvDigitalReadout::QvDigitalReadout(QWidget* parent, int controlId) : QWidget(parent), controlId_(controlId) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::ArrowCursor);
  // Show the default value at once; the length record keeps its default so
  // the first real value sizes the font.
  state_.valueText = QvReadoutValueText(state_.value, state_.fractional, state_.digits);
  makeFonts();
}

void QvDigitalReadout::makeFonts() {
  titleFont_ = QvControlFont(state_.titleFontHeight);
  valueFont_ = QvControlFont(state_.valueFontHeight);
  unitsFont_ = QvControlFont(state_.unitsFontHeight);
}

int QvDigitalReadout::setTitle(const char* text) {
  state_.title = QvCutText(text, kTitleMax);
  update();
  return static_cast<int>(state_.title.size());
}

int QvDigitalReadout::setUnits(const char* text) {
  state_.units = QvCutText(text, kUnitsMax);
  update();
  return static_cast<int>(state_.units.size());
}

void QvDigitalReadout::setFormat(int fractional, int digits) {
  if (fractional != -1) state_.fractional = fractional != 0;
  if (digits != -1) state_.digits = digits;
  applyValue();
  update();
}

void QvDigitalReadout::setColor(int index, std::uint32_t color) {
  if (index < 0 || index >= kQvReadoutColorCount) return;
  state_.colors[index] = color;
  state_.colorsSet |= 1u << index;
  update();
}

std::uint32_t QvDigitalReadout::getColor(int index) const {
  if (index < 0 || index >= kQvReadoutColorCount) return 0;
  return state_.colors[index];
}

void QvDigitalReadout::applyValue() {
  const float v = state_.value;
  if (state_.highAlarmEnabled && v >= state_.highAlarm) {
    state_.valueColor = state_.colors[kQvReadoutHighAlarmColor];
    state_.valueNormal = false;
  } else if (state_.lowAlarmEnabled && v <= state_.lowAlarm) {
    state_.valueColor = state_.colors[kQvReadoutLowAlarmColor];
    state_.valueNormal = false;
  } else {
    state_.valueColor = state_.colors[kQvReadoutNormalColor];
    state_.valueNormal = true;
  }
  state_.valueText = QvReadoutValueText(v, state_.fractional, state_.digits);
  if (state_.autoSize && state_.valueText.size() != state_.lastTextLength) {
    state_.lastTextLength = state_.valueText.size();
    const int height = QvReadoutFontHeight(state_.lastTextLength);
    if (height != state_.valueFontHeight) {
      state_.valueFontHeight = height;
      valueFont_ = QvControlFont(height);
    }
  }
}

float QvDigitalReadout::setValue(float value) {
  const float previous = state_.value;
  state_.value = value;
  applyValue();
  // NaN never equals itself; compare the bits' meaning rather than redraw forever.
  const bool changed = !(previous == value) && !(std::isnan(previous) && std::isnan(value));
  if (changed) update();
  return previous;
}

float QvDigitalReadout::setHighAlarm(float threshold) {
  const float previous = state_.highAlarm;
  state_.highAlarm = threshold;
  applyValue();
  update();
  return previous;
}

float QvDigitalReadout::setLowAlarm(float threshold) {
  const float previous = state_.lowAlarm;
  state_.lowAlarm = threshold;
  applyValue();
  update();
  return previous;
}

void QvDigitalReadout::enableHighAlarm(bool enable) {
  state_.highAlarmEnabled = enable;
  update();
}

void QvDigitalReadout::enableLowAlarm(bool enable) {
  state_.lowAlarmEnabled = enable;
  update();
}

void QvDigitalReadout::setStyle(std::uint32_t style) {
  state_.style = style;
  update();
}

void QvDigitalReadout::contextMenuEvent(QContextMenuEvent* event) {
  Q_EMIT commandNotify(controlId_, kRightClickCode, event->globalPos());
  event->accept();
}

void QvDigitalReadout::paintEvent(QPaintEvent*) {
  // One scale for both axes, centred: the texts keep their shape and shrink
  // with a small box instead of being cut.
  const QvFit fit = QvFitRect(size(), 100, 100);
  const QPalette& pal = palette();
  const auto colour = [&](int index, QPalette::ColorRole role) {
    return QvThemedColor(state_.colors[index], (state_.colorsSet & (1u << index)) != 0, pal, role);
  };
  const QColor value =
      state_.valueNormal ? colour(kQvReadoutNormalColor, QPalette::Link) : QvColorFromRef(state_.valueColor);
  QvPaintBuffered(*this, [&](QPainter& p) {
    p.fillRect(rect(), colour(kQvReadoutBackColor, QPalette::Base));
    if (state_.style & kQvReadoutBorder) {
      p.setPen(QPen(colour(kQvReadoutBorderColor, QPalette::Mid), 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
    p.translate(fit.x, fit.y);
    p.scale(fit.scale, fit.scale);
    p.setFont(valueFont_);
    p.setPen(value);
    p.drawText(QRectF(0, 0, 100, 100), Qt::AlignCenter | Qt::TextDontClip | Qt::TextSingleLine,
               QvText(state_.valueText));
    p.setFont(titleFont_);
    p.setPen(colour(kQvReadoutTitleColor, QPalette::Text));
    QvDrawAlignedText(p, QPoint(50, 6), {QvHAlign::Centre, QvVAlign::Top}, QvText(state_.title));
    p.setFont(unitsFont_);
    p.setPen(colour(kQvReadoutUnitsColor, QPalette::Text));
    QvDrawAlignedText(p, QPoint(50, 90), {QvHAlign::Centre, QvVAlign::Bottom}, QvText(state_.units));
  });
}

namespace {
QvDigitalReadout* AsReadout(QWidget* widget) {
  return qobject_cast<QvDigitalReadout*>(widget);
}
}  // namespace

int QvReadoutSetTitle(QWidget* readout, const char* text) {
  auto* r = AsReadout(readout);
  return r ? r->setTitle(text) : 0;
}
int QvReadoutSetUnits(QWidget* readout, const char* text) {
  auto* r = AsReadout(readout);
  return r ? r->setUnits(text) : 0;
}
void QvReadoutSetFormat(QWidget* readout, int fractional, int digits) {
  if (auto* r = AsReadout(readout)) r->setFormat(fractional, digits);
}
void QvReadoutSetColor(QWidget* readout, int index, std::uint32_t color) {
  if (auto* r = AsReadout(readout)) r->setColor(index, color);
}
std::uint32_t QvReadoutGetColor(QWidget* readout, int index) {
  auto* r = AsReadout(readout);
  return r ? r->getColor(index) : 0;
}
float QvReadoutSetValue(QWidget* readout, float value) {
  auto* r = AsReadout(readout);
  return r ? r->setValue(value) : 0.0f;
}
float QvReadoutSetHighAlarm(QWidget* readout, float threshold) {
  auto* r = AsReadout(readout);
  return r ? r->setHighAlarm(threshold) : 0.0f;
}
float QvReadoutSetLowAlarm(QWidget* readout, float threshold) {
  auto* r = AsReadout(readout);
  return r ? r->setLowAlarm(threshold) : 0.0f;
}
float QvReadoutGetHighAlarm(QWidget* readout) {
  auto* r = AsReadout(readout);
  return r ? r->getHighAlarm() : 0.0f;
}
float QvReadoutGetLowAlarm(QWidget* readout) {
  auto* r = AsReadout(readout);
  return r ? r->getLowAlarm() : 0.0f;
}
void QvReadoutEnableHighAlarm(QWidget* readout, bool enable) {
  if (auto* r = AsReadout(readout)) r->enableHighAlarm(enable);
}
void QvReadoutEnableLowAlarm(QWidget* readout, bool enable) {
  if (auto* r = AsReadout(readout)) r->enableLowAlarm(enable);
}
