#include "HistogramGraph.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "QvColor.h"
#include "QvControlText.h"

namespace {
constexpr double kDepthShiftX = 0.30;  // share of the box width the back row moves right
constexpr double kFloorDepth = 0.40;   // share of the box height the floor takes
constexpr double kFloorWidth = 0.70;   // share of the box width the front edge takes
constexpr double kHeightShare = 0.55;  // share of the box height the tallest block takes
}  // namespace

QPointF HistogramGraphPoint(const QRectF& box, double u, double v, double h) {
  const double x = box.left() + box.width() * (u * kFloorWidth + v * kDepthShiftX);
  const double y = box.bottom() - box.height() * (v * kFloorDepth + h * kHeightShare);
  return {x, y};
}

std::uint32_t HistogramGraphColor(double h) {
  h = std::clamp(std::isfinite(h) ? h : 0.0, 0.0, 1.0);
  int r = 0, g = 0, b = 0;
  if (h < 0.5) {
    const double t = h / 0.5;
    g = static_cast<int>(std::lround(200 * t));
    b = static_cast<int>(std::lround(220 * (1 - t)));
  } else {
    const double t = (h - 0.5) / 0.5;
    r = static_cast<int>(std::lround(230 * t));
    g = static_cast<int>(std::lround(200 * (1 - t)));
  }
  return QvRgb(r, g, b);
}

HistogramGraph::HistogramGraph(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void HistogramGraph::NewPlot(int columns, int rows) {
  columns_ = std::max(columns, 0);
  rows_ = std::max(rows, 0);
  cells_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), Cell{});
  columnLabels_.clear();
  rowLabels_.clear();
  xMin_ = xMax_ = yMin_ = yMax_ = 0.0f;
  update();
}

void HistogramGraph::SetCaption(const std::string& caption) {
  caption_ = caption;
  update();
}

void HistogramGraph::SetAxisLabels(std::vector<std::string> columnLabels,
                                   std::vector<std::string> rowLabels) {
  columnLabels_ = std::move(columnLabels);
  rowLabels_ = std::move(rowLabels);
  update();
}

void HistogramGraph::SetAxisRanges(float xMin, float xMax, float yMin, float yMax) {
  xMin_ = xMin;
  xMax_ = xMax;
  yMin_ = yMin;
  yMax_ = yMax;
  update();
}

void HistogramGraph::SetPoint(int column, int row, float x, float y, std::optional<float> z) {
  if (column < 0 || row < 0 || column >= columns_ || row >= rows_) return;
  Cell& c = cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + column];
  c.x = x;
  c.y = y;
  c.z = z && std::isfinite(*z) ? z : std::nullopt;
  update();
}

std::optional<float> HistogramGraph::PointZ(int column, int row) const {
  if (column < 0 || row < 0 || column >= columns_ || row >= rows_) return std::nullopt;
  return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + column].z;
}

QImage HistogramGraph::RenderFrame() {
  QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  Draw(painter);
  return image;
}

void HistogramGraph::paintEvent(QPaintEvent*) {
  // Drawn off-screen first and put on screen in one step.
  const QImage frame = RenderFrame();
  QPainter painter(this);
  painter.drawImage(0, 0, frame);
}

void HistogramGraph::Draw(QPainter& painter) {
  painter.fillRect(rect(), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing, true);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  painter.setFont(font);
  const QFontMetrics fm(font);
  painter.setPen(Qt::black);
  painter.drawText(QRect(0, 4, width(), fm.height()), Qt::AlignHCenter,
                   QString::fromLatin1(caption_.data(), static_cast<qsizetype>(caption_.size())));
  if (columns_ == 0 || rows_ == 0) return;

  const int margin = fm.height() * 2 + 8;
  const QRectF box(margin, fm.height() + 12, width() - 2 * margin, height() - fm.height() - 12 - margin);
  if (box.width() < 4 || box.height() < 4) return;

  float zMin = 0.0f;
  float zMax = 0.0f;
  bool any = false;
  for (const Cell& c : cells_) {
    if (!c.z) continue;
    zMin = any ? std::min(zMin, *c.z) : *c.z;
    zMax = any ? std::max(zMax, *c.z) : *c.z;
    any = true;
  }
  // Heights start at zero unless every statistic is negative.
  zMin = std::min(zMin, 0.0f);
  const double zSpan = zMax > zMin ? static_cast<double>(zMax) - zMin : 1.0;

  // The floor with its grid lines.
  const QPen gridPen(QColor(170, 170, 170), 1);
  painter.setPen(gridPen);
  for (int c = 0; c <= columns_; ++c) {
    const double u = static_cast<double>(c) / columns_;
    painter.drawLine(HistogramGraphPoint(box, u, 0, 0), HistogramGraphPoint(box, u, 1, 0));
  }
  for (int r = 0; r <= rows_; ++r) {
    const double v = static_cast<double>(r) / rows_;
    painter.drawLine(HistogramGraphPoint(box, 0, v, 0), HistogramGraphPoint(box, 1, v, 0));
  }

  // Blocks from the back row to the front, left to right, so nearer blocks cover farther ones.
  const double du = 1.0 / columns_;
  const double dv = 1.0 / rows_;
  for (int r = rows_ - 1; r >= 0; --r) {
    for (int c = 0; c < columns_; ++c) {
      const Cell& cell = cells_[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + c];
      if (!cell.z) continue;
      const double h = (static_cast<double>(*cell.z) - zMin) / zSpan;
      const double u0 = c * du + du * 0.1, u1 = (c + 1) * du - du * 0.1;
      const double v0 = r * dv + dv * 0.1, v1 = (r + 1) * dv - dv * 0.1;
      const QColor base = QvColorFromRef(HistogramGraphColor(h));
      auto face = [&](std::initializer_list<QPointF> pts, const QColor& color) {
        QPainterPath path;
        auto it = pts.begin();
        path.moveTo(*it);
        for (++it; it != pts.end(); ++it) path.lineTo(*it);
        path.closeSubpath();
        painter.fillPath(path, color);
        painter.setPen(QPen(color.darker(160), 1));
        painter.drawPath(path);
      };
      face({HistogramGraphPoint(box, u0, v0, 0), HistogramGraphPoint(box, u1, v0, 0),
            HistogramGraphPoint(box, u1, v0, h), HistogramGraphPoint(box, u0, v0, h)},
           base);
      face({HistogramGraphPoint(box, u1, v0, 0), HistogramGraphPoint(box, u1, v1, 0),
            HistogramGraphPoint(box, u1, v1, h), HistogramGraphPoint(box, u1, v0, h)},
           base.darker(130));
      face({HistogramGraphPoint(box, u0, v0, h), HistogramGraphPoint(box, u1, v0, h),
            HistogramGraphPoint(box, u1, v1, h), HistogramGraphPoint(box, u0, v1, h)},
           base.lighter(130));
    }
  }

  // Break values along the front (columns) and the right edge (rows), thinned
  // so neighbouring labels do not overlap.
  painter.setPen(Qt::black);
  const int labelHeight = fm.height();
  const double frontSpan = box.width() * kFloorWidth;
  int step = 1;
  int widest = 1;
  for (const std::string& s : columnLabels_)
    widest = std::max(widest, fm.horizontalAdvance(QString::fromLatin1(s.c_str())));
  while (step < columns_ && frontSpan / columns_ * step < widest + 6) ++step;
  for (int c = 0; c < static_cast<int>(columnLabels_.size()) && c < columns_; c += step) {
    const QPointF p = HistogramGraphPoint(box, (c + 0.5) * du, 0, 0);
    const QString text = QString::fromLatin1(columnLabels_[static_cast<std::size_t>(c)].c_str());
    const int w = fm.horizontalAdvance(text);
    painter.drawText(QPointF(p.x() - w / 2.0, p.y() + labelHeight + 2), text);
  }
  const double sideSpan = box.height() * kFloorDepth;
  step = 1;
  while (step < rows_ && sideSpan / rows_ * step < labelHeight + 2) ++step;
  for (int r = 0; r < static_cast<int>(rowLabels_.size()) && r < rows_; r += step) {
    const QPointF p = HistogramGraphPoint(box, 1, (r + 0.5) * dv, 0);
    painter.drawText(QPointF(p.x() + 6, p.y() + labelHeight / 3.0),
                     QString::fromLatin1(rowLabels_[static_cast<std::size_t>(r)].c_str()));
  }
}
