#include "controls/datachart/QvDataChart.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>

#include "controls/common/QvColor.h"
#include "controls/common/TextBytes.h"

namespace {

QString Latin1(const std::string& text, std::size_t maxLength) {
  return TextFromBytes(std::string_view(text).substr(0, maxLength));
}

}  // namespace

QvDataChart::QvDataChart(QWidget* parent) : QWidget(parent) {
  titleFont_ = QFont(QStringLiteral("Arial"));
  titleFont_.setPixelSize(14);
  titleFont_.setWeight(QFont::DemiBold);
  // The whole client area is painted from the off-screen frame.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

QvDataChart::~QvDataChart() {
  removeAllAxes();
}

void QvDataChart::setTitle(const std::string& title) {
  title_ = title;
  requestLayout();
}

int QvDataChart::setColor(int index, std::uint32_t color) {
  if (index < 0 || index > 3) return 0;
  colors_[index] = color & 0x00FFFFFFu;
  colorsSet_ |= 1u << index;
  requestLayout();
  return 1;
}

std::uint32_t QvDataChart::color(int index) const {
  return index >= 0 && index <= 3 ? colors_[index] : 0xFFFFFFFFu;
}

QvDataChartSeries* QvDataChart::addSeries() {
  series_.push_back(std::make_unique<QvDataChartSeries>(this));
  return series_.back().get();
}

QvDataChartSeries* QvDataChart::getSeries(int index) const {
  return index >= 0 && index < getSeriesCount() ? series_[static_cast<std::size_t>(index)].get() : nullptr;
}

int QvDataChart::removeSeries(int index) {
  if (index < 0 || index >= getSeriesCount()) return 0;
  series_.erase(series_.begin() + index);
  markDirty();
  return 1;
}

int QvDataChart::removeAllSeries() {
  series_.clear();
  markDirty();
  return 1;
}

int QvDataChart::clearData() {
  for (auto& series : series_) series->ClearPoints();
  markDirty();
  return 1;
}

QvDataChartAxis* QvDataChart::addAxis() {
  axes_.push_back(std::make_unique<QvDataChartAxis>(this));
  return axes_.back().get();
}

QvDataChartAxis* QvDataChart::getAxis(int index) const {
  return index >= 0 && index < getAxisCount() ? axes_[static_cast<std::size_t>(index)].get() : nullptr;
}

bool QvDataChart::axisInUse(const QvDataChartAxis* axis) const {
  return std::any_of(series_.begin(), series_.end(),
                     [axis](const auto& s) { return s->GetXAxis() == axis || s->GetYAxis() == axis; });
}

int QvDataChart::removeAxis(int index) {
  QvDataChartAxis* axis = getAxis(index);
  if (!axis || axisInUse(axis)) return 0;
  axes_.erase(axes_.begin() + index);
  requestLayout();
  return 1;
}

int QvDataChart::removeAllAxes() {
  series_.clear();
  axes_.clear();
  requestLayout();
  return 1;
}

int QvDataChart::layoutChart() {
  performLayout();
  update();
  return 1;
}

int QvDataChart::redraw() {
  markDirty();
  return 1;
}

DcRect QvDataChart::plotRect() {
  ensureLayout();
  return plot_;
}

QColor QvDataChart::themed(int index, QPalette::ColorRole role) const {
  return QvThemedColor(colors_[index], (colorsSet_ & (1u << index)) != 0, palette(), role);
}

QImage QvDataChart::renderFrame() {
  ensureLayout();
  if (frameDirty_) buildFrame();
  return frame_;
}

void QvDataChart::markDirty() {
  frameDirty_ = true;
  update();
}

void QvDataChart::requestLayout() {
  layoutPending_ = true;
  markDirty();
}

void QvDataChart::ensureLayout() {
  // A hidden widget gets its resize event only when shown; notice the new size anyway.
  if (layoutPending_ || client_.right != width() || client_.bottom != height() ||
      (!background_.isNull() && background_.devicePixelRatio() != devicePixelRatioF()))
    performLayout();
}

int QvDataChart::measureAxis(QvDataChartAxis& axis) {
  const int titleHeight = QFontMetrics(axis.titleFont_).height();
  const QFontMetrics labels(axis.labelFont_);
  int extent;
  if (axis.IsHorizontal()) {
    extent = labels.height();
  } else {
    const QString low = QString::fromLatin1(axis.LabelText(axis.visibleMin_));
    const QString high = QString::fromLatin1(axis.LabelText(axis.visibleMax_));
    extent = std::max(labels.horizontalAdvance(low), labels.horizontalAdvance(high));
  }
  return DcAxisWidth(!axis.title_.empty(), titleHeight, extent);
}

void QvDataChart::performLayout() {
  layoutPending_ = false;
  frameDirty_ = true;
  client_ = {0, 0, width(), height()};
  const int titleHeight = title_.empty() ? 0 : QFontMetrics(titleFont_).height() + 4;

  // The label decimals come from the tick step, which depends on the plot
  // size, which depends on the label widths: a second pass settles widths
  // measured with the decimals of an earlier layout.
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<DcAxisSlot> axisSlots;
    axisSlots.reserve(axes_.size());
    for (auto& axis : axes_) axisSlots.push_back({axis->position_, measureAxis(*axis)});
    const DcLayout layout = DcLayoutChart(client_, titleHeight, axisSlots);
    plot_ = layout.plot;
    bool decimalsChanged = false;
    for (std::size_t i = 0; i < axes_.size(); ++i) {
      QvDataChartAxis& axis = *axes_[i];
      axis.offset_ = layout.offsets[i];
      axis.width_ = axisSlots[i].width;
      axis.span_ = plot_;
      axis.ticks_ =
          DcComputeTicks(axis.IsHorizontal(), axis.span_, axis.visibleMin_, axis.visibleMax_,
                         (axis.flags_ & QvDataChartAxis::kTicksFromFullMinimum) != 0, axis.fullMin_);
      if (axis.ticks_.step > 0.0) {
        const auto decimals = static_cast<std::uint8_t>(std::clamp(axis.ticks_.decimals, 0, 20));
        if (decimals != axis.decimals_ && !axis.IsHorizontal()) decimalsChanged = true;
        axis.decimals_ = decimals;
      }
    }
    if (!decimalsChanged) break;
  }

  if (client_.right <= 0 || client_.bottom <= 0) {
    background_ = QImage();
    return;
  }
  // Drawn at the screen's device pixel ratio, in logical coordinates.
  const qreal ratio = devicePixelRatioF();
  background_ = QImage(QSize(client_.right, client_.bottom) * ratio, QImage::Format_RGB32);
  background_.setDevicePixelRatio(ratio);
  background_.fill(themed(1, QPalette::Base));
  QPainter painter(&background_);
  if (ratio != 1.0) painter.setRenderHint(QPainter::Antialiasing);
  if (!title_.empty()) {
    painter.setFont(titleFont_);
    painter.setPen(themed(0, QPalette::Text));
    painter.drawText(QRect(0, 2, client_.right, titleHeight), Qt::AlignHCenter | Qt::AlignTop,
                     Latin1(title_, kMaxTitleShown));
  }
  if (plot_.right <= plot_.left || plot_.bottom <= plot_.top) return;
  for (auto& axis : axes_) drawAxis(painter, *axis);
  painter.setPen(themed(3, QPalette::Mid));
  painter.setBrush(themed(2, QPalette::Base));
  painter.drawRect(plot_.left, plot_.top, plot_.right - plot_.left - 1, plot_.bottom - plot_.top - 1);
}

void QvDataChart::drawAxis(QPainter& painter, QvDataChartAxis& axis) {
  painter.setPen(QPen(QvThemedColor(axis.lineColor_, axis.lineColorSet_, palette(), QPalette::Mid), 1));
  const QFontMetrics labelMetrics(axis.labelFont_);
  const int labelHeight = labelMetrics.height();
  const int titleHeight = QFontMetrics(axis.titleFont_).height();
  const bool horizontal = axis.IsHorizontal();
  const DcRect& plot = plot_;

  const int line = DcAxisLine(axis.position_, plot, axis.offset_);
  if (horizontal) {
    painter.drawLine(plot.left, line, plot.right - 1, line);
  } else {
    painter.drawLine(line, plot.top, line, plot.bottom - 1);
  }

  // Ticks first (line colour), then their labels (text colour).
  struct Label {
    int at;
    QString text;
  };
  std::vector<Label> labels;
  labels.reserve(static_cast<std::size_t>(std::max(axis.ticks_.count, 0)));
  for (int i = 0; i < axis.ticks_.count; ++i) {
    const double value = DcTickValue(axis.ticks_, i);
    const int at = DcValueToPixel(horizontal, axis.span_, axis.visibleMin_, axis.visibleMax_, value);
    const DcRect tick = DcTickSegment(axis.position_, line, at);
    painter.drawLine(tick.left, tick.top, tick.right, tick.bottom);
    labels.push_back({at, QString::fromLatin1(axis.LabelText(static_cast<float>(value)))});
  }

  painter.setPen(QvThemedColor(axis.textColor_, axis.textColorSet_, palette(), QPalette::Text));
  painter.setFont(axis.labelFont_);
  std::vector<DcRect> boxes;
  boxes.reserve(labels.size());
  for (const Label& label : labels)
    boxes.push_back(
        DcLabelBox(axis.position_, line, label.at, labelMetrics.horizontalAdvance(label.text), labelHeight));
  const std::vector<DcPlacedLabel> placed = DcPlaceLabels(boxes, client_);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (!placed[i].drawn) continue;
    const DcRect& box = placed[i].box;
    painter.drawText(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top), Qt::AlignCenter,
                     labels[i].text);
  }

  if (axis.title_.empty()) return;
  const QString title = Latin1(axis.title_, QvDataChartAxis::kMaxTitleShown);
  painter.setFont(axis.titleFont_);
  const DcRect band = DcTitleBand(axis.position_, plot, axis.offset_, axis.width_, titleHeight);
  if (horizontal) {
    painter.drawText(QRect(band.left, band.top, band.right - band.left, band.bottom - band.top),
                     Qt::AlignCenter, title);
    return;
  }
  painter.save();
  // Rotated a quarter turn anticlockwise: the text reads upwards.
  painter.translate(band.left, band.bottom);
  painter.rotate(-90.0);
  painter.drawText(QRect(0, 0, band.bottom - band.top, band.right - band.left), Qt::AlignCenter, title);
  painter.restore();
}

void QvDataChart::drawSeries(QPainter& painter, const QvDataChartSeries& series) const {
  const QvDataChartAxis* x = series.GetXAxis();
  const QvDataChartAxis* y = series.GetYAxis();
  if (series.GetPointCount() < 2 || !x || !y) return;
  const std::vector<DcPixel> pixels =
      DcSeriesPolyline(series.Points(), series.VisibleRange(), plot_, x->visibleMin_, x->visibleMax_,
                       y->visibleMin_, y->visibleMax_);
  if (pixels.size() < 2) return;
  QPolygonF polyline;
  polyline.reserve(static_cast<qsizetype>(pixels.size()));
  for (const DcPixel& p : pixels) polyline.append(QPointF(p.x, p.y));
  QPen pen(QvColorFromRef(series.GetColor()), std::max<int>(series.GetLineWidth(), 1),
           QvDataChartPenStyle(series.GetLineStyle()));
  painter.setPen(pen);
  painter.drawPolyline(polyline);
}

void QvDataChart::drawCursor(QPainter& painter, const QvDataChartAxis& axis) const {
  if (!(axis.flags_ & QvDataChartAxis::kDrawCursor)) return;
  const float value = axis.cursorValue_;
  if (!(value >= axis.visibleMin_ && value <= axis.visibleMax_)) return;
  const int at = DcValueToPixel(axis.IsHorizontal(), axis.span_, axis.visibleMin_, axis.visibleMax_, value);
  if (axis.IsHorizontal()) {
    painter.drawLine(at, plot_.top, at, plot_.bottom - 1);
  } else {
    painter.drawLine(plot_.left, at, plot_.right - 1, at);
  }
}

void QvDataChart::buildFrame() {
  frameDirty_ = false;
  frame_ = background_;
  if (frame_.isNull() || plot_.right - plot_.left <= 2 || plot_.bottom - plot_.top <= 2) return;
  frame_.detach();
  QPainter painter(&frame_);
  painter.setClipRect(
      QRect(plot_.left + 1, plot_.top + 1, plot_.right - plot_.left - 2, plot_.bottom - plot_.top - 2));
  for (const auto& series : series_) drawSeries(painter, *series);
  // Cursor lines invert what lies under them so they show on any colour.
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(QPen(Qt::white, 1));
  for (const auto& axis : axes_) drawCursor(painter, *axis);
}

void QvDataChart::paintEvent(QPaintEvent* event) {
  ensureLayout();
  if (frameDirty_) buildFrame();
  QPainter painter(this);
  if (frame_.isNull()) {
    painter.fillRect(rect(), themed(1, QPalette::Base));
    return;
  }
  const qreal ratio = frame_.devicePixelRatio();
  const QRect area = event->rect();
  painter.drawImage(QRectF(area), frame_,
                    QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

void QvDataChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  performLayout();
}

void QvDataChart::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) requestLayout();
}

void QvDataChart::contextMenuEvent(QContextMenuEvent* event) {
  Q_EMIT commandNotify(controlId_, kNotifyContextMenu, event->globalPos());
  event->accept();
}
