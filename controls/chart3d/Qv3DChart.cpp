#include "controls/chart3d/Qv3DChart.h"
#include "controls/common/CLocaleText.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "controls/common/QvColor.h"
#include "controls/gauges/QvControlText.h"
#include "controls/gauges/QvPaintSupport.h"

namespace {

constexpr int kMargin = 8;
constexpr int kCaptionHeight = 24;
constexpr int kSideRoom = 56;    // value labels left of the box
constexpr int kBottomRoom = 44;  // row and column labels under the box
constexpr double kLabelOut = 0.07;
constexpr double kKeyStepPixels = 10.0;
constexpr std::size_t kMaxTitle = 63;
constexpr std::size_t kMaxSmoothFaces = 6000;
constexpr double kMinOutlinedCell = 6.0;
constexpr double kMinVisibleGapCell = 5.0;  // the 20 % gap of smaller cells is under a pixel

QColor Colour(std::uint32_t ref) {
  return QvColorFromRef(ref);
}
QPointF At(const C3Screen& s) {
  return {s.x, s.y};
}

std::string Cut(const std::string& text, std::size_t max) {
  return text.substr(0, std::min(text.size(), max));
}

std::string TickText(double v) {
  char text[32];
  if (v == std::floor(v) && std::abs(v) < 1e9)
    CLocaleSnprintf(text, sizeof text, "%.0f", v);
  else
    CLocaleSnprintf(text, sizeof text, "%g", v);
  return text;
}

void DrawCentred(QPainter& p, QPointF at, const QString& text) {
  const QFontMetrics metrics(p.font());
  const int w = metrics.horizontalAdvance(text);
  p.drawText(QPointF(at.x() - w / 2.0, at.y() + (metrics.ascent() - metrics.descent()) / 2.0), text);
}

}  // namespace

Qv3DChart::Qv3DChart(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

Qv3DChart::~Qv3DChart() = default;

void Qv3DChart::changed() {
  frameDirty_ = true;
  if (!suspended_) update();
}

void Qv3DChart::newPlot() {
  caption_.clear();
  rows_ = columns_ = 0;
  cells_.clear();
  rowLabels_.clear();
  columnLabels_.clear();
  xMin_ = xMax_ = yMin_ = yMax_ = 0.0;
  xTitle_.clear();
  yTitle_.clear();
  zTitle_.clear();
  changed();
}

void Qv3DChart::setCaption(const std::string& caption) {
  caption_ = Cut(caption, kMaxCaption);
  changed();
}

void Qv3DChart::setSize(int rows, int columns) {
  rows_ = std::clamp(rows, 0, kMaxRows);
  columns_ = std::clamp(columns, 0, kMaxColumns);
  cells_.assign(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_), C3Cell{});
  rowLabels_.assign(static_cast<std::size_t>(rows_), std::string());
  columnLabels_.assign(static_cast<std::size_t>(columns_), std::string());
  changed();
}

bool Qv3DChart::setRowLabel(int row, const std::string& text) {
  if (row < 0 || row >= rows_) return false;
  rowLabels_[static_cast<std::size_t>(row)] = Cut(text, kMaxLabel);
  changed();
  return true;
}

bool Qv3DChart::setColumnLabel(int column, const std::string& text) {
  if (column < 0 || column >= columns_) return false;
  columnLabels_[static_cast<std::size_t>(column)] = Cut(text, kMaxLabel);
  changed();
  return true;
}

std::string Qv3DChart::rowLabel(int row) const {
  return row >= 0 && row < rows_ ? rowLabels_[static_cast<std::size_t>(row)] : std::string();
}

std::string Qv3DChart::columnLabel(int column) const {
  return column >= 0 && column < columns_ ? columnLabels_[static_cast<std::size_t>(column)] : std::string();
}

void Qv3DChart::setXRange(double min, double max) {
  xMin_ = min;
  xMax_ = max;
  changed();
}

void Qv3DChart::setYRange(double min, double max) {
  yMin_ = min;
  yMax_ = max;
  changed();
}

void Qv3DChart::setAxisTitles(const std::string& x, const std::string& y, const std::string& z) {
  xTitle_ = Cut(x, kMaxTitle);
  yTitle_ = Cut(y, kMaxTitle);
  zTitle_ = Cut(z, kMaxTitle);
  changed();
}

bool Qv3DChart::setPoint(int row, int column, double x, double y, std::optional<float> z) {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return false;
  C3Cell& cell = cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                        static_cast<std::size_t>(column)];
  cell.x = x;
  cell.y = y;
  cell.z = z && std::isfinite(*z) ? z : std::nullopt;
  changed();
  return true;
}

std::optional<float> Qv3DChart::pointValue(int row, int column) const {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return std::nullopt;
  return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                static_cast<std::size_t>(column)]
      .z;
}

C3Range Qv3DChart::valueRange() const {
  std::vector<std::optional<float>> values;
  values.reserve(cells_.size());
  for (const C3Cell& cell : cells_) values.push_back(cell.z);
  return Chart3DValueRange(values);
}

void Qv3DChart::setPlotStyle(PlotStyle style) {
  style_ = style;
  changed();
}

void Qv3DChart::setView(C3View view) {
  view_ = Chart3DRotate(view, 0.0, 0.0);
  changed();
}

void Qv3DChart::setRedraw(bool enabled) {
  suspended_ = !enabled;
  if (enabled) changed();
}

C3Rect Qv3DChart::plotArea() const {
  const double top = kMargin + (caption_.empty() ? 0 : kCaptionHeight);
  return {static_cast<double>(kMargin + kSideRoom), top,
          static_cast<double>(width() - kMargin - kSideRoom / 2),
          static_cast<double>(height() - kMargin - kBottomRoom)};
}

C3Projection Qv3DChart::projection() const {
  return Chart3DFit(view_, plotArea());
}

C3Grid Qv3DChart::gridView() const {
  C3Grid grid;
  grid.columns = columns_;
  grid.rows = rows_;
  grid.cells = &cells_;
  grid.xMin = xMin_;
  grid.xMax = xMax_;
  grid.yMin = yMin_;
  grid.yMax = yMax_;
  grid.zRange = valueRange();
  return grid;
}

// ---- user interaction ----

void Qv3DChart::turn(double dx, double dy) {
  const C3View turned = Chart3DRotate(view_, dx, dy);
  if (turned == view_) return;
  view_ = turned;
  changed();
  Q_EMIT viewChanged(this, view_);
}

void Qv3DChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  lastMouse_ = event->position();
}

void Qv3DChart::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPointF now = event->position();
  turn(now.x() - lastMouse_.x(), now.y() - lastMouse_.y());
  lastMouse_ = now;
}

void Qv3DChart::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
}

void Qv3DChart::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const C3View first;
  if (view_ == first) return;
  view_ = first;
  changed();
  Q_EMIT viewChanged(this, view_);
}

void Qv3DChart::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      turn(-kKeyStepPixels, 0);
      return;
    case Qt::Key_Right:
      turn(kKeyStepPixels, 0);
      return;
    case Qt::Key_Up:
      turn(0, -kKeyStepPixels);
      return;
    case Qt::Key_Down:
      turn(0, kKeyStepPixels);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void Qv3DChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  changed();
}

// ---- drawing ----

std::optional<std::pair<int, int>> Qv3DChart::cellAt(QPoint point) const {
  const auto index = Chart3DPick(drawnFaces_, point.x() + 0.5, point.y() + 0.5);
  if (!index) return std::nullopt;
  const C3Face& face = drawnFaces_[*index];
  if (face.row >= rows_ || face.column >= columns_) return std::nullopt;
  return std::pair{face.row, face.column};
}

std::string Qv3DChart::pointText(int row, int column) const {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return {};
  auto named = [](const std::string& title, const std::string& label) {
    if (title.empty() || label.empty()) return title + label;
    return title + " " + label;
  };
  std::string text = named(yTitle_, rowLabel(row)) + ", " + named(xTitle_, columnLabel(column)) + ": ";
  const std::optional<float> value = pointValue(row, column);
  if (!value) return text + "-";
  char number[48];
  if (*value != std::trunc(*value))
    CLocaleSnprintf(number, sizeof number, "%.3f", static_cast<double>(*value));
  else
    CLocaleSnprintf(number, sizeof number, "%.0f", static_cast<double>(*value));
  return text + number;
}

bool Qv3DChart::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const auto cell = cellAt(help->pos());
    if (cell)
      QToolTip::showText(help->globalPos(), QvText(pointText(cell->first, cell->second)), this);
    else
      QToolTip::hideText();
    return true;
  }
  // A new palette (theme) redraws the cached picture.
  if (event->type() == QEvent::PaletteChange) frameDirty_ = true;
  return QWidget::event(event);
}

void Qv3DChart::paintEvent(QPaintEvent*) {
  if ((frameDirty_ && !suspended_) || frame_.isNull() || frame_.size() != size() * devicePixelRatioF()) {
    frame_ = renderFrame();
    frameDirty_ = false;
  }
  QPainter target(this);
  target.drawImage(0, 0, frame_);
}

QImage Qv3DChart::renderFrame() {
  const qreal ratio = devicePixelRatioF();
  QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  image.setDevicePixelRatio(ratio);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  draw(painter);
  return image;
}

void Qv3DChart::draw(QPainter& p) {
  drawnFaces_.clear();
  // A dark palette turns the white page, grey walls and black texts dark.
  const QPalette& pal = palette();
  const bool dark = QvIsDarkPalette(pal);
  const auto shade = [dark](int light, int darkLevel) {
    const int level = dark ? darkLevel : light;
    return QColor(level, level, level);
  };
  const QColor textColour = dark ? pal.color(QPalette::Text) : QColor(Qt::black);
  p.fillRect(rect(), dark ? pal.color(QPalette::Base) : QColor(Qt::white));
  if (!caption_.empty()) {
    p.setFont(QvControlFont(14, 600));
    p.setPen(textColour);
    const QRect captionBox(kMargin, kMargin, width() - 2 * kMargin, kCaptionHeight);
    p.drawText(captionBox, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
               QFontMetrics(p.font()).elidedText(QvText(caption_), Qt::ElideRight, captionBox.width()));
  }
  const C3Rect area = plotArea();
  if (area.width() < 20 || area.height() < 20) return;
  const C3Projection proj = projection();
  const C3Grid grid = gridView();
  const double colEdge = Chart3DColumnLabelEdge(proj);  // y of the labelled (near) floor edge
  const double rowEdge = Chart3DRowLabelEdge(proj);     // x of the labelled (near) floor edge
  const double H = kChart3DHeight;
  auto poly = [&](std::initializer_list<C3Vec> points) {
    QPolygonF out;
    for (const C3Vec& v : points) out << At(proj.project(v));
    return out;
  };

  // The two far walls and the floor, with lines at the value ticks and cell edges.
  const std::vector<double> ticks = Chart3DTicks(grid.zRange, 6);
  p.setPen(QPen(shade(170, 90), 1));
  p.setBrush(shade(248, 44));
  p.drawPolygon(poly({{-0.5, -colEdge, 0}, {0.5, -colEdge, 0}, {0.5, -colEdge, H}, {-0.5, -colEdge, H}}));
  p.drawPolygon(poly({{-rowEdge, -0.5, 0}, {-rowEdge, 0.5, 0}, {-rowEdge, 0.5, H}, {-rowEdge, -0.5, H}}));
  p.setBrush(shade(238, 52));
  p.drawPolygon(poly({{-0.5, -0.5, 0}, {0.5, -0.5, 0}, {0.5, 0.5, 0}, {-0.5, 0.5, 0}}));
  p.setPen(QPen(shade(215, 70), 1));
  for (double v : ticks) {
    const double z = Chart3DHeightOf(grid.zRange, v);
    p.drawLine(At(proj.project({-0.5, -colEdge, z})), At(proj.project({0.5, -colEdge, z})));
    p.drawLine(At(proj.project({-rowEdge, -0.5, z})), At(proj.project({-rowEdge, 0.5, z})));
  }
  if (columns_ > 0 && columns_ <= 64)
    for (int c = 1; c < columns_; ++c) {
      const double x = -0.5 + static_cast<double>(c) / columns_;
      p.drawLine(At(proj.project({x, -0.5, 0})), At(proj.project({x, 0.5, 0})));
    }
  if (rows_ > 0 && rows_ <= 64)
    for (int r = 1; r < rows_; ++r) {
      const double y = -0.5 + static_cast<double>(r) / rows_;
      p.drawLine(At(proj.project({-0.5, y, 0})), At(proj.project({0.5, y, 0})));
    }

  // Bars or surface patches, far ones first.
  const double cellPixels = proj.scale / std::max(1, std::max(rows_, columns_));
  drawnFaces_ = style_ == PlotStyle::Bars ? Chart3DBarFaces(proj, grid, cellPixels < kMinVisibleGapCell)
                                          : Chart3DSurfaceFaces(proj, grid);
  const std::vector<C3Face>& faces = drawnFaces_;
  // Large tables draw their many small faces plainly: no smoothing, and no
  // outlines once a cell is too small on screen for them to help.
  const bool outlines = cellPixels >= kMinOutlinedCell;
  p.setRenderHint(QPainter::Antialiasing, faces.size() <= kMaxSmoothFaces);
  if (!outlines) p.setPen(Qt::NoPen);
  QPointF corners[4];
  for (const C3Face& face : faces) {
    const std::uint32_t base = Chart3DHeatColor(face.t);
    for (std::size_t k = 0; k < 4; ++k) corners[k] = At(face.corners[k]);
    p.setBrush(Colour(Chart3DShade(base, face.light)));
    if (outlines) p.setPen(QPen(Colour(Chart3DShade(base, face.light * 0.6)), 1));
    p.drawConvexPolygon(corners, 4);
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setBrush(Qt::NoBrush);

  // Value axis on the vertical box edge furthest left on screen.
  C3Vec axisFoot{-0.5, -0.5, 0};
  for (double x : {-0.5, 0.5})
    for (double y : {-0.5, 0.5})
      if (proj.project({x, y, 0}).x < proj.project(axisFoot).x) axisFoot = {x, y, 0};
  const QFont labelFont = QvControlFont(11, 400);
  p.setFont(labelFont);
  const QFontMetrics metrics(labelFont);
  p.setPen(QPen(shade(90, 150), 1));
  p.drawLine(At(proj.project(axisFoot)), At(proj.project({axisFoot.x, axisFoot.y, H})));
  for (double v : ticks) {
    const QPointF at = At(proj.project({axisFoot.x, axisFoot.y, Chart3DHeightOf(grid.zRange, v)}));
    p.drawLine(at, at - QPointF(4, 0));
    const QString text = QString::fromStdString(TickText(v));
    p.drawText(QPointF(at.x() - 7 - metrics.horizontalAdvance(text), at.y() + metrics.ascent() / 2.0 - 1),
               text);
  }

  // Column labels beside the near edge running along x, row labels beside the
  // near edge running along y; thinned out where they would collide.
  auto drawLabels = [&](int count, const std::vector<std::string>& labels, auto position) {
    int widest = 0;
    if (count <= 0) return widest;
    for (const auto& text : labels) widest = std::max(widest, metrics.horizontalAdvance(QvText(text)));
    // Two labels collide only when they are closer than a label's width across
    // and than its height up or down.
    int stride = 1;
    if (count > 1) {
      const QPointF a = At(proj.project(position(0))), b = At(proj.project(position(1)));
      stride = std::min(Chart3DLabelStride(std::abs(b.x() - a.x()), widest),
                        Chart3DLabelStride(std::abs(b.y() - a.y()), metrics.height() - 2));
    }
    for (int i = 0; i < count; i += stride)
      DrawCentred(p, At(proj.project(position(i))), QvText(labels[static_cast<std::size_t>(i)]));
    return widest;
  };
  p.setPen(textColour);
  const int columnLabelWidth = drawLabels(columns_, columnLabels_, [&](int c) {
    const C3Vec floor =
        C3Vec{Chart3DAxisPosition(cells_.empty() ? 0.0 : cells_[static_cast<std::size_t>(c)].x, c, columns_,
                                  xMin_, xMax_),
              colEdge + (colEdge < 0 ? -kLabelOut : kLabelOut), 0};
    return floor;
  });
  const int rowLabelWidth = drawLabels(rows_, rowLabels_, [&](int r) {
    const double y = Chart3DAxisPosition(
        cells_.empty() ? 0.0 : cells_[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_)].y, r,
        rows_, yMin_, yMax_);
    return C3Vec{rowEdge + (rowEdge < 0 ? -kLabelOut : kLabelOut), y, 0};
  });

  // Axis titles past the labels.
  p.setFont(QvControlFont(12, 600));
  p.setPen(dark ? pal.color(QPalette::Text) : QColor(40, 40, 40));
  const C3Screen centre = proj.project({0, 0, 0});
  const QFontMetrics titleMetrics(p.font());
  const double height = metrics.height() + titleMetrics.height();
  auto titleWidth = [&](const std::string& text) { return titleMetrics.horizontalAdvance(QvText(text)); };
  if (!xTitle_.empty()) {
    const double y = colEdge + (colEdge < 0 ? -kLabelOut : kLabelOut);
    const C3Screen at = Chart3DTitleAnchor(centre, proj.project({-0.5, y, 0}), proj.project({0.5, y, 0}),
                                           columnLabelWidth + titleWidth(xTitle_), height, 6);
    DrawCentred(p, At(at), QvText(xTitle_));
  }
  if (!yTitle_.empty()) {
    const double x = rowEdge + (rowEdge < 0 ? -kLabelOut : kLabelOut);
    const C3Screen at = Chart3DTitleAnchor(centre, proj.project({x, -0.5, 0}), proj.project({x, 0.5, 0}),
                                           rowLabelWidth + titleWidth(yTitle_), height, 6);
    DrawCentred(p, At(at), QvText(yTitle_));
  }
  if (!zTitle_.empty()) {
    const QPointF top = At(proj.project({axisFoot.x, axisFoot.y, H}));
    DrawCentred(p, top - QPointF(0, 12), QvText(zTitle_));
  }
}
