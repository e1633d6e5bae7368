// Definition headers first: Qt's keyword macros (slots, signals) would
// otherwise rewrite names inside them.
#include "definition/ADXValue.h"
#include "definition/NumberText.h"

#include "app/panes/HistogramPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/panes/PaneGeometry.h"
#include "app/panes/PaneReading.h"
#include "controls/chart3d/Qv3DChart.h"
#include "controls/common/TextBytes.h"
#include "controls/grid/QvGridControl.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"

const std::vector<HistogramStatistic> kHistogramStatistics = {
    {"Most Recent Sample", kStatNewest},    {"History Average", kStatMean},
    {"History Std Deviation", kStatStdDev}, {"History Sample Count", kStatKept},
    {"Running Average", kStatAverage},      {"Running Sample Count", kStatCount},
    {"Running Minimum", kStatMinimum},      {"Running Maximum", kStatMaximum},
    {"Running Range", kStatRange},
};

namespace {
constexpr std::size_t kCaptionMax = 256;
constexpr std::size_t kCellTextSize = 31;  // 30 characters
constexpr int kMargin = 7;

// The break value of axis entry `index`, or `fallback` when the axis table has
// no such entry (a histogram whose minimum equals its maximum).
float BreakValue(const ADXLookupTable& table, int index, float fallback) {
  float input = fallback;
  float output = 0.0f;
  if (!table.GetTableEntry(index, &input, &output)) return fallback;
  return input;
}
}  // namespace

std::string HistogramBreakLabel(float value) {
  char buffer[64];
  const double v = value;
  if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 2147483648.0) {
    std::snprintf(buffer, sizeof buffer, "%i", static_cast<int>(v));
  } else {
    FormatFixed(buffer, sizeof buffer, v, 3);  // a point in every locale, as the cells
  }
  return buffer;
}

std::string HistogramCaption(const ADXHistogram& h) {
  std::string caption = h.title;
  std::string parts;
  for (const ADXValue* v : {h.yvalue, h.xvalue, h.zvalue}) {
    if (v == nullptr) continue;
    if (!parts.empty()) parts += " vs ";
    parts += v->title;
  }
  if (!parts.empty()) caption += " - " + parts;
  return CutText(caption, kCaptionMax);
}

HistogramPane::HistogramPane(QWidget* parent) : QWidget(parent) {
  auto* histogramLabel = new QLabel(QStringLiteral("Histogram"), this);
  histogramCombo_ = new QComboBox(this);
  histogramCombo_->setObjectName(QStringLiteral("1002"));
  auto* statisticLabel = new QLabel(QStringLiteral("View"), this);
  statisticCombo_ = new QComboBox(this);
  statisticCombo_->setObjectName(QStringLiteral("1003"));
  for (const HistogramStatistic& s : kHistogramStatistics)
    statisticCombo_->addItem(QString::fromLatin1(s.name), s.code);
  statisticCombo_->setCurrentIndex(0);
  clear_ = new QPushButton(QStringLiteral("Clear"), this);
  clear_->setObjectName(QStringLiteral("1005"));
  graphCheck_ = new QCheckBox(QStringLiteral("Graph"), this);
  graphCheck_->setObjectName(QStringLiteral("1007"));
  grid_ = new QvGridControl(this);
  grid_->setObjectName(QStringLiteral("1004"));
  grid_->setControlId(1004);
  // A histogram can be larger than the page: let the user scroll to every cell.
  grid_->setScrollBars(true, true);
  graph_ = new Qv3DChart(this);
  graph_->setControlId(1006);
  graph_->setObjectName(QStringLiteral("1006"));
  graph_->hide();

  // The controls' row across the top, in a layout: the drop-downs give up
  // width before any label, "Clear" or "Graph" is cut. The grid below it.
  const int rowHeight = histogramCombo_->sizeHint().height();
  controlsRow_ = new QWidget(this);
  auto* row = new QHBoxLayout(controlsRow_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  for (QComboBox* combo : {histogramCombo_, statisticCombo_}) {
    combo->setParent(controlsRow_);
    combo->setMinimumWidth(80);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(8);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{histogramLabel, statisticLabel, clear_, graphCheck_})
    w->setParent(controlsRow_);
  clear_->setMinimumWidth(std::max(60, clear_->sizeHint().width()));
  row->addWidget(histogramLabel);
  row->addWidget(histogramCombo_, 18);
  row->addWidget(statisticLabel);
  row->addWidget(statisticCombo_, 17);
  row->addWidget(clear_);
  row->addWidget(graphCheck_);
  row->addStretch(10);
  controlsRow_->setGeometry(kMargin, kMargin, std::max(0, width() - 2 * kMargin), rowHeight);
  grid_->move(kMargin, kMargin + rowHeight + 6);

  connect(histogramCombo_, &QComboBox::currentIndexChanged, this, &HistogramPane::SelectHistogram);
  connect(statisticCombo_, &QComboBox::currentIndexChanged, this, [this](int) { RebuildTable(); });
  connect(clear_, &QPushButton::clicked, this, &HistogramPane::ClearShown);
  connect(graphCheck_, &QCheckBox::toggled, this, &HistogramPane::ShowGraph);
}

void HistogramPane::FillHistograms(ADXDefinition* definition) {
  definition_ = definition;
  {
    const QSignalBlocker block(histogramCombo_);
    histogramCombo_->clear();
    for (int n = 0; definition != nullptr; ++n) {
      ADXObject* o = definition->GetObjectByType(ADX_TYPE_HISTOGRAM, n);
      if (o == nullptr) break;
      histogramCombo_->addItem(TextFromBytes(o->title), QVariant::fromValue(static_cast<void*>(o)));
    }
    histogramCombo_->setCurrentIndex(histogramCombo_->count() > 0 ? 0 : -1);
  }
  SelectHistogram(histogramCombo_->currentIndex());
}

std::vector<ADXHistogram*> HistogramPane::Histograms() const {
  std::vector<ADXHistogram*> list;
  for (int i = 0; i < histogramCombo_->count(); ++i)
    list.push_back(static_cast<ADXHistogram*>(histogramCombo_->itemData(i).value<void*>()));
  return list;
}

int HistogramPane::CurrentStatistic() const {
  const int i = statisticCombo_->currentIndex();
  return i >= 0 ? statisticCombo_->itemData(i).toInt() : -1;
}

void HistogramPane::SelectHistogram(int comboIndex) {
  histogram_ = comboIndex >= 0
                   ? static_cast<ADXHistogram*>(histogramCombo_->itemData(comboIndex).value<void*>())
                   : nullptr;
  RebuildTable();
}

void HistogramPane::RebuildTable() {
  if (histogram_ == nullptr) {
    grid_->clearText();
    grid_->setSize(0, 0);
    grid_->setWindowTitle(QString());
    graph_->newPlot();
    return;
  }
  const ADXHistogram& h = *histogram_;
  const int rows = std::max(h.rows, 0);
  const int cols = std::max(h.cols, 0);
  graph_->newPlot();
  const std::string caption = HistogramCaption(h);
  grid_->setWindowTitle(TextFromBytes(caption));
  graph_->setCaption(caption);
  graph_->setSize(rows, cols);
  graph_->setAxisTitles(h.xvalue ? h.xvalue->title : std::string(),
                        h.yvalue ? h.yvalue->title : std::string(),
                        h.zvalue ? h.zvalue->title : std::string());

  grid_->setRedraw(false);
  graph_->setRedraw(false);
  grid_->clearText();
  grid_->setSize(rows, cols);
  std::vector<float> rowValues(static_cast<std::size_t>(rows));
  std::vector<float> colValues(static_cast<std::size_t>(cols));
  for (int i = 0; i < rows; ++i) {
    rowValues[static_cast<std::size_t>(i)] = BreakValue(h.RowTable(), i, h.ymin);
    const std::string label = HistogramBreakLabel(rowValues[static_cast<std::size_t>(i)]);
    grid_->setCellText(GridAddress(i + 1, 0), label);
    graph_->setRowLabel(i, label);
  }
  for (int j = 0; j < cols; ++j) {
    colValues[static_cast<std::size_t>(j)] = BreakValue(h.ColumnTable(), j, h.xmin);
    const std::string label = HistogramBreakLabel(colValues[static_cast<std::size_t>(j)]);
    grid_->setCellText(GridAddress(0, j + 1), label);
    graph_->setColumnLabel(j, label);
  }
  auto range = [](const std::vector<float>& v, float& lo, float& hi) {
    lo = hi = 0.0f;
    if (v.empty()) return;
    lo = *std::min_element(v.begin(), v.end());
    hi = *std::max_element(v.begin(), v.end());
  };
  float xMin, xMax, yMin, yMax;
  range(colValues, xMin, xMax);
  range(rowValues, yMin, yMax);
  graph_->setXRange(xMin, xMax);
  graph_->setYRange(yMin, yMax);

  const int statistic = CurrentStatistic();
  char text[kCellTextSize];
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      float value = 0.0f;
      const bool has = h.CellStatistic(statistic, r, c, &value);
      h.GetCellStatistic(statistic, r, c, text, sizeof text);
      grid_->setCellText(GridAddress(r + 1, c + 1), text);
      graph_->setPoint(r, c, colValues[static_cast<std::size_t>(c)], rowValues[static_cast<std::size_t>(r)],
                       has ? std::optional<float>(value) : std::nullopt);
    }
  }
  graph_->setRedraw(true);
  grid_->setRedraw(true);
}

void HistogramPane::ShowCell(std::int32_t row, std::int32_t column) {
  const ADXHistogram& h = *histogram_;
  if (row < 0 || column < 0 || row >= h.rows || column >= h.cols) return;
  const int statistic = CurrentStatistic();
  char text[kCellTextSize];
  float value = 0.0f;
  const bool has = h.CellStatistic(statistic, row, column, &value);
  h.GetCellStatistic(statistic, row, column, text, sizeof text);
  grid_->setCellText(GridAddress(row + 1, column + 1), text);
  graph_->setPoint(row, column, BreakValue(h.ColumnTable(), column, h.xmin),
                   BreakValue(h.RowTable(), row, h.ymin), has ? std::optional<float>(value) : std::nullopt);
}

void HistogramPane::ApplySamples(const std::vector<HistogramTouch>& touches) {
  if (histogram_ == nullptr) return;
  const auto shown = [this](const HistogramTouch& t) { return t.histogram == histogram_; };
  if (std::none_of(touches.begin(), touches.end(), shown)) return;
  std::int32_t lastRow = -1;
  std::int32_t lastColumn = -1;
  std::uint32_t lastCell = kNoSample;
  // One repaint of each control for the whole batch.
  grid_->setRedraw(false);
  graph_->setRedraw(false);
  for (const HistogramTouch& t : touches) {
    if (!shown(t) || t.cell == lastCell) continue;
    lastCell = t.cell;
    lastRow = static_cast<std::int32_t>(t.cell & 0xFFFFu);
    lastColumn = static_cast<std::int32_t>(t.cell >> 16);
    ShowCell(lastRow, lastColumn);
  }
  if (lastRow >= 0) grid_->setCurrent(lastRow + 1, lastColumn + 1);
  graph_->setRedraw(true);
  grid_->setRedraw(true);
}

void HistogramPane::ClearShown() {
  if (histogram_ != nullptr) histogram_->ClearData();
  RebuildTable();
}

void HistogramPane::ShowGraph(bool graph) {
  if (graphCheck_->isChecked() != graph) {
    const QSignalBlocker block(graphCheck_);
    graphCheck_->setChecked(graph);
  }
  graph_->setVisible(graph);
  grid_->setVisible(!graph);
}

void HistogramPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  controlsRow_->setGeometry(kMargin, kMargin, std::max(0, width() - 2 * kMargin),
                            std::max(controlsRow_->height(), controlsRow_->minimumSizeHint().height()));
  const PaneRect r = HistogramGridRect(grid_->x(), grid_->y(), width(), height());
  grid_->setGeometry(r.x, r.y, r.width, r.height);
  graph_->setGeometry(grid_->geometry());
}
