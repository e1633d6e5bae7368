#pragma once
// Pure geometry of the container frames: which part of a framed child window
// a point hits, whether the frame's flags allow dragging it, the new geometry
// after a drag, and the placement of the property tree container's parts.
//
// Thread contract: free functions without shared state; callable from any thread.
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>

// Resize and move permissions of a tab sheet frame, one bit per edge and
// corner and one for moving by the caption.
enum QvSheetFlag : std::uint32_t {
  kQvSheetSizeLeft = 0x001,
  kQvSheetSizeRight = 0x002,
  kQvSheetSizeTop = 0x004,
  kQvSheetSizeBottom = 0x008,
  kQvSheetSizeTopLeft = 0x010,
  kQvSheetSizeTopRight = 0x020,
  kQvSheetSizeBottomLeft = 0x040,
  kQvSheetSizeBottomRight = 0x080,
  kQvSheetMove = 0x100,
  kQvSheetAllSizing = 0x0FF,
  kQvSheetAll = 0x1FF,
};

enum class QvFrameHit {
  None,
  Client,
  Caption,
  Left,
  Right,
  Top,
  Bottom,
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight
};

// The part of a frame of the given size under pos: a band `border` pixels wide
// along each edge (corners take `border` * 2 along each side), the caption
// band of `captionHeight` below the top border, and the client area.
QvFrameHit QvFrameHitTest(QSize size, QPoint pos, int border, int captionHeight);

// The flag that allows dragging a part; 0 for parts that cannot be dragged.
std::uint32_t QvFrameHitFlag(QvFrameHit hit);

// The part under pos when the flags allow dragging it, else Client (or
// Caption, which still takes double clicks).
QvFrameHit QvAllowedFrameHit(QvFrameHit hit, std::uint32_t flags);

// The frame geometry after dragging a part by delta from the start geometry.
// The size never goes below minimum; the opposite edge stays put.
QRect QvFrameDragGeometry(QRect start, QvFrameHit hit, QPoint delta, QSize minimum);

// Placement of the property tree container's parts in its client area.
struct QvPropTreeRects {
  QRect tree;
  QRect page;
  QRect ok;
  QRect cancel;
};
inline constexpr int kQvPropTreeMargin = 6;
inline constexpr int kQvPropTreePageGap = 2;
QvPropTreeRects QvPropTreeLayout(QSize client, int treeWidth, QSize button);
// The smallest client size that shows the largest page beside the tree, with
// the button row below.
QSize QvPropTreeMinimumSize(QSize largestPage, int treeWidth, QSize button);

// A rectangle of the given size centred in an area.
QRect QvCentredRect(QRect area, QSize size);
// The rectangle of a splash text item: its left-top corner, measured to the text.
QRect QvMeasuredTextRect(QRect given, QSize textSize);
