#include "app/analysis/ScatterWidget.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "app/analysis/StripChartGeometry.h"

ScatterPoints CollectScatter(const std::vector<float>& x, const std::vector<float>& y,
                             const std::vector<float>* c, std::size_t first, std::size_t last,
                             std::size_t limit) {
  ScatterPoints out;
  last = std::min({last, x.size(), y.size()});
  if (c != nullptr) last = std::min(last, c->size());
  if (first >= last || limit == 0) return out;
  const std::size_t stride = std::max<std::size_t>(1, (last - first + limit - 1) / limit);
  for (std::size_t r = first; r < last; ++r) {
    const float cv = c != nullptr ? (*c)[r] : 0.0f;
    if (std::isnan(x[r]) || std::isnan(y[r]) || std::isnan(cv)) continue;
    ++out.records;
    if ((r - first) % stride != 0) continue;
    out.x.push_back(x[r]);
    out.y.push_back(y[r]);
    out.c.push_back(cv);
  }
  return out;
}

ScatterWidget::ScatterWidget(QWidget* parent) : QWidget(parent) {
  setMinimumSize(200, 160);
}

void ScatterWidget::SetPoints(ScatterPoints points, QString xLabel, QString yLabel, QString colorLabel) {
  points_ = std::move(points);
  xLabel_ = std::move(xLabel);
  yLabel_ = std::move(yLabel);
  colorLabel_ = std::move(colorLabel);
  update();
}

void ScatterWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  const QRectF plot(48, 8, std::max(10, width() - 60), std::max(10, height() - 44));
  painter.setPen(QColor(160, 160, 160));
  painter.drawRect(plot);
  painter.setPen(Qt::black);
  painter.drawText(QRectF(plot.left(), plot.bottom() + 18, plot.width(), 16), Qt::AlignHCenter, xLabel_);
  painter.save();
  painter.translate(12, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot.height() / 2, -10, plot.height(), 16), Qt::AlignHCenter, yLabel_);
  painter.restore();
  if (points_.x.empty()) {
    painter.drawText(plot, Qt::AlignCenter, QStringLiteral("No samples in the selection"));
    return;
  }
  float x0 = 0, x1 = 0, y0 = 0, y1 = 0, c0 = 0, c1 = 0;
  SampleRange(points_.x, &x0, &x1);
  SampleRange(points_.y, &y0, &y1);
  SampleRange(points_.c, &c0, &c1);
  const double xSpan = x1 > x0 ? x1 - x0 : 1.0;
  for (double t : AxisTicks(x0, x1, 5)) {
    const double px = plot.left() + (t - x0) / xSpan * plot.width();
    painter.drawText(QRectF(px - 40, plot.bottom() + 2, 80, 16), Qt::AlignHCenter,
                     QString::number(t, 'g', 6));
  }
  for (double t : AxisTicks(y0, y1, 4)) {
    const double py = YAtValue(t, y0, y1, plot.top(), plot.height());
    painter.drawText(QRectF(0, py - 8, 44, 16), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(t, 'g', 5));
  }
  painter.setPen(Qt::NoPen);
  for (std::size_t i = 0; i < points_.x.size(); ++i) {
    const double px = plot.left() + (points_.x[i] - x0) / xSpan * plot.width();
    const double py = YAtValue(points_.y[i], y0, y1, plot.top(), plot.height());
    const double share = c1 > c0 ? (points_.c[i] - c0) / (c1 - c0) : 0.5;
    painter.setBrush(QColor::fromHsvF(static_cast<float>(0.66 * (1.0 - share)), 0.9f, 0.9f));
    painter.drawRect(QRectF(px - 1.5, py - 1.5, 3, 3));
  }
  painter.setPen(Qt::black);
  painter.drawText(QRectF(plot.left() + 4, plot.top() + 2, plot.width() - 8, 16), Qt::AlignRight,
                   QStringLiteral("colour: %1 (%2 .. %3), %4 records")
                       .arg(colorLabel_)
                       .arg(c0, 0, 'g', 5)
                       .arg(c1, 0, 'g', 5)
                       .arg(points_.records));
}
