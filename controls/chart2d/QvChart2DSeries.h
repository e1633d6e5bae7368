#pragma once
// One series of a 2-D chart: an ordered list of points with a selection, a
// style that says how the user may pick and drag them, and three colours.
// Series are created and owned by their QvChart2D; the pointer handed out
// stays valid until the series is removed or the chart is destroyed. Changes
// tell the chart, which keeps its data bounds and redraws.
//
// Thread contract: GUI thread only, like the chart that owns it.
#include <cstdint>
#include <string>
#include <vector>

#include "controls/chart2d/Chart2DGeometry.h"

class QvChart2D;

class QvChart2DSeries {
 public:
  // Series style bits.
  static constexpr std::uint32_t kDragX = 0x1;
  static constexpr std::uint32_t kDragY = 0x2;
  static constexpr std::uint32_t kPickSingle = 0x4;
  static constexpr std::uint32_t kPickMultiple = 0x8;
  static constexpr std::uint32_t kDefaultStyle = 0x4B;
  // Colour indexes: line, point outline, selected point.
  static constexpr int kColorLine = 12;
  static constexpr int kColorPoint = 13;
  static constexpr int kColorSelected = 15;
  static constexpr std::size_t kMaxName = 63;  // a 64-character field with its terminator

  explicit QvChart2DSeries(QvChart2D* chart);
  QvChart2DSeries(const QvChart2DSeries&) = delete;
  QvChart2DSeries& operator=(const QvChart2DSeries&) = delete;

  QvChart2D* GetChart() const { return chart_; }

  // Restores every default and removes every point.
  void Reset();

  void SetName(const std::string& name);
  // Copies the name into `buffer` (truncated, always terminated when the
  // capacity is positive); returns the name's length.
  int GetName(char* buffer, int capacity) const;
  const std::string& Name() const { return name_; }

  // Adds the bits (0 clears the whole style).
  void SetStyle(std::uint32_t bits, bool redraw);
  std::uint32_t GetStyle() const { return style_; }
  int TestStyle(std::uint32_t bits) const { return (style_ & bits) ? 1 : 0; }
  void ClearStyle(std::uint32_t bits, bool redraw);

  // Index 12, 13 or 15; returns 1, or 0 for another index (nothing changes).
  int SetColor(int index, std::uint32_t color);
  // The colour, or 0xFFFFFFFF (-1) for another index.
  std::uint32_t GetColor(int index) const;

  void ClearPoints();
  // Appends a copy of the point; returns the point count.
  int AddPoint(const QvChart2DPoint& point);
  // Inserts before `index`; 0 when the index is not below the point count, else 1.
  int InsertPoint(const QvChart2DPoint& point, int index);
  // 0 when the index is out of range, else 1.
  int RemovePoint(int index);
  // Overwrites x, y, flags and the data word; 0 when the index is out of range.
  int SetPoint(int index, const QvChart2DPoint& point, bool redraw);
  // 0 when the index is out of range (the output is left alone), else 1.
  int GetPoint(int index, QvChart2DPoint* point) const;
  const std::vector<QvChart2DPoint>& Points() const { return points_; }

  // Sets or clears the point's selected bit, keeping the selected count.
  void SelectPoint(int index, bool select, bool redraw);
  void ClearSelection(bool redraw);
  int SelectedCount() const { return selectedCount_; }
  int PointCount() const { return static_cast<int>(points_.size()); }

  // Half-width in pixels of a point's hit box (negative sizes count as 0).
  void SetPointSize(int size);
  int GetPointSize() const { return pointSize_; }
  void SetVisible(bool visible);
  bool GetVisible() const { return visible_ != 0; }

  // Moves every selected point by (dx, dy); used while the user drags.
  // Returns true when a point moved.
  bool MoveSelected(double dx, double dy);

 private:
  bool ValidIndex(int index) const { return index >= 0 && index < PointCount(); }
  void Changed(bool redraw);
  void PointsChanged(bool redraw);

  QvChart2D* chart_;
  std::vector<QvChart2DPoint> points_;
  std::string name_;
  std::uint32_t style_ = kDefaultStyle;
  int selectedCount_ = 0;
  int pointSize_ = 5;
  std::uint32_t colors_[3] = {0x0000FF, 0x000000, 0x000000};
  std::uint8_t visible_ = 1;
};
