#pragma once
// The graph of the "Histograms" page: the shown statistic of every cell as a
// block standing on the column x row floor, seen obliquely from the front
// right, with the caption above and the break values along the two floor
// edges. Cells without a statistic leave their place on the floor empty.
//
// Thread contract: a QWidget; every member runs on the GUI thread.
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

// Where a floor point (u across the columns, v into the rows, both 0..1) at
// height h (0..1 of the tallest block) lands in the drawing box. The floor
// takes the lower part of the box, rows recede up and to the right.
QPointF HistogramGraphPoint(const QRectF& box, double u, double v, double h);
// The colour (0x00BBGGRR) of a block whose height is h (0..1): blue, green, red.
std::uint32_t HistogramGraphColor(double h);

class HistogramGraph : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kClassName = "3DCHART";

  explicit HistogramGraph(QWidget* parent = nullptr);

  // A fresh, empty plot of columns x rows cells.
  void NewPlot(int columns, int rows);
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  void SetAxisLabels(std::vector<std::string> columnLabels, std::vector<std::string> rowLabels);
  void SetAxisRanges(float xMin, float xMax, float yMin, float yMax);
  // The point of a cell: its column and row values and the statistic (none
  // when the cell has none). Cells outside the plot are ignored.
  void SetPoint(int column, int row, float x, float y, std::optional<float> z);

  int Columns() const { return columns_; }
  int Rows() const { return rows_; }
  std::optional<float> PointZ(int column, int row) const;
  float XMin() const { return xMin_; }
  float XMax() const { return xMax_; }
  float YMin() const { return yMin_; }
  float YMax() const { return yMax_; }

  QImage RenderFrame();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Cell {
    float x = 0.0f;
    float y = 0.0f;
    std::optional<float> z;
  };
  void Draw(class QPainter& painter);

  int columns_ = 0;
  int rows_ = 0;
  std::vector<Cell> cells_;
  std::string caption_;
  std::vector<std::string> columnLabels_;
  std::vector<std::string> rowLabels_;
  float xMin_ = 0.0f;
  float xMax_ = 0.0f;
  float yMin_ = 0.0f;
  float yMax_ = 0.0f;
};
