#include "controls/containers/QvFrameGeometry.h"

#include <algorithm>

QvFrameHit QvFrameHitTest(QSize size, QPoint pos, int border, int captionHeight) {
  const int w = size.width();
  const int h = size.height();
  const int x = pos.x();
  const int y = pos.y();
  if (x < 0 || y < 0 || x >= w || y >= h) return QvFrameHit::None;
  const int corner = border * 2;
  const bool left = x < border;
  const bool right = x >= w - border;
  const bool top = y < border;
  const bool bottom = y >= h - border;
  const bool nearLeft = x < corner;
  const bool nearRight = x >= w - corner;
  const bool nearTop = y < corner;
  const bool nearBottom = y >= h - corner;
  if ((top && nearLeft) || (left && nearTop)) return QvFrameHit::TopLeft;
  if ((top && nearRight) || (right && nearTop)) return QvFrameHit::TopRight;
  if ((bottom && nearLeft) || (left && nearBottom)) return QvFrameHit::BottomLeft;
  if ((bottom && nearRight) || (right && nearBottom)) return QvFrameHit::BottomRight;
  if (left) return QvFrameHit::Left;
  if (right) return QvFrameHit::Right;
  if (top) return QvFrameHit::Top;
  if (bottom) return QvFrameHit::Bottom;
  if (y < border + captionHeight) return QvFrameHit::Caption;
  return QvFrameHit::Client;
}

std::uint32_t QvFrameHitFlag(QvFrameHit hit) {
  switch (hit) {
    case QvFrameHit::Left:
      return kQvSheetSizeLeft;
    case QvFrameHit::Right:
      return kQvSheetSizeRight;
    case QvFrameHit::Top:
      return kQvSheetSizeTop;
    case QvFrameHit::Bottom:
      return kQvSheetSizeBottom;
    case QvFrameHit::TopLeft:
      return kQvSheetSizeTopLeft;
    case QvFrameHit::TopRight:
      return kQvSheetSizeTopRight;
    case QvFrameHit::BottomLeft:
      return kQvSheetSizeBottomLeft;
    case QvFrameHit::BottomRight:
      return kQvSheetSizeBottomRight;
    case QvFrameHit::Caption:
      return kQvSheetMove;
    default:
      return 0;
  }
}

QvFrameHit QvAllowedFrameHit(QvFrameHit hit, std::uint32_t flags) {
  if (hit == QvFrameHit::None || hit == QvFrameHit::Client || hit == QvFrameHit::Caption) return hit;
  return (QvFrameHitFlag(hit) & flags) != 0 ? hit : QvFrameHit::Client;
}

QRect QvFrameDragGeometry(QRect start, QvFrameHit hit, QPoint delta, QSize minimum) {
  int left = start.left();
  int top = start.top();
  int right = start.left() + start.width();
  int bottom = start.top() + start.height();
  const int minW = std::max(minimum.width(), 0);
  const int minH = std::max(minimum.height(), 0);
  const bool movesLeft =
      hit == QvFrameHit::Left || hit == QvFrameHit::TopLeft || hit == QvFrameHit::BottomLeft;
  const bool movesRight =
      hit == QvFrameHit::Right || hit == QvFrameHit::TopRight || hit == QvFrameHit::BottomRight;
  const bool movesTop = hit == QvFrameHit::Top || hit == QvFrameHit::TopLeft || hit == QvFrameHit::TopRight;
  const bool movesBottom =
      hit == QvFrameHit::Bottom || hit == QvFrameHit::BottomLeft || hit == QvFrameHit::BottomRight;
  if (hit == QvFrameHit::Caption) return start.translated(delta);
  if (movesLeft) left = std::min(left + delta.x(), right - minW);
  if (movesRight) right = std::max(right + delta.x(), left + minW);
  if (movesTop) top = std::min(top + delta.y(), bottom - minH);
  if (movesBottom) bottom = std::max(bottom + delta.y(), top + minH);
  return QRect(left, top, right - left, bottom - top);
}

QvPropTreeRects QvPropTreeLayout(QSize client, int treeWidth, QSize button) {
  QvPropTreeRects rects;
  const int w = std::max(client.width(), 0);
  const int h = std::max(client.height(), 0);
  const int row = button.height() + 2 * kQvPropTreeMargin;
  const int bodyHeight = std::max(h - row, 0);
  const int tree = std::clamp(treeWidth, 0, w);
  rects.tree = QRect(0, 0, tree, bodyHeight);
  const int pageLeft = tree + kQvPropTreePageGap;
  rects.page = QRect(pageLeft, 0, std::max(w - pageLeft, 0), bodyHeight);
  const int buttonTop = h - kQvPropTreeMargin - button.height();
  rects.cancel = QRect(QPoint(w - kQvPropTreeMargin - button.width(), buttonTop), button);
  rects.ok = QRect(QPoint(rects.cancel.left() - kQvPropTreeMargin - button.width(), buttonTop), button);
  return rects;
}

QSize QvPropTreeMinimumSize(QSize largestPage, int treeWidth, QSize button) {
  const int buttonsWidth = 2 * button.width() + 3 * kQvPropTreeMargin;
  const int width = std::max(treeWidth + kQvPropTreePageGap + largestPage.width(), buttonsWidth);
  return QSize(width, largestPage.height() + button.height() + 2 * kQvPropTreeMargin);
}

QRect QvCentredRect(QRect area, QSize size) {
  return QRect(QPoint(area.left() + (area.width() - size.width()) / 2,
                      area.top() + (area.height() - size.height()) / 2),
               size);
}

QRect QvMeasuredTextRect(QRect given, QSize textSize) {
  return QRect(given.topLeft(), textSize);
}
