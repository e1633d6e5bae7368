#include "controls/gauges/QvStatusGauge.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QPainter>

#include "controls/common/QvColor.h"
#include "controls/gauges/QvAnalogGaugeLayout.h"
#include "controls/gauges/QvGaugeGeometry.h"
#include "controls/gauges/QvPaintSupport.h"

QvStatusGauge::QvStatusGauge(QWidget* parent, int controlId) : QWidget(parent), controlId_(controlId) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::ArrowCursor);
}

void QvStatusGauge::setStyle(std::uint32_t bits, bool redraw) {
  state_.style = bits == 0 ? 0 : (state_.style | bits);
  if (redraw) update();
}

void QvStatusGauge::clearStyle(std::uint32_t bits, bool redraw) {
  state_.style &= ~bits;
  if (redraw) update();
}

void QvStatusGauge::setState(int state, bool redraw) {
  state_.state = state;
  if (redraw) update();
}

int QvStatusGauge::setTitle(const char* text, int limit) {
  state_.title = QvLimitedText(text, limit);
  return state_.title ? 1 : 0;
}

int QvStatusGauge::getTitle(char* buffer, int size) const {
  return QvCopyTextOut(state_.title.value_or(std::string()), buffer, size);
}

int QvStatusGauge::setOnText(const char* text, int limit) {
  state_.onText = QvLimitedText(text, limit);
  return state_.onText ? 1 : 0;
}

int QvStatusGauge::getOnText(char* buffer, int size) const {
  return QvCopyTextOut(state_.onText.value_or(std::string()), buffer, size);
}

int QvStatusGauge::setOffText(const char* text, int limit) {
  state_.offText = QvLimitedText(text, limit);
  return state_.offText ? 1 : 0;
}

int QvStatusGauge::getOffText(char* buffer, int size) const {
  return QvCopyTextOut(state_.offText.value_or(std::string()), buffer, size);
}

std::string QvStatusGauge::stateText() const {
  const auto& text = state_.state != 0 ? state_.onText : state_.offText;
  return text.value_or(std::string());
}

void QvStatusGauge::contextMenuEvent(QContextMenuEvent* event) {
  Q_EMIT commandNotify(controlId_, kRightClickCode, event->globalPos());
  event->accept();
}

void QvStatusGauge::paintEvent(QPaintEvent*) {
  // One scale for both axes, centred: the texts keep their shape and shrink
  // with a small box instead of being cut.
  const QvFit fit = QvFitRect(size(), 100, 100);
  const bool on = state_.state != 0;
  const QPalette& pal = palette();
  const QColor back = QvThemedColor(state_.backColor, false, pal, QPalette::Base);
  QvPaintBuffered(*this, [&](QPainter& p) {
    p.fillRect(rect(), back);
    p.setPen(QPen(QvThemedColor(QvRgb(0, 0, 0), false, pal, QPalette::Mid), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    p.translate(fit.x, fit.y);
    p.scale(fit.scale, fit.scale);
    if (state_.title && state_.title->size() < kQvGaugeDrawnTextLimit) {
      p.setFont(QvControlFont(kQvStatusTitleFont));
      p.setPen(QvThemedColor(state_.titleColor, false, pal, QPalette::Text));
      QvDrawAlignedText(p, QPoint(50, 6), {QvHAlign::Centre, QvVAlign::Top}, QvText(*state_.title));
    }
    const QString text = QvText(stateText());
    if (text.isEmpty()) return;
    p.setFont(QvControlFont(kQvStatusStateFont));
    const QFontMetrics metrics(p.font());
    const QRect box =
        QvAlignedTextRect(QPoint(50, 50), QSize(metrics.horizontalAdvance(text), metrics.height()),
                          metrics.ascent(), {QvHAlign::Centre, QvVAlign::Top});
    p.fillRect(box, QvColorFromRef(on ? state_.onBackColor : state_.offBackColor));
    p.setPen(QvColorFromRef(on ? state_.onTextColor : state_.offTextColor));
    QvDrawAlignedText(p, QPoint(50, 50), {QvHAlign::Centre, QvVAlign::Top}, text);
  });
}
