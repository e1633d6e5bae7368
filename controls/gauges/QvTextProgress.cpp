#include "controls/gauges/QvTextProgress.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <climits>

#include "controls/common/QvColor.h"
#include "controls/gauges/QvGaugeGeometry.h"
#include "controls/gauges/QvPaintSupport.h"

namespace {

std::uint32_t PackRange(int minimum, int maximum) {
  return (static_cast<std::uint32_t>(minimum) & 0xFFFFu) |
         ((static_cast<std::uint32_t>(maximum) & 0xFFFFu) << 16);
}

}  // namespace

QvTextProgress::QvTextProgress(QWidget* parent)
    : QWidget(parent), look_(QvTextLook{std::string(), QvRgb(0, 0, 0), kQvColorDefault}) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  font_ = QApplication::font();
  font_.setWeight(QFont::Medium);
  temporaryTimer_.setSingleShot(true);
  connect(&temporaryTimer_, &QTimer::timeout, this, &QvTextProgress::endTemporaryText);
}

std::uint32_t QvTextProgress::setRange(std::uint32_t packedRange) {
  return setRange32(static_cast<int>(packedRange & 0xFFFFu), static_cast<int>(packedRange >> 16));
}

std::uint32_t QvTextProgress::setRange32(int minimum, int maximum) {
  const std::uint32_t previous = PackRange(minimum_, maximum_);
  minimum_ = minimum;
  maximum_ = maximum;
  update();
  return previous;
}

int QvTextProgress::setPos(int position) {
  const int previous = position_;
  position_ = position;
  update();
  return previous;
}

int QvTextProgress::setStep(int step) {
  const int previous = step_;
  step_ = step;
  return previous;
}

int QvTextProgress::stepIt() {
  const int previous = position_;
  // Added in 64 bits: a large step must not overflow the position.
  const long long next = static_cast<long long>(position_) + step_;
  position_ = next > maximum_ ? minimum_ : static_cast<int>(std::max<long long>(next, INT_MIN));
  update();
  return previous;
}

int QvTextProgress::getRange(int returnLow, QvProgressRange* range) const {
  if (range != nullptr) {
    range->low = minimum_;
    range->high = maximum_;
  }
  return returnLow != 0 ? minimum_ : maximum_;
}

std::uint32_t QvTextProgress::setBarColor(std::uint32_t color) {
  const std::uint32_t previous = barColor_;
  barColor_ = color;
  update();
  return previous;
}

std::uint32_t QvTextProgress::setBkColor(std::uint32_t color) {
  const std::uint32_t previous = look_.target().backColor;
  look_.target().backColor = color;
  update();
  return previous;
}

std::uint32_t QvTextProgress::setTextColor(std::uint32_t color) {
  const std::uint32_t previous = look_.target().textColor;
  look_.target().textColor = color;
  update();
  return previous;
}

void QvTextProgress::setVertical(bool vertical) {
  vertical_ = vertical;
  update();
}

void QvTextProgress::getRangeBounds(int* minimum, int* maximum) const {
  if (minimum != nullptr) *minimum = minimum_;
  if (maximum != nullptr) *maximum = maximum_;
}

void QvTextProgress::setText(const char* text) {
  look_.target().text = QvCutText(text, kTextMax);
  update();
}

int QvTextProgress::getText(char* buffer, int size) const {
  return QvCopyTextOut(look_.shown().text, buffer, size);
}

void QvTextProgress::setTextAndColors(const char* text, std::uint32_t textColor, std::uint32_t backColor) {
  setTextColor(textColor);
  setBkColor(backColor);
  setText(text);
}

bool QvTextProgress::showTemporaryText(const char* text, std::uint32_t textColor, std::uint32_t backColor,
                                       int milliseconds) {
  if (!look_.begin(QvTextLook{QvCutText(text, kTextMax), textColor, backColor})) return false;
  temporaryTimer_.start(std::max(milliseconds, 0));
  update();
  return true;
}

void QvTextProgress::endTemporaryText() {
  if (look_.end()) update();
}

void QvTextProgress::paintEvent(QPaintEvent*) {
  const QvTextLook& look = look_.shown();
  const QColor back =
      look.backColor == kQvColorDefault ? palette().color(QPalette::Button) : QvColorFromRef(look.backColor);
  const QColor bar = QvColorFromRef(barColor_);
  const int extent = vertical_ ? height() : width();
  const int length = QvProgressBarLength(extent, position_, minimum_, maximum_);
  const QRect barRect =
      vertical_ ? QRect(0, height() - length, width(), length) : QRect(0, 0, length, height());
  const QString text = QvText(look.text);
  QvPaintBuffered(*this, [&](QPainter& p) {
    p.fillRect(rect(), back);
    p.fillRect(barRect, bar);
    p.setFont(font_);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (look.textColor != kQvColorDefault) {
      // Black text over the palette's button colour is the default look; it
      // follows the palette so that it stays readable in a dark theme.
      const bool plain = look.textColor == QvRgb(0, 0, 0) && look.backColor == kQvColorDefault;
      p.setPen(plain ? palette().color(QPalette::ButtonText) : QvColorFromRef(look.textColor));
      p.drawText(rect(), flags, text);
      return;
    }
    // Two-colour text: the background colour over the bar, the bar colour elsewhere.
    p.save();
    p.setClipRect(barRect);
    p.setPen(back);
    p.drawText(rect(), flags, text);
    p.restore();
    p.setClipRegion(QRegion(rect()).subtracted(QRegion(barRect)));
    p.setPen(bar);
    p.drawText(rect(), flags, text);
  });
}

void QvProgressSetText(QWidget* progress, const char* text, std::uint32_t textColor,
                       std::uint32_t backColor) {
  if (auto* p = qobject_cast<QvTextProgress*>(progress)) p->setTextAndColors(text, textColor, backColor);
}

bool QvProgressShowTemporaryText(QWidget* progress, const char* text, std::uint32_t textColor,
                                 std::uint32_t backColor, int milliseconds) {
  auto* p = qobject_cast<QvTextProgress*>(progress);
  return p != nullptr && p->showTemporaryText(text, textColor, backColor, milliseconds);
}
