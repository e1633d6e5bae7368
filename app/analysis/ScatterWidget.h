// An X-Y scatter of two channels over a range of records, each point coloured
// by a third channel (blue for its lowest, red for its highest value).
//
// Thread contract: a QWidget; GUI thread only. The columns it is given must
// stay alive and unchanged while they are shown.
#pragma once

#include <QString>
#include <QWidget>

#include <cstddef>
#include <vector>

// The points of a scatter, thinned to at most `limit` evenly spread records.
struct ScatterPoints {
  std::vector<float> x, y, c;
  std::size_t records = 0;  // records in range with all three values
};
ScatterPoints CollectScatter(const std::vector<float>& x, const std::vector<float>& y,
                             const std::vector<float>* c, std::size_t first, std::size_t last,
                             std::size_t limit);

class ScatterWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ScatterWidget(QWidget* parent = nullptr);
  void SetPoints(ScatterPoints points, QString xLabel, QString yLabel, QString colorLabel);
  const ScatterPoints& Points() const { return points_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ScatterPoints points_;
  QString xLabel_, yLabel_, colorLabel_;
};
