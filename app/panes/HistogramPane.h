#pragma once
// The "Histograms" page: drop-downs for the histogram (1002) and the statistic
// (1003), the table of the statistic per cell (grid 1004), "Clear" (1005)
// that empties the shown histogram, and "Graph" (1007) that shows the same
// statistic as a graph (1006) in place of the table.
//
// Thread contract: a QWidget; every member runs on the GUI thread. Samples
// are added to the histograms on the threads that deliver packets (see
// PaneFeed); this pane only reads their statistics, under each histogram's
// own lock.
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "app/panes/PaneFeed.h"

class ADXDefinition;
class ADXHistogram;
class Qv3DChart;
class QCheckBox;
class QComboBox;
class QPushButton;
class QvGridControl;

struct HistogramStatistic {
  const char* name;
  int code;
};
// The statistics of drop-down 1003, in their order.
extern const std::vector<HistogramStatistic> kHistogramStatistics;

// A break value as a label: "%.3f" with a fractional part, else "%i".
std::string HistogramBreakLabel(float value);
// The caption of a histogram: its title, then " - " and the titles of the
// row, column and output values that are set, joined by " vs ".
std::string HistogramCaption(const ADXHistogram& histogram);

class HistogramPane : public QWidget {
  Q_OBJECT

 public:
  explicit HistogramPane(QWidget* parent = nullptr);

  // Refills drop-down 1002, selects the first histogram and rebuilds the table
  // with the statistic that is selected.
  void FillHistograms(ADXDefinition* definition);
  // The histograms listed in drop-down 1002, in order.
  std::vector<ADXHistogram*> Histograms() const;
  ADXHistogram* CurrentHistogram() const { return histogram_; }
  int CurrentStatistic() const;

  // Shows the cells that took samples (in order; the last becomes the grid's
  // current cell). Cells of histograms not shown are skipped.
  void ApplySamples(const std::vector<HistogramTouch>& touches);
  // Fills the grid and the graph for the selected histogram and statistic.
  void RebuildTable();
  // "Clear": empties the shown histogram and rebuilds the table.
  void ClearShown();
  // "Graph" checked shows the graph and hides the grid.
  void ShowGraph(bool graph);

  QvGridControl* Grid() const { return grid_; }
  Qv3DChart* Graph() const { return graph_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SelectHistogram(int comboIndex);
  void ShowCell(std::int32_t row, std::int32_t column);

  QComboBox* histogramCombo_ = nullptr;
  QComboBox* statisticCombo_ = nullptr;
  QvGridControl* grid_ = nullptr;
  Qv3DChart* graph_ = nullptr;
  QPushButton* clear_ = nullptr;
  QCheckBox* graphCheck_ = nullptr;
  QWidget* controlsRow_ = nullptr;
  ADXDefinition* definition_ = nullptr;
  ADXHistogram* histogram_ = nullptr;
};
