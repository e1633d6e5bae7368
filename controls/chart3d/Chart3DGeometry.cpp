#include "controls/chart3d/Chart3DGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// Screen-plane coordinates of a point at scale 1: across, up, and depth.
struct Plane {
  double across, up, depth;
};

Plane ToPlane(const C3Projection& turn, C3Vec p) {
  const double x = p.x * turn.cosYaw - p.y * turn.sinYaw;
  const double y = p.x * turn.sinYaw + p.y * turn.cosYaw;
  return {x, y * turn.sinPitch + p.z * turn.cosPitch, y * turn.cosPitch - p.z * turn.sinPitch};
}

double Fraction(const C3Range& range, double value) {
  if (!std::isfinite(value)) return 0.0;
  return std::clamp((value - range.min) / (range.max - range.min), 0.0, 1.0);
}

// Faces in the order they were made, each with the depth it is sorted by.
struct Keyed {
  std::vector<C3Face> faces;
  std::vector<std::pair<double, std::size_t>> keys;
  void add(double key, const C3Face& face) {
    keys.emplace_back(key, faces.size());
    faces.push_back(face);
  }
};

// Far faces first; faces of equal depth keep the order they were made in.
std::vector<C3Face> FarFirst(Keyed& keyed) {
  std::stable_sort(keyed.keys.begin(), keyed.keys.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<C3Face> out;
  out.reserve(keyed.faces.size());
  for (const auto& key : keyed.keys) out.push_back(keyed.faces[key.second]);
  return out;
}

const C3Cell& CellAt(const C3Grid& grid, int row, int column) {
  return (*grid.cells)[static_cast<std::size_t>(row) * static_cast<std::size_t>(grid.columns) +
                       static_cast<std::size_t>(column)];
}

bool HasValue(const C3Cell& cell) {
  return cell.z && std::isfinite(*cell.z);
}

}  // namespace

C3View Chart3DRotate(C3View view, double dx, double dy) {
  if (!std::isfinite(dx)) dx = 0.0;
  if (!std::isfinite(dy)) dy = 0.0;
  if (!std::isfinite(view.yaw)) view.yaw = C3View{}.yaw;
  if (!std::isfinite(view.pitch)) view.pitch = C3View{}.pitch;
  double yaw = std::fmod(view.yaw + dx * kChart3DDegreesPerPixel, 360.0);
  if (yaw < 0.0) yaw += 360.0;
  const double pitch =
      std::clamp(view.pitch + dy * kChart3DDegreesPerPixel, kChart3DMinPitch, kChart3DMaxPitch);
  return {yaw, pitch};
}

C3Screen C3Projection::project(C3Vec p) const {
  const Plane plane = ToPlane(*this, p);
  return {offsetX + scale * plane.across, offsetY - scale * plane.up, plane.depth};
}

double C3Projection::depth(C3Vec p) const {
  return ToPlane(*this, p).depth;
}

C3Projection Chart3DFit(C3View view, C3Rect area) {
  C3Projection out;
  out.view = view;
  out.cosYaw = std::cos(Radians(view.yaw));
  out.sinYaw = std::sin(Radians(view.yaw));
  out.cosPitch = std::cos(Radians(view.pitch));
  out.sinPitch = std::sin(Radians(view.pitch));
  double minX = 1e9, maxX = -1e9, minUp = 1e9, maxUp = -1e9;
  for (double x : {-0.5, 0.5})
    for (double y : {-0.5, 0.5})
      for (double z : {0.0, kChart3DHeight}) {
        const Plane p = ToPlane(out, {x, y, z});
        minX = std::min(minX, p.across);
        maxX = std::max(maxX, p.across);
        minUp = std::min(minUp, p.up);
        maxUp = std::max(maxUp, p.up);
      }
  const double w = std::max(0.0, area.width()), h = std::max(0.0, area.height());
  out.scale = std::min(w / (maxX - minX), h / (maxUp - minUp));
  out.offsetX = area.left + (w - out.scale * (maxX - minX)) / 2.0 - out.scale * minX;
  out.offsetY = area.top + (h - out.scale * (maxUp - minUp)) / 2.0 + out.scale * maxUp;
  return out;
}

double Chart3DAxisPosition(double value, int index, int count, double min, double max) {
  if (count <= 1) return 0.0;
  double f = static_cast<double>(std::clamp(index, 0, count - 1)) / (count - 1);
  if (std::isfinite(value) && std::isfinite(min) && std::isfinite(max) && max > min)
    f = std::clamp((value - min) / (max - min), 0.0, 1.0);
  return -0.5 + 0.5 / count + f * (1.0 - 1.0 / count);
}

C3Range Chart3DValueRange(const std::vector<std::optional<float>>& values) {
  double least = 0.0, greatest = -INFINITY;
  for (const auto& v : values) {
    if (!v || !std::isfinite(*v)) continue;
    least = std::min(least, static_cast<double>(*v));
    greatest = std::max(greatest, static_cast<double>(*v));
  }
  if (!(greatest > least)) greatest = least + 1.0;
  return {least, greatest};
}

std::vector<double> Chart3DTicks(C3Range range, int maxCount) {
  const double span = range.max - range.min;
  if (maxCount < 2 || !std::isfinite(span) || span <= 0.0) return {range.min};
  const double raw = span / (maxCount - 1);
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = magnitude * 10.0;
  for (double m : {1.0, 2.0, 5.0})
    if (magnitude * m >= raw * (1.0 - 1e-9)) {
      step = magnitude * m;
      break;
    }
  std::vector<double> ticks;
  const double first = std::ceil(range.min / step - 1e-9) * step;
  for (int i = 0; i <= maxCount; ++i) {
    const double v = first + i * step;
    if (v > range.max + step * 1e-9) break;
    ticks.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
  }
  if (ticks.size() > static_cast<std::size_t>(maxCount)) ticks.resize(static_cast<std::size_t>(maxCount));
  return ticks;
}

std::uint32_t Chart3DHeatColor(double t) {
  static constexpr double kStops[5][3] = {
      {40, 70, 230}, {0, 190, 230}, {60, 200, 60}, {250, 220, 0}, {230, 40, 30}};
  if (!std::isfinite(t)) t = 0.0;
  t = std::clamp(t, 0.0, 1.0) * 4.0;
  const int i = std::min(3, static_cast<int>(t));
  const double f = t - i;
  std::uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    const double v = kStops[i][c] + (kStops[i + 1][c] - kStops[i][c]) * f;
    out |= static_cast<std::uint32_t>(std::lround(v)) << (8 * c);
  }
  return out;
}

std::uint32_t Chart3DShade(std::uint32_t color, double factor) {
  if (!std::isfinite(factor)) factor = 1.0;
  factor = std::clamp(factor, 0.0, 1.0);
  std::uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    const double v = static_cast<double>((color >> (8 * c)) & 0xFFu) * factor;
    out |= static_cast<std::uint32_t>(std::lround(v)) << (8 * c);
  }
  return out;
}

C3Vec Chart3DCellFloor(const C3Grid& grid, int row, int column) {
  const C3Cell& cell = CellAt(grid, row, column);
  return {Chart3DAxisPosition(cell.x, column, grid.columns, grid.xMin, grid.xMax),
          Chart3DAxisPosition(cell.y, row, grid.rows, grid.yMin, grid.yMax), 0.0};
}

double Chart3DHeightOf(const C3Range& range, double value) {
  return Fraction(range, value) * kChart3DHeight;
}

std::vector<C3Face> Chart3DBarFaces(const C3Projection& projection, const C3Grid& grid,
                                    bool dropCoveredSides) {
  Keyed keyed;
  if (grid.cells == nullptr || grid.rows <= 0 || grid.columns <= 0) return {};
  const double hx = 0.4 / grid.columns, hy = 0.4 / grid.rows;
  struct Side {
    C3Vec normal;
    double light;
    int dRow, dColumn;
  };
  static const Side kSides[4] = {
      {{-1, 0, 0}, 0.78, 0, -1}, {{1, 0, 0}, 0.78, 0, 1}, {{0, -1, 0}, 0.62, -1, 0}, {{0, 1, 0}, 0.62, 1, 0}};
  auto covered = [&](int row, int column, double t) {
    if (row < 0 || column < 0 || row >= grid.rows || column >= grid.columns) return false;
    const C3Cell& next = CellAt(grid, row, column);
    return HasValue(next) && Fraction(grid.zRange, *next.z) >= t;
  };
  for (int row = 0; row < grid.rows; ++row)
    for (int column = 0; column < grid.columns; ++column) {
      const C3Cell& cell = CellAt(grid, row, column);
      if (!HasValue(cell)) continue;
      const C3Vec c = Chart3DCellFloor(grid, row, column);
      const double t = Fraction(grid.zRange, *cell.z);
      const double h = t * kChart3DHeight;
      const double key = projection.depth(c);
      const double x0 = c.x - hx, x1 = c.x + hx, y0 = c.y - hy, y1 = c.y + hy;
      auto add = [&](C3Vec a, C3Vec b, C3Vec d, C3Vec e, double light) {
        C3Face face{
            {projection.project(a), projection.project(b), projection.project(d), projection.project(e)},
            t,
            light,
            row,
            column};
        keyed.add(key, face);
      };
      if (h > 0.0)
        for (const Side& side : kSides) {
          if (projection.depth(side.normal) >= 0.0) continue;  // faces away from the viewer
          if (dropCoveredSides && covered(row + side.dRow, column + side.dColumn, t)) continue;
          if (side.normal.x != 0) {
            const double x = side.normal.x < 0 ? x0 : x1;
            add({x, y0, 0}, {x, y1, 0}, {x, y1, h}, {x, y0, h}, side.light);
          } else {
            const double y = side.normal.y < 0 ? y0 : y1;
            add({x0, y, 0}, {x1, y, 0}, {x1, y, h}, {x0, y, h}, side.light);
          }
        }
      add({x0, y0, h}, {x1, y0, h}, {x1, y1, h}, {x0, y1, h}, 1.0);
    }
  return FarFirst(keyed);
}

std::vector<C3Face> Chart3DSurfaceFaces(const C3Projection& projection, const C3Grid& grid) {
  Keyed keyed;
  if (grid.cells == nullptr || grid.rows < 2 || grid.columns < 2) return {};
  for (int row = 0; row + 1 < grid.rows; ++row)
    for (int column = 0; column + 1 < grid.columns; ++column) {
      const int rs[4] = {row, row, row + 1, row + 1};
      const int cs[4] = {column, column + 1, column + 1, column};
      // A patch with one corner missing becomes the triangle of the other three.
      C3Vec points[4];
      double t = 0.0;
      int present = 0;
      for (int k = 0; k < 4; ++k) {
        const C3Cell& cell = CellAt(grid, rs[k], cs[k]);
        if (!HasValue(cell)) continue;
        points[present] = Chart3DCellFloor(grid, rs[k], cs[k]);
        const double f = Fraction(grid.zRange, *cell.z);
        points[present].z = f * kChart3DHeight;
        t += f;
        ++present;
      }
      if (present < 3) continue;
      t /= present;
      if (present == 3) points[3] = points[2];
      // Brightness from the tilt of the patch: flat patches are brightest.
      // Quads: the two diagonals; triangles: two edges from the first corner.
      auto minus = [](const C3Vec& a, const C3Vec& b) { return C3Vec{a.x - b.x, a.y - b.y, a.z - b.z}; };
      const C3Vec d1 = present == 3 ? minus(points[1], points[0]) : minus(points[2], points[0]);
      const C3Vec d2 = present == 3 ? minus(points[2], points[0]) : minus(points[3], points[1]);
      const C3Vec n{d1.y * d2.z - d1.z * d2.y, d1.z * d2.x - d1.x * d2.z, d1.x * d2.y - d1.y * d2.x};
      const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
      const double light = length > 0.0 ? 0.55 + 0.45 * std::abs(n.z) / length : 1.0;
      double key = 0.0;
      C3Face face;
      for (int k = 0; k < 4; ++k) {
        face.corners[static_cast<std::size_t>(k)] = projection.project(points[k]);
        key += face.corners[static_cast<std::size_t>(k)].depth / 4.0;
      }
      face.t = t;
      face.light = light;
      face.row = row;
      face.column = column;
      keyed.add(key, face);
    }
  return FarFirst(keyed);
}

double Chart3DColumnLabelEdge(const C3Projection& projection) {
  return projection.depth({0, -0.5, 0}) <= projection.depth({0, 0.5, 0}) ? -0.5 : 0.5;
}

double Chart3DRowLabelEdge(const C3Projection& projection) {
  return projection.depth({-0.5, 0, 0}) <= projection.depth({0.5, 0, 0}) ? -0.5 : 0.5;
}

int Chart3DLabelStride(double spacing, double labelSize) {
  if (!std::isfinite(spacing) || !std::isfinite(labelSize)) return 1;
  if (spacing <= 0.0) return 1000000;
  return std::max(1, static_cast<int>(std::ceil((labelSize + 4.0) / spacing)));
}

C3Screen Chart3DTitleAnchor(C3Screen centre, C3Screen from, C3Screen to, double width, double height,
                            double gap) {
  const C3Screen mid{(from.x + to.x) / 2.0, (from.y + to.y) / 2.0, (from.depth + to.depth) / 2.0};
  // Across the edge on screen; an edge seen end-on falls back to the way from
  // the centre, and with no way at all the title goes straight down.
  double dx = -(to.y - from.y), dy = to.x - from.x;
  double length = std::sqrt(dx * dx + dy * dy);
  if (!(length > 1e-9)) {
    dx = mid.x - centre.x;
    dy = mid.y - centre.y;
    length = std::sqrt(dx * dx + dy * dy);
  }
  if (!(length > 1e-9)) {
    dx = 0.0;
    dy = 1.0;
    length = 1.0;
  }
  dx /= length;
  dy /= length;
  if (dx * (mid.x - centre.x) + dy * (mid.y - centre.y) < 0.0) {
    dx = -dx;
    dy = -dy;
  }
  const double out = 0.5 * (std::abs(dx) * width + std::abs(dy) * height) + gap;
  return {mid.x + dx * out, mid.y + dy * out, mid.depth};
}

std::optional<std::size_t> Chart3DPick(const std::vector<C3Face>& faces, double x, double y) {
  for (std::size_t i = faces.size(); i-- > 0;) {
    const auto& c = faces[i].corners;
    // Inside a convex outline the point lies on the same side of every edge.
    bool negative = false, positive = false;
    for (std::size_t k = 0; k < 4; ++k) {
      const C3Screen& a = c[k];
      const C3Screen& b = c[(k + 1) % 4];
      const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
      if (cross < 0) negative = true;
      if (cross > 0) positive = true;
    }
    if (!(negative && positive)) {
      // A face seen edge-on has no area to hold anything.
      const double area = (c[2].x - c[0].x) * (c[3].y - c[1].y) - (c[3].x - c[1].x) * (c[2].y - c[0].y);
      if (std::abs(area) > 1e-9) return i;
    }
  }
  return std::nullopt;
}
