// Pictures of the strip chart (data chart) and of the 2-D chart.
#include <QApplication>

#include "controls/chart2d/QvChart2D.h"
#include "controls/datachart/QvDataChart.h"
#include "controls/gauges/QvControlText.h"
#include "tools/varnak-gallery/EngineData.h"
#include "tools/varnak-gallery/GalleryInput.h"
#include "tools/varnak-gallery/GalleryScenes.h"
#include "tools/varnak-gallery/GalleryWriter.h"

namespace {

struct MonitorAxes {
  QvDataChartAxis* time = nullptr;
  QvDataChartAxis* rpm = nullptr;
  QvDataChartAxis* map = nullptr;
  QvDataChartAxis* coolant = nullptr;
};

// Sets a chart up as a monitor pane does: a scrolling time axis at the bottom
// and one vertical axis per value.
MonitorAxes SetUpMonitor(QvDataChart& chart) {
  chart.setTitle("Drive log");
  MonitorAxes axes;
  axes.time = chart.addAxis();
  axes.time->SetTitle("Time (M:S)");
  axes.time->SetPosition(DcAxisBottom);
  axes.time->SetVisibleRange(0.0f, 20.0f);
  axes.time->SetFullRange(0.0f, 20.0f);
  axes.time->SetLabelFormatter(QvDataChartTimeLabel);
  axes.time->SetFlags(QvDataChartAxis::kScrollWithData | QvDataChartAxis::kUseLabelFormatter |
                      QvDataChartAxis::kDrawCursor);

  axes.rpm = chart.addAxis();
  axes.rpm->SetTitle("RPM");
  axes.rpm->SetPosition(DcAxisLeft);
  axes.rpm->SetDecimals(0);
  axes.rpm->SetVisibleRange(0.0f, 6500.0f);
  axes.rpm->SetFullRange(0.0f, 6500.0f);
  axes.rpm->SetTextColor(QvRgb(200, 0, 0));

  axes.map = chart.addAxis();
  axes.map->SetTitle("MAP kPa");
  axes.map->SetPosition(DcAxisRight);
  axes.map->SetDecimals(0);
  axes.map->SetVisibleRange(0.0f, 105.0f);
  axes.map->SetFullRange(0.0f, 105.0f);
  axes.map->SetTextColor(QvRgb(0, 110, 0));

  axes.coolant = chart.addAxis();
  axes.coolant->SetTitle("Coolant C");
  axes.coolant->SetPosition(DcAxisRight);
  axes.coolant->SetDecimals(0);
  axes.coolant->SetVisibleRange(40.0f, 120.0f);
  axes.coolant->SetFullRange(40.0f, 120.0f);
  axes.coolant->SetTextColor(QvRgb(0, 0, 200));
  return axes;
}

QvDataChartSeries* AddLine(QvDataChart& chart, const char* name, QvDataChartAxis* x, QvDataChartAxis* y,
                           std::uint32_t color, int width) {
  QvDataChartSeries* series = chart.addSeries();
  series->SetName(name);
  series->SetXAxis(x);
  series->SetYAxis(y);
  series->SetColor(color);
  series->SetLineWidth(static_cast<std::uint8_t>(width));
  return series;
}

void DataChartPictures(GalleryWriter& writer) {
  {
    QvDataChart chart;
    writer.save(chart, QSize(400, 240), QStringLiteral("datachart-default"));
  }
  {
    // A minute of samples at 10 per second: the time axis scrolls along and
    // shows the last 20 seconds; the cursor follows the newest sample.
    QvDataChart chart;
    const MonitorAxes axes = SetUpMonitor(chart);
    QvDataChartSeries* rpm = AddLine(chart, "RPM", axes.time, axes.rpm, QvRgb(200, 0, 0), 2);
    QvDataChartSeries* map = AddLine(chart, "MAP", axes.time, axes.map, QvRgb(0, 110, 0), 1);
    QvDataChartSeries* coolant = AddLine(chart, "Coolant", axes.time, axes.coolant, QvRgb(0, 0, 200), 1);
    chart.resize(640, 320);
    chart.layoutChart();
    float last = 0.0f;
    for (const EngineSample& s : EngineDrive(60.0f, 10)) {
      rpm->AddPoint(s.seconds, s.rpm);
      map->AddPoint(s.seconds, s.mapKpa);
      coolant->AddPoint(s.seconds, s.coolantC);
      last = s.seconds;
    }
    axes.time->SetCursorValue(last - 5.0f);
    chart.layoutChart();
    writer.save(chart, QStringLiteral("datachart-scrolling"));

    // The whole minute, as after scrolling back with the pane's scroll bar.
    axes.time->SetVisibleRange(0.0f, 60.0f);
    axes.time->SetCursorValue(23.0f);
    chart.layoutChart();
    writer.save(chart, QStringLiteral("datachart-fullminute"));
  }
}

void Chart2DPictures(GalleryWriter& writer) {
  {
    QvChart2D chart;
    writer.save(chart, QSize(360, 280), QStringLiteral("chart2d-default"));
  }
  // The lookup-table page's "Table Graph": one point per table entry.
  QvChart2D chart;
  chart.setTitle("Coolant Sensor");
  chart.setSubtitle("Table Graph");
  chart.setXAxisTitle("Counts");
  chart.setYAxisTitle("Deg C");
  chart.setXRange(0.0f, 256.0f);
  chart.setYRange(-60.0f, 160.0f);
  QvChart2DSeries* series = chart.insertSeries(0, false);
  series->SetName("Coolant");
  for (const LookupPoint& p : CoolantSensorTable()) {
    QvChart2DPoint point;
    point.x = p.counts;
    point.y = p.degrees;
    series->AddPoint(point);
  }
  chart.resize(480, 360);
  chart.show();
  QApplication::processEvents();
  writer.save(chart, QStringLiteral("chart2d-lookup"));

  // The user drags the ninth point 30 degrees up and a little right.
  QvChart2DPoint before;
  series->GetPoint(8, &before);
  const C2Pixel from = chart.valueToPixel(before.x, before.y);
  const C2Pixel to = chart.valueToPixel(before.x + 6.0f, before.y + 30.0f);
  SendDrag(&chart, QPoint(from.x, from.y), QPoint(to.x, to.y), 6);
  writer.save(chart, QStringLiteral("chart2d-dragged"));

  // A rubber band over the hot end, held open while the picture is taken.
  const C2Pixel bandFrom = chart.valueToPixel(150.0f, 60.0f);
  const C2Pixel bandTo = chart.valueToPixel(250.0f, -50.0f);
  SendMousePress(&chart, QPoint(bandFrom.x, bandFrom.y));
  SendMouseMove(&chart, QPoint((bandFrom.x + bandTo.x) / 2, (bandFrom.y + bandTo.y) / 2));
  SendMouseMove(&chart, QPoint(bandTo.x, bandTo.y));
  writer.save(chart, QStringLiteral("chart2d-rubberband"));
  SendMouseRelease(&chart, QPoint(bandTo.x, bandTo.y));
  chart.hide();
}

}  // namespace

void RenderChartPictures(GalleryWriter& writer) {
  DataChartPictures(writer);
  Chart2DPictures(writer);
}
