#pragma once
// The strip-chart control of the monitor panes: any number of axes and line
// series drawn inside a plot rectangle. The chart owns its axes and series and
// hands out pointers to them; callers configure them through their own
// operations and then lay the chart out.
//
// Drawing: the title, axes and plot frame go into a background image at each
// layout; a paint copies it, draws the visible part of every series and the
// cursor lines into an off-screen frame and puts that on screen in one step.
// Data changes only schedule a repaint, so many points per second cost one
// paint per frame.
//
// Thread contract: every member runs on the GUI thread. Worker threads hand
// their samples to the GUI thread (queued calls) before they reach a chart.
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/datachart/DataChartGeometry.h"
#include "controls/datachart/QvDataChartAxis.h"
#include "controls/datachart/QvDataChartSeries.h"

class QvDataChart : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "QVDATACHART";
  static constexpr std::size_t kMaxTitleShown = 149;
  // Code of the right-click notification.
  static constexpr int kNotifyContextMenu = 1;

  explicit QvDataChart(QWidget* parent = nullptr);
  ~QvDataChart() override;

  // The identifier the chart reports in its notifications.
  void setControlId(int id) { controlId_ = id; }
  int controlId() const { return controlId_; }

  // The chart's title (the window text).
  void setTitle(const std::string& title);
  const std::string& title() const { return title_; }

  // Chart colours 0x00BBGGRR: 0 title, 1 stored only, 2 plot fill, 3 plot
  // frame. Returns 1, or 0 for another index.
  int setColor(int index, std::uint32_t color);
  // The colour, or 0xFFFFFFFF for another index.
  std::uint32_t color(int index) const;

  QvDataChartSeries* addSeries();
  QvDataChartSeries* getSeries(int index) const;
  // Removes and destroys the series; 1, or 0 for an index past the end.
  int removeSeries(int index);
  int getSeriesCount() const { return static_cast<int>(series_.size()); }
  int removeAllSeries();
  // Empties the points of every series.
  int clearData();

  QvDataChartAxis* addAxis();
  QvDataChartAxis* getAxis(int index) const;
  // Removes and destroys the axis unless a series uses it; 0 when it is in use
  // or past the end, else 1.
  int removeAxis(int index);
  int getAxisCount() const { return static_cast<int>(axes_.size()); }
  // Removes all series, then all axes.
  int removeAllAxes();

  // Lays the chart out again (plot rectangle, axis offsets, background) and
  // repaints; returns 1.
  int layoutChart();
  // Repaints; returns 1. Repeated calls before the next frame cost one paint.
  int redraw();

  DcRect plotRect();
  // The frame as the next paint shows it (lays out first when needed).
  QImage renderFrame();

 Q_SIGNALS:
  // A command notification to the parent: the chart's identifier, the code
  // (1 for a right click) and the screen position of the click.
  void commandNotify(int controlId, int code, QPoint screenPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // A new palette (theme) or screen scale redraws the cached picture.
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  friend class QvDataChartAxis;
  friend class QvDataChartSeries;

  // Data changed: repaint soon. Scrolled: lay out before that paint.
  void markDirty();
  void requestLayout();
  void ensureLayout();
  void performLayout();
  int measureAxis(QvDataChartAxis& axis);
  void drawAxis(class QPainter& painter, QvDataChartAxis& axis);
  void drawSeries(class QPainter& painter, const QvDataChartSeries& series) const;
  void drawCursor(class QPainter& painter, const QvDataChartAxis& axis) const;
  void buildFrame();
  bool axisInUse(const QvDataChartAxis* axis) const;

  int controlId_ = 0;
  DcRect client_;
  QImage background_;
  QImage frame_;
  std::string title_;
  QFont titleFont_;
  std::uint32_t colors_[4] = {0x000000, 0xFFFFFF, 0xF0F0F0, 0x000000};
  // Bit i: colour i was set by the caller and is kept in every theme.
  std::uint32_t colorsSet_ = 0;
  // Colour i as painted: the caller's, or the palette's role when unset in a dark theme.
  QColor themed(int index, QPalette::ColorRole role) const;
  DcRect plot_;
  std::vector<std::unique_ptr<QvDataChartSeries>> series_;
  std::vector<std::unique_ptr<QvDataChartAxis>> axes_;
  bool layoutPending_ = true;
  bool frameDirty_ = true;
};
