#pragma once
// One line series of a data chart: its points, their bounds, its pen and the
// two axes it is drawn against. Series are created and owned by their
// QvDataChart; the pointer handed out stays valid until the series is removed
// or the chart is destroyed.
//
// Adding a point is amortised O(1): the point is appended, the bounds widened,
// and scrolling axes moved; drawing later visits only the visible points.
//
// Points are kept as an x and a y column. Series of one chart that are given
// the same x values in the same order (the strip charts of a monitor, whose
// series all take the time of each packet) share one x column: a series
// appends to the shared column only at its end, reuses an entry that already
// holds its x, and takes a private copy before anything else changes its x
// values. Sharing is invisible through the interface.
//
// Thread contract: GUI thread only, like the chart that owns it.
#include <Qt>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/datachart/DataChartGeometry.h"

class QvDataChart;
class QvDataChartAxis;

// Pen style of a series' line style number (0 solid, 1 dash, 2 dot, 3 dash-dot,
// 4 dash-dot-dot, 5 none; anything else solid).
Qt::PenStyle QvDataChartPenStyle(int lineStyle);

struct QvDataChartBounds {
  float minX = 0.0f;
  float maxX = 0.0f;
  float minY = 0.0f;
  float maxY = 0.0f;
};

class QvDataChartSeries {
 public:
  explicit QvDataChartSeries(QvDataChart* chart);
  QvDataChartSeries(const QvDataChartSeries&) = delete;
  QvDataChartSeries& operator=(const QvDataChartSeries&) = delete;

  QvDataChart* GetChart() const { return chart_; }

  void SetName(const std::string& name) { name_ = name; }
  const std::string& GetName() const { return name_; }

  void SetLineWidth(std::uint8_t width) { lineWidth_ = width; }
  std::uint8_t GetLineWidth() const { return lineWidth_; }
  void SetLineStyle(std::uint8_t style) { lineStyle_ = style; }
  std::uint8_t GetLineStyle() const { return lineStyle_; }
  void SetColor(std::uint32_t color) { color_ = color; }
  std::uint32_t GetColor() const { return color_; }

  // Appends a point, widens the bounds and scrolls the X and then the Y axis
  // when they follow new data. Returns the point count.
  int AddPoint(float x, float y);
  // Appends `count` points (after emptying the series when `replace` is set);
  // returns the point count. Negative counts or missing arrays add nothing.
  int SetPoints(const float* xs, const float* ys, int count, bool replace);
  void SetPoint(float x, float y, int index);
  DcPoint GetPoint(int index) const;
  void SetX(float x, int index);
  float GetX(int index) const;
  void SetY(float y, int index);
  float GetY(int index) const;
  void RemovePoint(int index);
  void ClearPoints();
  int GetPointCount() const { return static_cast<int>(ys_.size()); }
  // The points, valid until the series changes.
  DcPointView Points() const { return DcPointView(*xs_, ys_, ys_.size()); }
  // Whether the x values are stored once for this series and another one.
  bool SharesXColumn() const { return xs_.use_count() > 1; }

  // Accept only a horizontal and a vertical axis respectively; return 1 when
  // set, 0 otherwise. A null axis unbinds.
  int SetXAxis(QvDataChartAxis* axis);
  int SetYAxis(QvDataChartAxis* axis);
  QvDataChartAxis* GetXAxis() const { return xAxis_; }
  QvDataChartAxis* GetYAxis() const { return yAxis_; }

  // Smallest and largest x and y over the points; with no points the smallest
  // are the largest float and the largest its negative.
  QvDataChartBounds GetBounds() const { return bounds_; }

  // The points the line may visit for the X axis' visible range, as an index
  // range: the line starts at `begin`, skips later points left of the range
  // and ends with the first point right of it. Sorted series narrow the range
  // by binary search; unsorted ones start at the first point.
  DcIndexRange VisibleRange() const;

 private:
  bool ValidIndex(int index) const { return index >= 0 && index < GetPointCount(); }
  std::size_t Count() const { return ys_.size(); }
  // Appends a point: its x to this series' x values (shared where another
  // series has the same ones), its y, and widens the bounds.
  void AppendPoint(const DcPoint& p);
  void AppendX(float x);
  // Makes the x column this series' own and exactly its length, before an x
  // value is changed or removed.
  void OwnXColumn();
  void ClearColumns();
  void ResetBounds();
  void Widen(const DcPoint& p);
  void RecomputeBounds();
  void RecheckSortedAround(int index);

  QvDataChart* chart_;
  std::uint8_t lineWidth_ = 1;
  std::uint8_t lineStyle_ = 0;
  std::uint32_t color_ = 0;
  std::string name_;
  QvDataChartBounds bounds_;
  std::shared_ptr<DcColumn> xs_;  // the first Count() entries are this series' x values
  DcValueColumn ys_;              // the y values, one byte each while they take few values
  bool sortedByX_ = true;         // points ascending by x, so drawing can binary-search
  QvDataChartAxis* xAxis_ = nullptr;
  QvDataChartAxis* yAxis_ = nullptr;
};
