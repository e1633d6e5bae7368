#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "controls/chart3d/Chart3DGeometry.h"

namespace {

TEST(Chart3DView, RotationWrapsTheTurnAndLimitsTheTilt) {
  const C3View start{350.0, 30.0};
  EXPECT_EQ(Chart3DRotate(start, 40, 0), (C3View{10.0, 30.0}));  // 350 + 20 wraps to 10
  EXPECT_EQ(Chart3DRotate({10.0, 30.0}, -40, 0), (C3View{350.0, 30.0}));
  EXPECT_EQ(Chart3DRotate(start, 0, 1000).pitch, kChart3DMaxPitch);
  EXPECT_EQ(Chart3DRotate(start, 0, -1000).pitch, kChart3DMinPitch);
  EXPECT_EQ(Chart3DRotate(start, NAN, INFINITY), start);
  EXPECT_EQ(Chart3DRotate({NAN, INFINITY}, 0, 0), C3View{});
}

TEST(Chart3DView, ProjectionShowsNearThingsInFrontAndHighThingsAbove) {
  const C3Projection p = Chart3DFit({0.0, 30.0}, {0, 0, 400, 300});
  // Looking along +y from below the front edge.
  EXPECT_LT(p.depth({0, -0.5, 0}), p.depth({0, 0.5, 0}));
  EXPECT_LT(p.project({0, 0, kChart3DHeight}).y, p.project({0, 0, 0}).y);
  EXPECT_LT(p.project({-0.5, 0, 0}).x, p.project({0.5, 0, 0}).x);
  // Orthographic: a vertical edge shrinks by the cosine of the tilt.
  const double edge = p.project({0.5, 0.5, 0}).y - p.project({0.5, 0.5, kChart3DHeight}).y;
  EXPECT_NEAR(edge, p.scale * kChart3DHeight * std::cos(30.0 * M_PI / 180.0), 1e-9);
  // Turned half round, the far edge comes to the front.
  const C3Projection back = Chart3DFit({180.0, 30.0}, {0, 0, 400, 300});
  EXPECT_GT(back.depth({0, -0.5, 0}), back.depth({0, 0.5, 0}));
  EXPECT_EQ(Chart3DColumnLabelEdge(p), -0.5);
  EXPECT_EQ(Chart3DColumnLabelEdge(back), 0.5);
  EXPECT_EQ(Chart3DRowLabelEdge(Chart3DFit({90.0, 30.0}, {0, 0, 400, 300})), -0.5);
  EXPECT_EQ(Chart3DRowLabelEdge(Chart3DFit({270.0, 30.0}, {0, 0, 400, 300})), 0.5);
}

TEST(Chart3DView, FitKeepsTheWholeBoxInsideTheAreaFromEveryAngle) {
  const C3Rect area{30, 40, 630, 440};
  for (double yaw = 0; yaw < 360; yaw += 15)
    for (double pitch : {kChart3DMinPitch, 30.0, 60.0, kChart3DMaxPitch}) {
      const C3Projection p = Chart3DFit({yaw, pitch}, area);
      double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
      for (double x : {-0.5, 0.5})
        for (double y : {-0.5, 0.5})
          for (double z : {0.0, kChart3DHeight}) {
            const C3Screen s = p.project({x, y, z});
            minX = std::min(minX, s.x);
            maxX = std::max(maxX, s.x);
            minY = std::min(minY, s.y);
            maxY = std::max(maxY, s.y);
          }
      SCOPED_TRACE(testing::Message() << "yaw " << yaw << " pitch " << pitch);
      EXPECT_GE(minX, area.left - 1e-6);
      EXPECT_LE(maxX, area.right + 1e-6);
      EXPECT_GE(minY, area.top - 1e-6);
      EXPECT_LE(maxY, area.bottom + 1e-6);
      // It fills the area one way or the other, centred.
      EXPECT_TRUE(std::abs((maxX - minX) - area.width()) < 1e-6 ||
                  std::abs((maxY - minY) - area.height()) < 1e-6);
      EXPECT_NEAR((minX + maxX) / 2, (area.left + area.right) / 2, 1e-6);
      EXPECT_NEAR((minY + maxY) / 2, (area.top + area.bottom) / 2, 1e-6);
    }
  // A collapsed area gives a zero scale, not a division fault.
  EXPECT_EQ(Chart3DFit({}, {10, 10, 10, 10}).scale, 0.0);
}

TEST(Chart3DAxes, CellsStandByValueOrByIndex) {
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(0, 0, 4, 0, 0), -0.375);
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(0, 3, 4, 0, 0), 0.375);
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(0, 1, 4, 0, 0), -0.125);
  // By value within a usable range; outside it, at the ends.
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(400, 3, 4, 400, 6400), -0.375);
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(3400, 0, 4, 400, 6400), 0.0);
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(99999, 0, 4, 400, 6400), 0.375);
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(NAN, 2, 4, 400, 6400), 0.125);
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(5, 2, 4, 10, 10), 0.125);  // empty range
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(5, 0, 1, 0, 10), 0.0);
  EXPECT_DOUBLE_EQ(Chart3DAxisPosition(5, 9, 4, 0, 0), 0.375);  // index clamped
}

TEST(Chart3DAxes, ValueRangeStartsAtZeroOrBelowAndIsNeverEmpty) {
  EXPECT_EQ(Chart3DValueRange({}), (C3Range{0, 1}));
  EXPECT_EQ(Chart3DValueRange({std::nullopt, 5.0f, 2.0f}), (C3Range{0, 5}));
  EXPECT_EQ(Chart3DValueRange({0.0f, 0.0f}), (C3Range{0, 1}));
  EXPECT_EQ(Chart3DValueRange({-3.0f, 2.0f, NAN, INFINITY}), (C3Range{-3, 2}));
  EXPECT_EQ(Chart3DValueRange({-3.0f, -5.0f}), (C3Range{-5, -3}));
  EXPECT_DOUBLE_EQ(Chart3DHeightOf({0, 10}, 5), kChart3DHeight / 2);
  EXPECT_DOUBLE_EQ(Chart3DHeightOf({0, 10}, 50), kChart3DHeight);
  EXPECT_DOUBLE_EQ(Chart3DHeightOf({0, 10}, -1), 0.0);
}

TEST(Chart3DAxes, TicksUseRoundSteps) {
  EXPECT_EQ(Chart3DTicks({0, 32.4}, 6), (std::vector<double>{0, 10, 20, 30}));
  EXPECT_EQ(Chart3DTicks({-4.3, 32.4}, 6), (std::vector<double>{0, 10, 20, 30}));
  EXPECT_EQ(Chart3DTicks({0, 1}, 6), (std::vector<double>{0, 0.2, 0.4, 0.6000000000000001, 0.8, 1}));
  EXPECT_EQ(Chart3DTicks({-25, 25}, 6), (std::vector<double>{-20, -10, 0, 10, 20}));
  EXPECT_EQ(Chart3DTicks({3, 3}, 6), (std::vector<double>{3}));
  EXPECT_EQ(Chart3DTicks({0, INFINITY}, 6), (std::vector<double>{0}));
  for (double span : {0.013, 7.0, 123.0, 98765.0}) EXPECT_LE(Chart3DTicks({0, span}, 5).size(), 5u) << span;
}

TEST(Chart3DColours, HeatScaleRunsFromBlueToRed) {
  EXPECT_EQ(Chart3DHeatColor(0.0), 40u | (70u << 8) | (230u << 16));
  EXPECT_EQ(Chart3DHeatColor(0.5), 60u | (200u << 8) | (60u << 16));
  EXPECT_EQ(Chart3DHeatColor(1.0), 230u | (40u << 8) | (30u << 16));
  EXPECT_EQ(Chart3DHeatColor(7.0), Chart3DHeatColor(1.0));
  EXPECT_EQ(Chart3DHeatColor(-1.0), Chart3DHeatColor(0.0));
  EXPECT_EQ(Chart3DHeatColor(NAN), Chart3DHeatColor(0.0));
  EXPECT_EQ(Chart3DHeatColor(0.125), 20u | (130u << 8) | (230u << 16));  // half way to cyan
  EXPECT_EQ(Chart3DShade(200u | (100u << 8) | (50u << 16), 0.5), 100u | (50u << 8) | (25u << 16));
}

class Chart3DFaces : public ::testing::Test {
 protected:
  C3Grid Grid(int rows, int columns) {
    cells.assign(static_cast<std::size_t>(rows * columns), C3Cell{});
    C3Grid grid;
    grid.rows = rows;
    grid.columns = columns;
    grid.cells = &cells;
    grid.zRange = {0, 10};
    return grid;
  }
  C3Cell& At(const C3Grid& grid, int row, int column) {
    return cells[static_cast<std::size_t>(row * grid.columns + column)];
  }
  std::vector<C3Cell> cells;
};

TEST_F(Chart3DFaces, BarsShowTheirTopAndOnlyTheSidesFacingTheViewer) {
  C3Grid grid = Grid(1, 1);
  At(grid, 0, 0).z = 10.0f;
  const auto general = Chart3DBarFaces(Chart3DFit({35, 30}, {0, 0, 400, 300}), grid);
  ASSERT_EQ(general.size(), 3u);
  EXPECT_EQ(general.back().light, 1.0);  // the top comes last
  const C3Projection p = Chart3DFit({35, 30}, {0, 0, 400, 300});
  EXPECT_NEAR(general.back().corners[0].y, p.project({0, 0, kChart3DHeight}).y, p.scale);
  // Straight on, the side walls are edge-on and left out.
  EXPECT_EQ(Chart3DBarFaces(Chart3DFit({0, 30}, {0, 0, 400, 300}), grid).size(), 2u);
  // A zero value is a flat tile; a cell without a value has nothing.
  At(grid, 0, 0).z = 0.0f;
  EXPECT_EQ(Chart3DBarFaces(p, grid).size(), 1u);
  At(grid, 0, 0).z.reset();
  EXPECT_TRUE(Chart3DBarFaces(p, grid).empty());
  EXPECT_TRUE(Chart3DBarFaces(p, C3Grid{}).empty());
}

TEST_F(Chart3DFaces, SidesFacingAHigherNeighbourCanBeLeftOut) {
  C3Grid grid = Grid(1, 2);
  At(grid, 0, 0).z = 5.0f;
  At(grid, 0, 1).z = 8.0f;
  // Turned so that the +x sides face the viewer: the lower bar's side towards
  // its higher neighbour goes, nothing else.
  const C3Projection p = Chart3DFit({325, 30}, {0, 0, 400, 300});
  EXPECT_EQ(Chart3DBarFaces(p, grid).size(), 6u);
  EXPECT_EQ(Chart3DBarFaces(p, grid, true).size(), 5u);
  // The other way round, with the -x sides in view.
  At(grid, 0, 1).z = 4.0f;
  const C3Projection q = Chart3DFit({35, 30}, {0, 0, 400, 300});
  EXPECT_EQ(Chart3DBarFaces(q, grid).size(), 6u);
  const auto faces = Chart3DBarFaces(q, grid, true);
  ASSERT_EQ(faces.size(), 5u);
  EXPECT_EQ(std::count_if(faces.begin(), faces.end(), [](const C3Face& f) { return f.column == 1; }), 2);
}

TEST_F(Chart3DFaces, FarBarsAreDrawnFirst) {
  C3Grid grid = Grid(2, 2);
  for (auto& cell : cells) cell.z = 5.0f;
  for (double yaw : {0.0, 35.0, 120.0, 200.0, 300.0}) {
    const C3Projection p = Chart3DFit({yaw, 30}, {0, 0, 400, 300});
    const auto faces = Chart3DBarFaces(p, grid);
    double lastDepth = INFINITY;
    int lastCell = -1;
    for (const C3Face& face : faces) {
      const int cell = face.row * 2 + face.column;
      if (cell == lastCell) continue;
      const double depth = p.depth(Chart3DCellFloor(grid, face.row, face.column));
      EXPECT_LE(depth, lastDepth + 1e-12) << "yaw " << yaw;
      lastDepth = depth;
      lastCell = cell;
    }
  }
}

TEST_F(Chart3DFaces, SurfacePatchesNeedThreeCornersAndComeFarFirst) {
  C3Grid grid = Grid(3, 2);
  for (auto& cell : cells) cell.z = 4.0f;
  const C3Projection p = Chart3DFit({0, 30}, {0, 0, 400, 300});
  auto faces = Chart3DSurfaceFaces(p, grid);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0].row, 1);  // rows grow away from the viewer at this turn
  EXPECT_EQ(faces[1].row, 0);
  EXPECT_DOUBLE_EQ(faces[0].t, 0.4);
  EXPECT_DOUBLE_EQ(faces[0].light, 1.0);  // flat
  At(grid, 0, 0).z.reset();
  faces = Chart3DSurfaceFaces(p, grid);
  ASSERT_EQ(faces.size(), 2u);
  const C3Face& triangle = faces[1];
  EXPECT_EQ(triangle.corners[2].x, triangle.corners[3].x);
  EXPECT_EQ(triangle.corners[2].y, triangle.corners[3].y);
  At(grid, 0, 1).z.reset();
  EXPECT_EQ(Chart3DSurfaceFaces(p, grid).size(), 1u);
  // A slope is darker than a flat patch.
  for (auto& cell : cells) cell.z = 0.0f;
  At(grid, 2, 0).z = At(grid, 2, 1).z = 10.0f;
  faces = Chart3DSurfaceFaces(p, grid);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_LT(faces[0].light, 1.0);
  EXPECT_DOUBLE_EQ(faces[1].light, 1.0);
}

TEST(Chart3DLabels, TitlesStandBeyondTheLabelsAcrossTheEdge) {
  // A level edge below the centre: straight down, past half a label's height and the gap.
  C3Screen at = Chart3DTitleAnchor({100, 100, 0}, {0, 200, 0}, {200, 200, 0}, 40, 10, 12);
  EXPECT_DOUBLE_EQ(at.x, 100);
  EXPECT_DOUBLE_EQ(at.y, 217);
  // An upright edge left of the centre, given either way round: left, past half a label's width.
  for (const auto& [from, to] : {std::pair{C3Screen{20, 0, 0}, C3Screen{20, 200, 0}},
                                 std::pair{C3Screen{20, 200, 0}, C3Screen{20, 0, 0}}}) {
    at = Chart3DTitleAnchor({100, 100, 0}, from, to, 40, 10, 12);
    EXPECT_DOUBLE_EQ(at.x, -12);
    EXPECT_DOUBLE_EQ(at.y, 100);
  }
  // A slanting edge seen flat: across it, not along the way from the centre.
  at = Chart3DTitleAnchor({100, 100, 0}, {0, 110, 0}, {200, 130, 0}, 40, 10, 0);
  EXPECT_GT(at.y - 120, 4 * std::abs(at.x - 100));
  // An edge seen end-on on the centre: below.
  at = Chart3DTitleAnchor({50, 50, 0}, {50, 50, 0}, {50, 50, 0}, 40, 10, 0);
  EXPECT_DOUBLE_EQ(at.y, 55);
}

TEST(Chart3DPicking, TheNearestFaceUnderThePointWins) {
  auto square = [](double left, double top, double size, int row) {
    C3Face face;
    face.corners = {C3Screen{left, top, 0}, C3Screen{left + size, top, 0},
                    C3Screen{left + size, top + size, 0}, C3Screen{left, top + size, 0}};
    face.row = row;
    return face;
  };
  const std::vector<C3Face> faces = {square(0, 0, 100, 0), square(50, 50, 100, 1)};
  EXPECT_EQ(Chart3DPick(faces, 10, 10), std::optional<std::size_t>(0));
  EXPECT_EQ(Chart3DPick(faces, 75, 75), std::optional<std::size_t>(1));  // drawn later, so in front
  EXPECT_EQ(Chart3DPick(faces, 160, 20), std::nullopt);
  // Wound the other way round, and as a triangle.
  C3Face turned = square(0, 0, 10, 2);
  std::swap(turned.corners[1], turned.corners[3]);
  EXPECT_TRUE(Chart3DPick({turned}, 5, 5));
  C3Face triangle = square(0, 0, 10, 3);
  triangle.corners[3] = triangle.corners[2];
  EXPECT_TRUE(Chart3DPick({triangle}, 8, 2));
  EXPECT_FALSE(Chart3DPick({triangle}, 2, 8));
  // A face seen edge-on holds nothing.
  C3Face flat = square(0, 0, 10, 4);
  for (auto& c : flat.corners) c.y = 5;
  EXPECT_FALSE(Chart3DPick({flat}, 5, 5));
}

TEST(Chart3DLabels, StrideThinsLabelsThatWouldCollide) {
  EXPECT_EQ(Chart3DLabelStride(100, 30), 1);
  EXPECT_EQ(Chart3DLabelStride(10, 20), 3);
  EXPECT_GT(Chart3DLabelStride(0, 20), 1000);
  EXPECT_EQ(Chart3DLabelStride(NAN, 20), 1);
}

}  // namespace
