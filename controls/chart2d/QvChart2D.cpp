#include "controls/chart2d/QvChart2D.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "controls/common/QvColor.h"
#include "controls/common/TextBytes.h"

namespace {

// Slot of each colour index; indexes 4 and 5, and 8 and 9, share a slot.
constexpr int kSlotOfIndex[16] = {0, 1, 2, 3, 4, 4, -1, 5, 6, 6, -1, 7, -1, -1, 8, -1};
constexpr std::uint32_t kDefaultColors[9] = {
    0xFFFFFF,  // 0 window
    0xDCDCDC,  // 1 plot fill (220, 220, 220)
    0x000000,  // 2 plot frame
    0x000000,  // 3 axis titles
    0x000000,  // 4, 5 title
    0xFF0000,  // 7 rubber band (0, 0, 255)
    0x000000,  // 8, 9 axis labels
    0xC8C8C8,  // 11 grid (200, 200, 200)
    0xC8C8C8,  // 14 subtitle (200, 200, 200)
};

QFont MakeFont(int pixelSize, QFont::Weight weight) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

const QFont& TitleFont() {
  static const QFont font = MakeFont(14, QFont::DemiBold);
  return font;
}
const QFont& SubtitleFont() {
  static const QFont font = MakeFont(11, QFont::Normal);
  return font;
}
const QFont& AxisTitleFont() {
  static const QFont font = MakeFont(12, QFont::Normal);
  return font;
}
const QFont& LabelFont() {
  static const QFont font = MakeFont(11, QFont::Normal);
  return font;
}

QString Latin1(const std::string& text) {
  return TextFromBytes(text);
}

void SetEnds(float& min, float& max, std::optional<float> newMin, std::optional<float> newMax) {
  if (newMin) min = *newMin;
  if (newMax) max = *newMax;
}

void GetEnds(float min, float max, float* outMin, float* outMax) {
  if (outMin) *outMin = min;
  if (outMax) *outMax = max;
}

}  // namespace

QvChart2D::QvChart2D(QWidget* parent) : QWidget(parent) {
  std::copy(std::begin(kDefaultColors), std::end(kDefaultColors), colors_);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Clicking gives the chart the keyboard, so arrow keys can nudge what was picked.
  setFocusPolicy(Qt::StrongFocus);
}

QvChart2D::~QvChart2D() = default;

int QvChart2D::slotOf(int colorIndex) const {
  return colorIndex >= 0 && colorIndex < 16 ? kSlotOfIndex[colorIndex] : -1;
}

void QvChart2D::setTitle(const std::string& title) {
  title_ = title.substr(0, kMaxTitle);
  requestLayout();
}

void QvChart2D::setRedraw(bool enabled) {
  if (enabled) {
    state_ &= ~kStateRedrawOff;
    scheduleRedraw(true);
  } else {
    state_ |= kStateRedrawOff;
  }
}

void QvChart2D::setStyle(std::uint32_t bits, bool redraw) {
  style_ = bits == 0 ? 0 : (style_ | bits);
  performLayout();  // rebuilds the automatic labels the new bits ask for
  scheduleRedraw(redraw);
}

void QvChart2D::clearStyle(std::uint32_t bits, bool redraw) {
  style_ &= ~bits;
  if (bits & kAutoXLabels) xLabels_.clear();
  if (bits & kAutoYLabels) yLabels_.clear();
  performLayout();
  scheduleRedraw(redraw);
}

void QvChart2D::redraw() {
  scheduleRedraw(true);
}

void QvChart2D::setLabelCallback(QvChart2DLabelCallback callback) {
  labelCallback_ = std::move(callback);
  requestLayout();
}

QvChart2DSeries* QvChart2D::insertSeries(int index, bool redraw) {
  auto series = std::make_unique<QvChart2DSeries>(this);
  QvChart2DSeries* result = series.get();
  if (index >= 0 && index < getSeriesCount()) {
    series_.insert(series_.begin() + index, std::move(series));
  } else {
    series_.push_back(std::move(series));
  }
  scheduleRedraw(redraw);
  return result;
}

int QvChart2D::removeSeries(QvChart2DSeries* series, bool redraw) {
  const auto it =
      std::find_if(series_.begin(), series_.end(), [series](const auto& s) { return s.get() == series; });
  if (it == series_.end()) return 0;
  series_.erase(it);
  scheduleRedraw(redraw);
  return 1;
}

QvChart2DSeries* QvChart2D::getSeries(int index) const {
  return index >= 0 && index < getSeriesCount() ? series_[static_cast<std::size_t>(index)].get() : nullptr;
}

void QvChart2D::clearSelection(bool redraw) {
  for (auto& series : series_) series->ClearSelection(false);
  scheduleRedraw(redraw);
}

int QvChart2D::setColor(int index, std::uint32_t color) {
  const int slot = slotOf(index);
  if (slot < 0) return 0;
  colors_[slot] = color & 0x00FFFFFFu;
  colorsSet_ |= 1u << slot;
  scheduleRedraw(true);
  return 1;
}

std::uint32_t QvChart2D::color(int index) const {
  const int slot = slotOf(index);
  return slot < 0 ? 0xFFFFFFFFu : colors_[slot];
}

void QvChart2D::setXRange(std::optional<float> min, std::optional<float> max) {
  if (style_ & kXFollowsData) return;
  SetEnds(xMin_, xMax_, min, max);
  requestLayout();
}

void QvChart2D::getXRange(float* min, float* max) const {
  GetEnds(xMin_, xMax_, min, max);
}

void QvChart2D::setYRange(std::optional<float> min, std::optional<float> max) {
  if (style_ & kYFollowsData) return;
  SetEnds(yMin_, yMax_, min, max);
  requestLayout();
}

void QvChart2D::getYRange(float* min, float* max) const {
  GetEnds(yMin_, yMax_, min, max);
}

void QvChart2D::setAuxRange1(std::optional<float> min, std::optional<float> max) {
  SetEnds(aux1Min_, aux1Max_, min, max);
}
void QvChart2D::getAuxRange1(float* min, float* max) const {
  GetEnds(aux1Min_, aux1Max_, min, max);
}
void QvChart2D::setAuxRange2(std::optional<float> min, std::optional<float> max) {
  SetEnds(aux2Min_, aux2Max_, min, max);
}
void QvChart2D::getAuxRange2(float* min, float* max) const {
  GetEnds(aux2Min_, aux2Max_, min, max);
}

void QvChart2D::setXAxisTitle(const std::string& text) {
  xAxisTitle_ = text.substr(0, kMaxAxisTitle);
  requestLayout();
}

void QvChart2D::setYAxisTitle(const std::string& text) {
  yAxisTitle_ = text.substr(0, kMaxAxisTitle);
  requestLayout();
}

void QvChart2D::setSubtitle(const std::string& text) {
  subtitle_ = text.substr(0, kMaxSubtitle);
  requestLayout();
}

void QvChart2D::resizeXLabels(int count) {
  xLabels_.resize(static_cast<std::size_t>(std::max(count, 0)));
  requestLayout();
}

void QvChart2D::resizeYLabels(int count) {
  yLabels_.resize(static_cast<std::size_t>(std::max(count, 0)));
  requestLayout();
}

void QvChart2D::setXLabel(int index, float value, const std::string& text) {
  if (index < 0 || index >= static_cast<int>(xLabels_.size())) return;
  xLabels_[static_cast<std::size_t>(index)] = {value, text};
  requestLayout();
}

void QvChart2D::setYLabel(int index, float value, const std::string& text) {
  if (index < 0 || index >= static_cast<int>(yLabels_.size())) return;
  yLabels_[static_cast<std::size_t>(index)] = {value, text};
  requestLayout();
}

const std::vector<QvChart2DLabel>& QvChart2D::xLabels() {
  ensureLayout();
  return xLabels_;
}

const std::vector<QvChart2DLabel>& QvChart2D::yLabels() {
  ensureLayout();
  return yLabels_;
}

void QvChart2D::setLabelSpacing(std::uint16_t x, std::uint16_t y) {
  xLabelSpacing_ = x;
  yLabelSpacing_ = y;
  requestLayout();
}

C2Rect QvChart2D::plotRect() {
  ensureLayout();
  return plot_;
}

C2Rect QvChart2D::dataRect() {
  ensureLayout();
  return data_;
}

C2Pixel QvChart2D::valueToPixel(float x, float y) {
  ensureLayout();
  return C2ValueToPixel(data_, xMin_, xMax_, yMin_, yMax_, x, y);
}

QColor QvChart2D::themed(int slot) const {
  // The palette role standing for each slot's default in a dark theme.
  static constexpr QPalette::ColorRole kRoles[9] = {
      QPalette::Base, QPalette::AlternateBase, QPalette::Mid, QPalette::Text,           QPalette::Text,
      QPalette::Link, QPalette::Text,          QPalette::Mid, QPalette::PlaceholderText};
  return QvThemedColor(colors_[slot], (colorsSet_ & (1u << slot)) != 0, palette(), kRoles[slot]);
}

QImage QvChart2D::renderFrame() {
  ensureLayout();
  if (frameDirty_) buildFrame();
  return frame_;
}

void QvChart2D::seriesChanged(bool redraw) {
  scheduleRedraw(redraw);
}

void QvChart2D::seriesPointsChanged(bool redraw) {
  updateDataBounds();
  scheduleRedraw(redraw);
}

void QvChart2D::updateDataBounds() {
  if (!(style_ & (kXFollowsData | kYFollowsData))) return;
  std::vector<const std::vector<QvChart2DPoint>*> lists;
  lists.reserve(series_.size());
  for (const auto& series : series_) lists.push_back(&series->Points());
  bounds_ = C2DataBounds(lists);
  if (!bounds_.any) return;
  const bool followX = bounds_.xVaries && (style_ & kXFollowsData);
  const bool followY = bounds_.yVaries && (style_ & kYFollowsData);
  if (followX) {
    xMin_ = bounds_.minX;
    xMax_ = bounds_.maxX;
  }
  if (followY) {
    yMin_ = bounds_.minY;
    yMax_ = bounds_.maxY;
  }
  if (followX || followY) performLayout();
  if (followX) Q_EMIT notify(this, controlId_, kNotifyXRangeFollowed, nullptr, 0);
  if (followY) Q_EMIT notify(this, controlId_, kNotifyYRangeFollowed, nullptr, 0);
}

void QvChart2D::scheduleRedraw(bool redraw) {
  frameDirty_ = true;
  if (redraw && !(state_ & kStateRedrawOff)) update();
}

void QvChart2D::requestLayout() {
  performLayout();
  scheduleRedraw(true);
}

void QvChart2D::ensureLayout() {
  // A hidden widget gets its resize event only when shown; notice the new size anyway.
  if (layoutPending_ || client_.right != width() || client_.bottom != height()) performLayout();
}

std::string QvChart2D::labelText(float value, int axis) {
  if (labelCallback_) {
    char buffer[kLabelTextSize] = {};
    const bool wrote = labelCallback_(this, axis == 1 ? value : 0.0f, axis == 2 ? value : 0.0f, axis, buffer,
                                      kLabelTextSize);
    buffer[kLabelTextSize - 1] = '\0';
    if (wrote) return buffer;
  }
  return C2FormatLabel(value);
}

void QvChart2D::rebuildAutoLabels(int plotWidth, int plotHeight) {
  if (plotHeight >= 0 && (style_ & kAutoYLabels)) {
    yLabels_.clear();
    for (float v : C2AutoYLabelValues(plotHeight, yLabelSpacing_, yMin_, yMax_))
      yLabels_.push_back({v, labelText(v, 2)});
  }
  if (plotWidth >= 0 && (style_ & kAutoXLabels)) {
    xLabels_.clear();
    for (float v : C2AutoXLabelValues(plotWidth, xLabelSpacing_, xMin_, xMax_))
      xLabels_.push_back({v, labelText(v, 1)});
  }
}

void QvChart2D::performLayout() {
  layoutPending_ = false;
  frameDirty_ = true;
  client_ = {0, 0, width(), height()};
  const QFontMetrics labels(LabelFont());
  C2Metrics m;
  m.titleHeight = title_.empty() ? 0 : QFontMetrics(TitleFont()).height();
  m.subtitleHeight = subtitle_.empty() ? 0 : QFontMetrics(SubtitleFont()).height();
  m.xLabelHeight = labels.height();
  m.xTitleHeight = xAxisTitle_.empty() ? 0 : QFontMetrics(AxisTitleFont()).height();
  m.yTitleHeight = yAxisTitle_.empty() ? 0 : QFontMetrics(AxisTitleFont()).height();

  // The plot's height does not depend on the y labels' widths, so the y labels
  // come first, then the width they leave, then the x labels.
  const int dataHeight = C2DataRect({0, C2PlotTop(client_, m), 1000, C2PlotBottom(client_, m)}).Height();
  rebuildAutoLabels(-1, dataHeight);
  for (const QvChart2DLabel& label : yLabels_)
    m.yLabelWidth = std::max(m.yLabelWidth, labels.horizontalAdvance(Latin1(label.text)));
  for (float end : {xMin_, xMax_})
    m.xLabelHalfWidth = std::max(m.xLabelHalfWidth, labels.horizontalAdvance(Latin1(labelText(end, 1))) / 2);
  plot_ = C2LayoutPlot(client_, m);
  data_ = C2DataRect(plot_);
  rebuildAutoLabels(data_.Width(), -1);
}

void QvChart2D::drawSeries(QPainter& painter, const QvChart2DSeries& series) {
  const auto& points = series.Points();
  if (points.empty()) return;
  QPolygon line;
  line.reserve(static_cast<qsizetype>(points.size()));
  for (const QvChart2DPoint& p : points) {
    const C2Pixel at = C2ValueToPixel(data_, xMin_, xMax_, yMin_, yMax_, p.x, p.y);
    line.append(QPoint(at.x, at.y));
  }
  if (line.size() > 1) {
    painter.setPen(QPen(QvColorFromRef(series.GetColor(QvChart2DSeries::kColorLine)), 1));
    painter.drawPolyline(line);
  }
  // Markers: hollow for plain points, filled for selected ones.
  const int half = std::clamp(series.GetPointSize() - 2, 2, 6);
  // Black marker outlines (the series' default) follow a dark palette.
  const std::uint32_t outline = series.GetColor(QvChart2DSeries::kColorPoint);
  painter.setPen(QPen(QvThemedColor(outline, outline != 0, palette(), QPalette::Text), 1));
  const QColor plain = themed(0);
  const QColor selected = QvColorFromRef(series.GetColor(QvChart2DSeries::kColorSelected));
  for (std::size_t i = 0; i < points.size(); ++i) {
    painter.setBrush((points[i].flags & QvChart2DPoint::kSelected) ? selected : plain);
    painter.drawRect(line[static_cast<qsizetype>(i)].x() - half, line[static_cast<qsizetype>(i)].y() - half,
                     2 * half, 2 * half);
  }
}

void QvChart2D::buildFrame() {
  frameDirty_ = false;
  if (client_.right <= 0 || client_.bottom <= 0) {
    frame_ = QImage();
    return;
  }
  // Drawn at the screen's device pixel ratio, in logical coordinates.
  const qreal ratio = devicePixelRatioF();
  frame_ = QImage(QSize(client_.right, client_.bottom) * ratio, QImage::Format_RGB32);
  frame_.setDevicePixelRatio(ratio);
  frame_.fill(themed(0));
  QPainter painter(&frame_);

  int y = 8;
  if (!title_.empty()) {
    painter.setFont(TitleFont());
    painter.setPen(themed(4));
    const int h = QFontMetrics(TitleFont()).height();
    painter.drawText(QRect(0, y, client_.right, h), Qt::AlignHCenter | Qt::AlignTop, Latin1(title_));
    y += h;
  }
  if (!subtitle_.empty()) {
    painter.setFont(SubtitleFont());
    painter.setPen(themed(8));
    painter.drawText(QRect(0, y, client_.right, QFontMetrics(SubtitleFont()).height()),
                     Qt::AlignHCenter | Qt::AlignTop, Latin1(subtitle_));
  }
  if (plot_.Width() <= 2 || plot_.Height() <= 2) return;

  painter.setPen(Qt::NoPen);
  painter.setBrush(themed(1));
  painter.drawRect(plot_.left, plot_.top, plot_.Width(), plot_.Height());

  // Grid and labels at every label inside its range.
  const QFontMetrics labelMetrics(LabelFont());
  const int labelHeight = labelMetrics.height();
  const auto inside = [](float v, float a, float b) { return v >= std::min(a, b) && v <= std::max(a, b); };
  painter.setFont(LabelFont());
  for (const QvChart2DLabel& label : xLabels_) {
    if (!inside(label.value, xMin_, xMax_)) continue;
    const int x = C2ValueToPixel(data_, xMin_, xMax_, yMin_, yMax_, label.value, yMin_).x;
    painter.setPen(themed(7));
    painter.drawLine(x, plot_.top + 1, x, plot_.bottom - 2);
    const QString text = Latin1(label.text);
    const C2Rect box = C2XLabelBox(plot_, x, labelMetrics.horizontalAdvance(text), labelHeight);
    painter.setPen(themed(6));
    painter.drawText(QRect(box.left, box.top, box.Width(), box.Height()), Qt::AlignCenter, text);
  }
  for (const QvChart2DLabel& label : yLabels_) {
    if (!inside(label.value, yMin_, yMax_)) continue;
    const int y0 = C2ValueToPixel(data_, xMin_, xMax_, yMin_, yMax_, xMin_, label.value).y;
    painter.setPen(themed(7));
    painter.drawLine(plot_.left + 1, y0, plot_.right - 2, y0);
    const QString text = Latin1(label.text);
    const C2Rect box = C2YLabelBox(plot_, y0, labelMetrics.horizontalAdvance(text), labelHeight);
    painter.setPen(themed(6));
    painter.drawText(QRect(box.left, box.top, box.Width(), box.Height()), Qt::AlignRight | Qt::AlignVCenter,
                     text);
  }

  painter.setPen(themed(2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot_.left, plot_.top, plot_.Width() - 1, plot_.Height() - 1);

  // Axis titles: x centred under its labels, y rotated at the left edge.
  painter.setFont(AxisTitleFont());
  painter.setPen(themed(3));
  const int axisTitleHeight = QFontMetrics(AxisTitleFont()).height();
  if (!xAxisTitle_.empty()) {
    painter.drawText(QRect(plot_.left, plot_.bottom + 4 + labelHeight + 4, plot_.Width(), axisTitleHeight),
                     Qt::AlignCenter, Latin1(xAxisTitle_));
  }
  if (!yAxisTitle_.empty()) {
    painter.save();
    painter.translate(6, plot_.bottom);
    painter.rotate(-90.0);
    painter.drawText(QRect(0, 0, plot_.Height(), axisTitleHeight), Qt::AlignCenter, Latin1(yAxisTitle_));
    painter.restore();
  }

  painter.setClipRect(QRect(plot_.left + 1, plot_.top + 1, plot_.Width() - 2, plot_.Height() - 2));
  for (const auto& series : series_)
    if (series->GetVisible()) drawSeries(painter, *series);

  if (state_ & kStateRubberBand) {
    const C2Rect band = C2BandRect(bandFrom_, bandTo_);
    painter.setPen(QPen(themed(5), 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(band.left, band.top, band.Width() - 1, band.Height() - 1);
  }
}

void QvChart2D::paintEvent(QPaintEvent*) {
  // While drawing is suspended the last frame stays on screen.
  if (!(state_ & kStateRedrawOff)) {
    ensureLayout();
    if (!frame_.isNull() && frame_.devicePixelRatio() != devicePixelRatioF()) frameDirty_ = true;
    if (frameDirty_) buildFrame();
  }
  QPainter painter(this);
  if (frame_.isNull()) {
    painter.fillRect(rect(), themed(0));
    return;
  }
  painter.drawImage(0, 0, frame_);
}

void QvChart2D::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) scheduleRedraw(true);
}

void QvChart2D::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  performLayout();
  scheduleRedraw(true);
}

void QvChart2D::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint p = event->position().toPoint();
  pressAt({p.x(), p.y()}, event->modifiers() & Qt::ControlModifier, event->modifiers() & Qt::ShiftModifier);
  event->accept();
}

void QvChart2D::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  moveTo({p.x(), p.y()});
  event->accept();
}

void QvChart2D::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  const QPoint p = event->position().toPoint();
  releaseAt({p.x(), p.y()});
  event->accept();
}

void QvChart2D::keyPressEvent(QKeyEvent* event) {
  if (state_ & kStateButtonDown) return event->accept();  // the mouse is in charge
  int dx = 0;
  int dy = 0;
  switch (event->key()) {
    case Qt::Key_Left:
      dx = -1;
      break;
    case Qt::Key_Right:
      dx = 1;
      break;
    case Qt::Key_Up:
      dy = -1;
      break;  // screen rows: up is negative
    case Qt::Key_Down:
      dy = 1;
      break;
    case Qt::Key_Escape:
      clearSelection(true);
      return event->accept();
    default:
      return QWidget::keyPressEvent(event);
  }
  event->accept();
  if (nudgeSelected(dx, dy, (event->modifiers() & Qt::ShiftModifier) ? 10 : 1))
    Q_EMIT notify(this, controlId_, kNotifyDragEnded, getSeries(anchorSeries_), anchorPoint_);
}

bool QvChart2D::nudgeSelected(int dx, int dy, int step) {
  ensureLayout();
  const double valueX = C2PixelsToValueX(data_, xMin_, xMax_, dx * step);
  const double valueY = C2PixelsToValueY(data_, yMin_, yMax_, dy * step);
  bool moved = false;
  for (int si = 0; si < getSeriesCount(); ++si)
    if (series_[static_cast<std::size_t>(si)]->MoveSelected(valueX, valueY)) moved = true;
  return moved;
}

void QvChart2D::pressAt(C2Pixel pos, bool control, bool shift) {
  ensureLayout();
  state_ |= kStateButtonDown;
  if (control) state_ |= kStateControl;
  if (shift) state_ |= kStateShift;
  lastMouse_ = pos;
  dragMoved_ = false;

  for (int si = 0; si < getSeriesCount(); ++si) {
    QvChart2DSeries& series = *series_[static_cast<std::size_t>(si)];
    const std::uint32_t style = series.GetStyle();
    // Hidden series cannot be picked: the user cannot see what would move.
    if (!(style & (QvChart2DSeries::kPickSingle | QvChart2DSeries::kPickMultiple)) || !series.GetVisible())
      continue;
    const auto& points = series.Points();
    for (int pi = 0; pi < series.PointCount(); ++pi) {
      const QvChart2DPoint& point = points[static_cast<std::size_t>(pi)];
      if (!C2Hit(pos, C2ValueToPixel(data_, xMin_, xMax_, yMin_, yMax_, point.x, point.y),
                 series.GetPointSize()))
        continue;
      anchorSeries_ = si;
      anchorPoint_ = pi;
      if (style & (QvChart2DSeries::kDragX | QvChart2DSeries::kDragY)) state_ |= kStateDragging;
      // Pressing on one of several selected points keeps the group for a drag.
      const bool keepGroup = series.SelectedCount() >= 2 && (point.flags & QvChart2DPoint::kSelected);
      const bool single = (style & QvChart2DSeries::kPickSingle) != 0;
      const bool multipleWithoutControl = (style & QvChart2DSeries::kPickMultiple) && !control;
      if (!keepGroup && (single || multipleWithoutControl)) clearSelection(false);
      series.SelectPoint(pi, true, false);
      scheduleRedraw(true);
      Q_EMIT notify(this, controlId_, kNotifyPointPicked, &series, pi);
      return;
    }
    if (!control) series.ClearSelection(false);
  }

  const bool bandAllowed = std::any_of(series_.begin(), series_.end(), [](const auto& s) {
    return (s->GetStyle() & QvChart2DSeries::kPickMultiple) != 0;
  });
  if (bandAllowed) {
    state_ |= kStateRubberBand;
    bandFrom_ = bandTo_ = pos;
  }
  scheduleRedraw(true);
}

void QvChart2D::moveTo(C2Pixel pos) {
  if (state_ & kStateDragging) {
    if (!(state_ & kStateCursorHidden)) {
      setCursor(Qt::BlankCursor);
      state_ |= kStateCursorHidden;
    }
    const double dx = C2PixelsToValueX(data_, xMin_, xMax_, pos.x - lastMouse_.x);
    const double dy = C2PixelsToValueY(data_, yMin_, yMax_, pos.y - lastMouse_.y);
    // Index loop: a notification slot may add or remove series while points move.
    for (int si = 0; si < getSeriesCount(); ++si)
      if (series_[static_cast<std::size_t>(si)]->MoveSelected(dx, dy)) dragMoved_ = true;
  } else if (state_ & kStateRubberBand) {
    bandTo_ = pos;
    const C2Rect band = C2BandRect(bandFrom_, bandTo_);
    for (auto& series : series_) {
      if (!(series->GetStyle() & QvChart2DSeries::kPickMultiple) || !series->GetVisible()) continue;
      const auto& points = series->Points();
      for (int pi = 0; pi < series->PointCount(); ++pi) {
        const QvChart2DPoint& p = points[static_cast<std::size_t>(pi)];
        if (C2InBand(band, C2ValueToPixel(data_, xMin_, xMax_, yMin_, yMax_, p.x, p.y)))
          series->SelectPoint(pi, true, false);
      }
    }
    scheduleRedraw(true);
  }
  lastMouse_ = pos;
}

void QvChart2D::releaseAt(C2Pixel pos) {
  lastMouse_ = pos;
  state_ &= ~kStateButtonDown;
  const bool dragEnded = (state_ & kStateDragging) && dragMoved_;
  state_ &= ~(kStateDragging | kStateControl | kStateShift);
  dragMoved_ = false;
  if (state_ & kStateCursorHidden) {
    unsetCursor();
    state_ &= ~kStateCursorHidden;
  }
  if (state_ & kStateRubberBand) state_ &= ~kStateRubberBand;
  scheduleRedraw(true);
  if (dragEnded) Q_EMIT notify(this, controlId_, kNotifyDragEnded, getSeries(anchorSeries_), anchorPoint_);
}
