#include <gtest/gtest.h>

#include "controls/containers/QvFrameGeometry.h"

namespace {

TEST(FrameHitTest, EdgesCornersCaptionAndClient) {
  const QSize size(200, 100);
  EXPECT_EQ(QvFrameHitTest(size, {0, 0}, 4, 18), QvFrameHit::TopLeft);
  EXPECT_EQ(QvFrameHitTest(size, {6, 2}, 4, 18), QvFrameHit::TopLeft);  // corners reach along the edge
  EXPECT_EQ(QvFrameHitTest(size, {199, 0}, 4, 18), QvFrameHit::TopRight);
  EXPECT_EQ(QvFrameHitTest(size, {0, 99}, 4, 18), QvFrameHit::BottomLeft);
  EXPECT_EQ(QvFrameHitTest(size, {197, 97}, 4, 18), QvFrameHit::BottomRight);
  EXPECT_EQ(QvFrameHitTest(size, {100, 1}, 4, 18), QvFrameHit::Top);
  EXPECT_EQ(QvFrameHitTest(size, {100, 98}, 4, 18), QvFrameHit::Bottom);
  EXPECT_EQ(QvFrameHitTest(size, {2, 50}, 4, 18), QvFrameHit::Left);
  EXPECT_EQ(QvFrameHitTest(size, {196, 50}, 4, 18), QvFrameHit::Right);
  EXPECT_EQ(QvFrameHitTest(size, {100, 4}, 4, 18), QvFrameHit::Caption);
  EXPECT_EQ(QvFrameHitTest(size, {100, 21}, 4, 18), QvFrameHit::Caption);
  EXPECT_EQ(QvFrameHitTest(size, {100, 22}, 4, 18), QvFrameHit::Client);
  EXPECT_EQ(QvFrameHitTest(size, {200, 50}, 4, 18), QvFrameHit::None);
  EXPECT_EQ(QvFrameHitTest(size, {-1, 50}, 4, 18), QvFrameHit::None);
}

TEST(FrameHitTest, FlagsBlockEachEdgeAndCorner) {
  EXPECT_EQ(QvAllowedFrameHit(QvFrameHit::Left, kQvSheetAll), QvFrameHit::Left);
  EXPECT_EQ(QvAllowedFrameHit(QvFrameHit::Left, kQvSheetAll & ~kQvSheetSizeLeft), QvFrameHit::Client);
  EXPECT_EQ(QvAllowedFrameHit(QvFrameHit::BottomRight, kQvSheetSizeBottom | kQvSheetSizeRight),
            QvFrameHit::Client);
  EXPECT_EQ(QvAllowedFrameHit(QvFrameHit::BottomRight, kQvSheetSizeBottomRight), QvFrameHit::BottomRight);
  // The caption always takes double clicks; moving is decided by kQvSheetMove.
  EXPECT_EQ(QvAllowedFrameHit(QvFrameHit::Caption, 0), QvFrameHit::Caption);
  EXPECT_EQ(QvFrameHitFlag(QvFrameHit::Caption), kQvSheetMove);
  EXPECT_EQ(QvFrameHitFlag(QvFrameHit::Client), 0u);
}

TEST(FrameDrag, ResizesFromTheDraggedSideAndKeepsTheMinimum) {
  const QRect start(10, 20, 200, 100);
  const QSize minimum(50, 60);
  EXPECT_EQ(QvFrameDragGeometry(start, QvFrameHit::Right, {30, 99}, minimum), QRect(10, 20, 230, 100));
  EXPECT_EQ(QvFrameDragGeometry(start, QvFrameHit::Left, {-10, 0}, minimum), QRect(0, 20, 210, 100));
  EXPECT_EQ(QvFrameDragGeometry(start, QvFrameHit::TopLeft, {5, 5}, minimum), QRect(15, 25, 195, 95));
  EXPECT_EQ(QvFrameDragGeometry(start, QvFrameHit::Bottom, {0, -80}, minimum), QRect(10, 20, 200, 60));
  EXPECT_EQ(QvFrameDragGeometry(start, QvFrameHit::Top, {0, 80}, minimum), QRect(10, 60, 200, 60));
  EXPECT_EQ(QvFrameDragGeometry(start, QvFrameHit::Caption, {7, -3}, minimum), QRect(17, 17, 200, 100));
  EXPECT_EQ(QvFrameDragGeometry(start, QvFrameHit::Client, {7, -3}, minimum), start);
}

TEST(PropTreeLayout, TreePageAndButtons) {
  const QSize button(80, 24);
  const QvPropTreeRects rects = QvPropTreeLayout({500, 300}, 160, button);
  EXPECT_EQ(rects.tree, QRect(0, 0, 160, 264));
  EXPECT_EQ(rects.page, QRect(162, 0, 338, 264));  // 2 pixels right of the tree
  EXPECT_EQ(rects.cancel, QRect(414, 270, 80, 24));
  EXPECT_EQ(rects.ok, QRect(328, 270, 80, 24));
  // A tiny client area gives empty, never negative, rectangles.
  const QvPropTreeRects tiny = QvPropTreeLayout({10, 10}, 160, button);
  EXPECT_GE(tiny.page.width(), 0);
  EXPECT_GE(tiny.tree.height(), 0);
  EXPECT_EQ(QvPropTreeMinimumSize({300, 200}, 160, button), QSize(462, 236));
  EXPECT_EQ(QvPropTreeMinimumSize({0, 0}, 10, button), QSize(178, 36));
}

TEST(SplashGeometry, CentringAndMeasuredItems) {
  EXPECT_EQ(QvCentredRect(QRect(0, 0, 1000, 800), {200, 100}), QRect(400, 350, 200, 100));
  EXPECT_EQ(QvCentredRect(QRect(100, 100, 50, 50), {150, 50}), QRect(50, 100, 150, 50));
  EXPECT_EQ(QvMeasuredTextRect(QRect(5, 6, 10, 10), {40, 12}), QRect(5, 6, 40, 12));
}

}  // namespace
