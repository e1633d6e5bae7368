#include "app/analysis/StripChartWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <cmath>

#include "analysis/LogData.h"

namespace {
constexpr int kLeftMargin = 8;
constexpr int kRightMargin = 8;
constexpr int kAxisBand = 22;  // time labels under the strips
constexpr int kStripGap = 4;
constexpr double kWheelZoom = 0.8;  // per wheel step, in
constexpr int kClickSlop = 3;       // pixels a click may move and stay a click

QString TimeLabel(double seconds, double step) {
  const int decimals = step >= 1.0 ? 0 : step >= 0.1 ? 1 : step >= 0.01 ? 2 : 3;
  return QString::number(seconds, 'f', decimals) + QStringLiteral(" s");
}
}  // namespace

StripChartWidget::StripChartWidget(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  setMinimumSize(300, 200);
  setAutoFillBackground(false);
}

void StripChartWidget::SetLog(const LogData* log) {
  log_ = log;
  channels_.clear();
  ranges_.clear();
  const double end = log != nullptr ? log->DurationSeconds() : 0.0;
  bounds_ = TimeView{0.0, end > 0.0 ? end : 1.0};
  view_ = bounds_;
  cursor_ = 0.0;
  selection_.reset();
  update();
}

void StripChartWidget::SetChannels(std::vector<StripChannel> channels) {
  channels_ = std::move(channels);
  // The value scale of each strip covers the whole log, so it stays put while
  // the view moves.
  ranges_.clear();
  for (const StripChannel& channel : channels_) {
    Range range;
    if (channel.samples != nullptr) {
      range.any = SampleRange(*channel.samples, &range.minimum, &range.maximum);
      range.blocks = SummarizeBlocks(*channel.samples);
    }
    if (channel.overlay != nullptr) range.overlayBlocks = SummarizeBlocks(*channel.overlay);
    float lo = 0.0f, hi = 0.0f;
    if (channel.overlay != nullptr && SampleRange(*channel.overlay, &lo, &hi)) {
      range.minimum = range.any ? std::min(range.minimum, lo) : lo;
      range.maximum = range.any ? std::max(range.maximum, hi) : hi;
      range.any = true;
    }
    ranges_.push_back(range);
  }
  update();
}

void StripChartWidget::SetView(const TimeView& view) {
  const TimeView clamped = ViewFromRange(view.from, view.to, bounds_);
  if (clamped == view_) return;
  view_ = clamped;
  update();
  Q_EMIT viewChanged();
}

void StripChartWidget::SetCursor(double seconds) {
  cursor_ = std::clamp(seconds, bounds_.from, bounds_.to);
  update();
  Q_EMIT cursorMoved(cursor_);
}

void StripChartWidget::SetSelection(std::optional<TimeView> range) {
  if (range) {
    if (range->from > range->to) std::swap(range->from, range->to);
    range->from = std::max(range->from, bounds_.from);
    range->to = std::min(range->to, bounds_.to);
  }
  selection_ = range;
  update();
  Q_EMIT selectionChanged();
}

void StripChartWidget::ResetView() {
  SetView(bounds_);
}

void StripChartWidget::ZoomAt(double anchorSeconds, double factor) {
  SetView(ZoomView(view_, anchorSeconds, factor, bounds_));
}

void StripChartWidget::ZoomToSelection() {
  if (selection_) SetView(ViewFromRange(selection_->from, selection_->to, bounds_));
}

QRect StripChartWidget::PlotRect() const {
  return QRect(kLeftMargin, 0, std::max(1, width() - kLeftMargin - kRightMargin),
               std::max(1, height() - kAxisBand));
}

double StripChartWidget::TimeAt(double x) const {
  const QRect plot = PlotRect();
  return TimeAtX(view_, x, plot.left(), plot.width());
}

void StripChartWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(250, 250, 250));
  const QRect plot = PlotRect();
  if (log_ == nullptr) return;

  // Selection under everything.
  if (selection_) {
    const double x0 = XAtTime(view_, selection_->from, plot.left(), plot.width());
    const double x1 = XAtTime(view_, selection_->to, plot.left(), plot.width());
    painter.fillRect(QRectF(x0, plot.top(), std::max(1.0, x1 - x0), plot.height()), QColor(255, 230, 150));
  }

  if (zoomBand_) {
    const double x0 = XAtTime(view_, zoomBand_->from, plot.left(), plot.width());
    const double x1 = XAtTime(view_, zoomBand_->to, plot.left(), plot.width());
    painter.fillRect(QRectF(x0, plot.top(), std::max(1.0, x1 - x0), plot.height()), QColor(200, 220, 255));
  }

  // Time grid and labels.
  const std::vector<double> ticks = AxisTicks(view_.from, view_.to, std::max(2, plot.width() / 110));
  const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : view_.Span();
  painter.setPen(QColor(225, 225, 225));
  for (double t : ticks) {
    const double x = XAtTime(view_, t, plot.left(), plot.width());
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  }
  painter.setPen(Qt::black);
  for (double t : ticks) {
    const double x = XAtTime(view_, t, plot.left(), plot.width());
    painter.drawText(QRectF(x - 50, plot.bottom() + 2, 100, kAxisBand - 2), Qt::AlignHCenter | Qt::AlignTop,
                     TimeLabel(t, step));
  }

  if (!channels_.empty()) {
    const int n = static_cast<int>(channels_.size());
    const int stripHeight = std::max(10, (plot.height() - kStripGap * (n - 1)) / n);
    for (int i = 0; i < n; ++i) {
      const QRect strip(plot.left(), plot.top() + i * (stripHeight + kStripGap), plot.width(), stripHeight);
      DrawStrip(painter, channels_[static_cast<std::size_t>(i)], ranges_[static_cast<std::size_t>(i)], strip);
    }
  }

  // The cursor over everything.
  const double cx = XAtTime(view_, cursor_, plot.left(), plot.width());
  if (cx >= plot.left() && cx <= plot.right()) {
    painter.setPen(QPen(QColor(200, 0, 0), 1));
    painter.drawLine(QPointF(cx, plot.top()), QPointF(cx, plot.bottom()));
  }
}

void StripChartWidget::DrawStrip(QPainter& painter, const StripChannel& channel, const Range& range,
                                 const QRect& strip) {
  painter.setPen(QColor(180, 180, 180));
  painter.drawRect(strip.adjusted(0, 0, -1, -1));
  if (channel.samples == nullptr) return;
  const bool any = range.any;
  const float lo = range.minimum;
  const float hi = range.maximum;
  const double top = strip.top() + 3;
  const double height = strip.height() - 6;
  auto draw = [&](const std::vector<float>& samples, const EnvelopeBlocks& blocks, const QColor& color) {
    const std::vector<EnvelopeColumn> columns = MinMaxEnvelope(*log_, samples, view_, strip.width(), &blocks);
    QVector<QLineF> lines;
    lines.reserve(static_cast<qsizetype>(columns.size() * 2));
    const EnvelopeColumn* previous = nullptr;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const EnvelopeColumn& col = columns[c];
      if (!col.valid) continue;
      const double x = strip.left() + static_cast<double>(c) + 0.5;
      const double y0 = YAtValue(col.minimum, lo, hi, top, height);
      const double y1 = YAtValue(col.maximum, lo, hi, top, height);
      lines.append(QLineF(x, y0, x, y1 == y0 ? y0 + 0.5 : y1));
      if (previous != nullptr) {
        lines.append(QLineF(x - 1.0, YAtValue(previous->last, lo, hi, top, height), x,
                            YAtValue(col.first, lo, hi, top, height)));
      }
      previous = &col;
    }
    painter.setPen(QPen(color, 1));
    painter.drawLines(lines);
  };
  painter.save();
  painter.setClipRect(strip);
  if (any) {
    draw(*channel.samples, range.blocks, channel.color);
    if (channel.overlay != nullptr) draw(*channel.overlay, range.overlayBlocks, QColor(230, 120, 0));
  }
  painter.restore();
  // Label and range in the strip's corner.
  QString text = channel.label;
  if (any) text += QStringLiteral("   [%1 .. %2]").arg(lo, 0, 'g', 6).arg(hi, 0, 'g', 6);
  if (channel.overlay != nullptr) text += QStringLiteral("   (orange: compare)");
  // On a pale band, so that the label stays readable over the trace.
  const QRect label =
      painter.fontMetrics().boundingRect(strip.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop, text);
  painter.fillRect(label.adjusted(-2, 0, 2, 0), QColor(255, 255, 255, 200));
  painter.setPen(Qt::black);
  painter.drawText(label, Qt::AlignLeft | Qt::AlignTop, text);
}

void StripChartWidget::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0.0 && log_ != nullptr) ZoomAt(TimeAt(event->position().x()), std::pow(kWheelZoom, steps));
  event->accept();
}

void StripChartWidget::mousePressEvent(QMouseEvent* event) {
  if (log_ == nullptr) return;
  dragStartX_ = event->position().x();
  dragStartTime_ = TimeAt(dragStartX_);
  dragStartView_ = view_;
  const bool pan = event->button() == Qt::RightButton || event->button() == Qt::MiddleButton ||
                   (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
  const bool zoom = event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier);
  drag_ = pan                                 ? Drag::kPan
          : zoom                              ? Drag::kZoom
          : event->button() == Qt::LeftButton ? Drag::kSelect
                                              : Drag::kNone;
  event->accept();
}

void StripChartWidget::mouseMoveEvent(QMouseEvent* event) {
  const double x = event->position().x();
  if (drag_ == Drag::kPan) {
    const QRect plot = PlotRect();
    const double delta = -(x - dragStartX_) / plot.width() * dragStartView_.Span();
    SetView(PanView(dragStartView_, delta, bounds_));
  } else if (drag_ == Drag::kSelect && std::fabs(x - dragStartX_) > kClickSlop) {
    selection_ = TimeView{std::min(dragStartTime_, TimeAt(x)), std::max(dragStartTime_, TimeAt(x))};
    update();
  } else if (drag_ == Drag::kZoom) {
    zoomBand_ = TimeView{std::min(dragStartTime_, TimeAt(x)), std::max(dragStartTime_, TimeAt(x))};
    update();
  }
  event->accept();
}

void StripChartWidget::mouseReleaseEvent(QMouseEvent* event) {
  const double x = event->position().x();
  if (drag_ == Drag::kZoom) {
    zoomBand_.reset();
    if (std::fabs(x - dragStartX_) > kClickSlop) SetView(ViewFromRange(dragStartTime_, TimeAt(x), bounds_));
    update();
  } else if (drag_ == Drag::kSelect) {
    if (std::fabs(x - dragStartX_) > kClickSlop) {
      SetSelection(TimeView{dragStartTime_, TimeAt(x)});
    } else {
      SetCursor(TimeAt(x));
    }
  }
  drag_ = Drag::kNone;
  event->accept();
}

void StripChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  ResetView();
  event->accept();
}

void StripChartWidget::keyPressEvent(QKeyEvent* event) {
  const double center = (view_.from + view_.to) / 2.0;
  switch (event->key()) {
    case Qt::Key_Left:
      SetView(PanView(view_, -view_.Span() / 4.0, bounds_));
      break;
    case Qt::Key_Right:
      SetView(PanView(view_, view_.Span() / 4.0, bounds_));
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ZoomAt(center, 0.5);
      break;
    case Qt::Key_Minus:
      ZoomAt(center, 2.0);
      break;
    case Qt::Key_Home:
      ResetView();
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}
