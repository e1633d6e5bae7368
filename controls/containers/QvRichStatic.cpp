#include "controls/containers/QvRichStatic.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "controls/common/QvColor.h"
#include "controls/gauges/QvPaintSupport.h"

QvRichStatic::QvRichStatic(QWidget* parent)
    : QWidget(parent), look_(QvTextLook{std::string(), QvRgb(0, 0, 0), kQvColorDefault}) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  defaultFont_ = QApplication::font();
  defaultFont_.setWeight(QFont::Medium);
  temporaryTimer_.setSingleShot(true);
  connect(&temporaryTimer_, &QTimer::timeout, this, &QvRichStatic::endTemporaryText);
}

void QvRichStatic::setText(const char* text) {
  look_.target().text = QvCutText(text, kTextMax);
  update();
}

int QvRichStatic::getText(char* buffer, int size) const {
  return QvCopyTextOut(look_.shown().text, buffer, size);
}

void QvRichStatic::setFontHandle(const QFont* font, bool redraw) {
  if (font != nullptr) {
    customFont_ = *font;
  } else {
    customFont_.reset();
  }
  if (redraw) update();
}

std::uint32_t QvRichStatic::setBkColor(std::uint32_t color) {
  const std::uint32_t previous = look_.target().backColor;
  look_.target().backColor = color;
  update();
  return previous;
}

std::uint32_t QvRichStatic::setTextColor(std::uint32_t color) {
  const std::uint32_t previous = look_.target().textColor;
  look_.target().textColor = color;
  update();
  return previous;
}

std::uint32_t QvRichStatic::setBorderColor(std::uint32_t color) {
  const std::uint32_t previous = borderColor_;
  borderColor_ = color;
  update();
  return previous;
}

void QvRichStatic::setTextAndColors(const char* text, std::uint32_t textColor, std::uint32_t backColor) {
  setTextColor(textColor);
  setBkColor(backColor);
  setText(text);
}

bool QvRichStatic::showTemporaryText(const char* text, std::uint32_t textColor, std::uint32_t backColor,
                                     int milliseconds) {
  if (!look_.begin(QvTextLook{QvCutText(text, kTextMax), textColor, backColor})) return false;
  temporaryTimer_.start(std::max(milliseconds, 0));
  update();
  return true;
}

void QvRichStatic::endTemporaryText() {
  if (look_.end()) update();
}

QSize QvRichStatic::sizeHint() const {
  const QFontMetrics metrics(textFont());
  return QSize(std::max(60, metrics.horizontalAdvance(QvText(look_.shown().text)) + 8), metrics.height() + 4);
}

void QvRichStatic::paintEvent(QPaintEvent*) {
  const QvTextLook& look = look_.shown();
  const QColor back =
      look.backColor == kQvColorDefault ? palette().color(QPalette::Button) : QvColorFromRef(look.backColor);
  QColor text;
  if (look.textColor != kQvColorDefault) {
    text = QvColorFromRef(look.textColor);
  } else if (look.backColor != kQvColorDefault) {
    text = back;  // the text hides in its background
  } else {
    text = palette().color(QPalette::ButtonText);
  }
  QvPaintBuffered(*this, [&](QPainter& p) {
    p.fillRect(rect(), back);
    if (borderColor_ != kQvColorDefault) {
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setPen(QPen(QvColorFromRef(borderColor_), 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    p.setFont(textFont());
    p.setPen(text);
    p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, QvText(look.text));
  });
}

void QvRichStaticSetText(QWidget* richStatic, const char* text, std::uint32_t textColor,
                         std::uint32_t backColor) {
  if (auto* r = qobject_cast<QvRichStatic*>(richStatic)) r->setTextAndColors(text, textColor, backColor);
}

bool QvRichStaticShowTemporaryText(QWidget* richStatic, const char* text, std::uint32_t textColor,
                                   std::uint32_t backColor, int milliseconds) {
  auto* r = qobject_cast<QvRichStatic*>(richStatic);
  return r != nullptr && r->showTemporaryText(text, textColor, backColor, milliseconds);
}
