#include "controls/containers/QvSplash.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

#include "controls/common/QvColor.h"
#include "controls/containers/QvFrameGeometry.h"
#include "controls/gauges/QvControlText.h"
#include "controls/gauges/QvPaintSupport.h"

QvSplash::QvSplash(QWidget* owner, const QPixmap& bitmap, bool topmost)
    : QWidget(owner,
              Qt::SplashScreen | Qt::FramelessWindowHint | (topmost ? Qt::WindowStaysOnTopHint : Qt::Widget)),
      bitmap_(bitmap) {
  setFixedSize(bitmap_.deviceIndependentSize().toSize());
  hideTimer_.setSingleShot(true);
  connect(&hideTimer_, &QTimer::timeout, this, &QvSplash::hideSplash);
}

void QvSplash::showSplash(int milliseconds) {
  QRect area;
  if (parentWidget() != nullptr && parentWidget()->isVisible()) {
    area = parentWidget()->frameGeometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isValid()) move(QvCentredRect(area, size()).topLeft());
  visible_ = true;
  show();
  raise();
  if (milliseconds > 0) {
    hideTimer_.start(milliseconds);
  } else {
    hideTimer_.stop();
  }
}

void QvSplash::hideSplash() {
  hideTimer_.stop();
  visible_ = false;
  hide();
}

QvSplashItem* QvSplash::find(int id) {
  const auto it =
      std::find_if(items_.begin(), items_.end(), [id](const QvSplashItem& item) { return item.id == id; });
  return it == items_.end() ? nullptr : &*it;
}

void QvSplash::setItem(const char* text, QRect rect, int id, const QFont* font, std::uint32_t color) {
  QvSplashItem item{QvCutText(text, kTextMax), rect, id, std::nullopt, color};
  if (font != nullptr) item.font = *font;
  if (QvSplashItem* existing = find(id)) {
    *existing = std::move(item);
  } else {
    items_.push_back(std::move(item));
  }
  update();
}

bool QvSplash::setItemText(int id, const char* text, bool redraw) {
  QvSplashItem* item = find(id);
  if (item == nullptr) return false;
  item->text = QvCutText(text, kTextMax);
  if (redraw) update();
  return true;
}

bool QvSplash::setItemColor(int id, std::uint32_t color, bool redraw) {
  QvSplashItem* item = find(id);
  if (item == nullptr) return false;
  item->color = color;
  if (redraw) update();
  return true;
}

bool QvSplash::removeItem(int id) {
  const auto it =
      std::find_if(items_.begin(), items_.end(), [id](const QvSplashItem& item) { return item.id == id; });
  if (it == items_.end()) return false;
  items_.erase(it);
  update();
  return true;
}

QRect QvSplash::itemRect(const QvSplashItem& item) const {
  const QFontMetrics metrics(item.font.value_or(QvControlFont(13)));
  const QString text = QvText(item.text);
  return QvMeasuredTextRect(item.rect, QSize(metrics.horizontalAdvance(text), metrics.height()));
}

void QvSplash::destroySplash() {
  items_.clear();
  hideSplash();
  deleteLater();
}

void QvSplash::paintEvent(QPaintEvent*) {
  QvPaintBuffered(*this, [&](QPainter& p) {
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.drawPixmap(0, 0, bitmap_);
    for (const QvSplashItem& item : items_) {
      p.setFont(item.font.value_or(QvControlFont(13)));
      p.setPen(QvColorFromRef(item.color));
      p.drawText(itemRect(item), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                 QvText(item.text));
    }
  });
}
