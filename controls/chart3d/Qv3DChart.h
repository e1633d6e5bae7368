#pragma once
// The 3-D chart of the histogram pane: one value per cell of a rows x columns
// table, drawn as bars or as a surface over a floor with the column labels
// along one edge and the row labels along the other, a value axis and a
// caption. The user turns the plot by dragging with the mouse (or with the
// arrow keys); a double click brings back the first view, and a tooltip
// names the cell under the pointer.
//
// The pane starts each table with `newPlot`, gives the caption, the counts,
// the labels and the axis ranges, then one point per cell, and afterwards
// updates single points as samples arrive.
//
// Drawing goes into an off-screen image that a paint copies in one step; it is
// rebuilt only after a change. Projection, faces and ticks come from the pure
// functions of Chart3DGeometry.
//
// Thread contract: every member runs on the GUI thread.
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/chart3d/Chart3DGeometry.h"

class Qv3DChart : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "3DCHART";
  static constexpr int kMaxRows = 256;
  static constexpr int kMaxColumns = 256;
  static constexpr std::size_t kMaxCaption = 256;
  static constexpr std::size_t kMaxLabel = 31;

  enum class PlotStyle { Bars, Surface };

  explicit Qv3DChart(QWidget* parent = nullptr);
  ~Qv3DChart() override;

  void setControlId(int id) { controlId_ = id; }
  int controlId() const { return controlId_; }

  // A fresh plot: no cells, labels, ranges or caption; the view is kept.
  void newPlot();

  // The caption over the plot, cut to 256 characters.
  void setCaption(const std::string& caption);
  const std::string& caption() const { return caption_; }

  // Rows and columns (each cut to 0..256); every cell starts without a value.
  void setSize(int rows, int columns);
  int rowCount() const { return rows_; }
  int columnCount() const { return columns_; }

  // Labels of the rows and columns (0-based), cut to 31 characters; false for
  // an index outside the table.
  bool setRowLabel(int row, const std::string& text);
  bool setColumnLabel(int column, const std::string& text);
  std::string rowLabel(int row) const;
  std::string columnLabel(int column) const;

  // Ranges of the column (x) and row (y) values; the cells stand by their
  // values within them (by their indexes while a range is empty).
  void setXRange(double min, double max);
  void setYRange(double min, double max);
  C3Range xRange() const { return {xMin_, xMax_}; }
  C3Range yRange() const { return {yMin_, yMax_}; }

  // Titles of the three axes, cut to 63 characters.
  void setAxisTitles(const std::string& x, const std::string& y, const std::string& z);

  // The point of a cell: its column value, row value and value (none for a
  // cell without one). false for a cell outside the table.
  bool setPoint(int row, int column, double x, double y, std::optional<float> z);
  std::optional<float> pointValue(int row, int column) const;
  // The value range drawn, from the points.
  C3Range valueRange() const;

  void setPlotStyle(PlotStyle style);
  PlotStyle plotStyle() const { return style_; }

  void setView(C3View view);
  C3View view() const { return view_; }

  // false suspends drawing while many points arrive; true resumes and redraws.
  void setRedraw(bool enabled);
  bool redrawSuspended() const { return suspended_; }

  // The cell whose bar (or surface patch, by its first corner) is under a
  // point of the widget in the picture last drawn; none off the plot.
  std::optional<std::pair<int, int>> cellAt(QPoint point) const;
  // What the tooltip over a cell says: its row and column labels (after the
  // axis titles when there are any) and its value.
  std::string pointText(int row, int column) const;

  // Where the plot box is drawn for the present size, and the picture the next
  // paint shows.
  C3Projection projection() const;
  QImage renderFrame();

 Q_SIGNALS:
  // The user turned the plot.
  void viewChanged(Qv3DChart* chart, C3View view);

 protected:
  // Tooltips name the cell under the mouse.
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void changed();
  void turn(double dx, double dy);
  C3Rect plotArea() const;
  C3Grid gridView() const;
  void draw(class QPainter& painter);

  int controlId_ = 0;
  std::string caption_;
  int rows_ = 0;
  int columns_ = 0;
  std::vector<C3Cell> cells_;
  std::vector<std::string> rowLabels_;
  std::vector<std::string> columnLabels_;
  double xMin_ = 0.0, xMax_ = 0.0;
  double yMin_ = 0.0, yMax_ = 0.0;
  std::string xTitle_, yTitle_, zTitle_;
  PlotStyle style_ = PlotStyle::Bars;
  C3View view_;
  bool suspended_ = false;

  bool dragging_ = false;
  QPointF lastMouse_;

  bool frameDirty_ = true;
  QImage frame_;
  std::vector<C3Face> drawnFaces_;  // as last drawn, for picking
};
