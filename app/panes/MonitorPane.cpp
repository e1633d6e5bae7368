// Definition headers first: Qt's keyword macros (slots, signals) would
// otherwise rewrite names inside them.
#include "definition/ADXValue.h"

#include "app/panes/MonitorPane.h"

#include <QMenu>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

#include "app/panes/PaneGeometry.h"
#include "app/panes/PaneReading.h"
#include "controls/common/TextBytes.h"
#include "controls/datachart/QvDataChart.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXMonitor.h"

namespace {
constexpr float kInitialWindow = 20.0f;
constexpr std::uint32_t kTimeAxisFlags =
    QvDataChartAxis::kScrollWithData | QvDataChartAxis::kUseLabelFormatter | QvDataChartAxis::kDrawCursor;
constexpr std::size_t kTitleMax = 150;
constexpr std::size_t kUnitsMaxOnFill = 150;
constexpr std::size_t kUnitsMaxOnAdd = 50;

ADXValue* AsValue(ADXObject* o) {
  return o && o->IsType(ADX_TYPE_VALUE) ? static_cast<ADXValue*>(o) : nullptr;
}
}  // namespace

MonitorPane::MonitorPane(QWidget* parent) : QWidget(parent) {
  scroll_ = new QScrollBar(Qt::Horizontal, this);
  scroll_->hide();
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int p) {
    if (!settingScroll_) OnScroll(p);
  });
  connect(scroll_, &QScrollBar::sliderPressed, this, [this] { SetFollow(false); });
  // Letting go at the end of the bar follows again; anywhere else the charts stay.
  connect(scroll_, &QScrollBar::sliderReleased, this,
          [this] { SetFollow(scroll_->value() >= scroll_->maximum()); });
  followButton_ = new QToolButton(this);
  followButton_->setObjectName(QStringLiteral("follow"));
  followButton_->setText(QStringLiteral("Follow"));
  followButton_->setToolTip(QStringLiteral("Follow the newest data again"));
  followButton_->hide();
  connect(followButton_, &QToolButton::clicked, this, &MonitorPane::ResumeFollowing);
}

void MonitorPane::ResumeFollowing() {
  SetFollow(true);
  // Straight to the newest data, keeping each window's width.
  for (ChartRecord& r : charts_) {
    // Held back, the full range stopped growing with the data: the newest
    // time extends it.
    const float width = r.timeAxis->GetVisibleMax() - r.timeAxis->GetVisibleMin();
    const float fullMin = r.timeAxis->GetFullMin();
    const float end = std::max({r.timeAxis->GetFullMax(), static_cast<float>(currentTime_), fullMin + width});
    r.timeAxis->SetFullRange(fullMin, end);
    r.timeAxis->SetVisibleRange(end - width, end);
    r.chart->redraw();
  }
  UpdateScrollBar();
}

MonitorPane::~MonitorPane() = default;

QvDataChart* MonitorPane::Chart(int index) const {
  return index >= 0 && index < ChartCount() ? charts_[static_cast<std::size_t>(index)].chart : nullptr;
}

QvDataChartAxis* MonitorPane::TimeAxis(int index) const {
  return index >= 0 && index < ChartCount() ? charts_[static_cast<std::size_t>(index)].timeAxis : nullptr;
}

QvDataChartSeries* MonitorPane::Series(int index, int entry) const {
  if (index < 0 || index >= ChartCount()) return nullptr;
  const auto& records = charts_[static_cast<std::size_t>(index)].series;
  return entry >= 0 && entry < static_cast<int>(records.size())
             ? records[static_cast<std::size_t>(entry)].series
             : nullptr;
}

void MonitorPane::BuildMonitors(ADXDefinition* definition) {
  definition_ = definition;
  for (ChartRecord& r : charts_) delete r.chart;
  charts_.clear();
  following_ = true;
  for (int n = 0; definition != nullptr; ++n) {
    ADXObject* o = definition->GetObjectByType(ADX_TYPE_MONITOR, n);
    if (o == nullptr) break;
    ChartRecord record;
    record.monitor = static_cast<ADXMonitor*>(o);
    record.chart = new QvDataChart(this);
    record.chart->setControlId(kFirstChartId + n);
    record.chart->setObjectName(QString::number(kFirstChartId + n));
    record.chart->setTitle("Right-click to add series");
    record.chart->resize(100, 100);
    QvDataChartAxis* time = record.chart->addAxis();
    time->SetPosition(DcAxisBottom);
    time->SetVisibleRange(0.0f, kInitialWindow);
    time->SetFullRange(0.0f, kInitialWindow);
    time->SetTitle("Time (M:S)");
    time->SetLabelFormatter(QvDataChartTimeLabel);
    time->SetFlags(kTimeAxisFlags);
    record.timeAxis = time;
    connect(record.chart, &QvDataChart::commandNotify, this, &MonitorPane::OnChartNotify);
    charts_.push_back(std::move(record));
    FillChart(charts_.back());
    charts_.back().chart->show();
  }
  RebuildIndex();
  LayoutCharts();
  UpdateScrollBar();
  Q_EMIT TargetsChanged();
}

void MonitorPane::FillChart(ChartRecord& record) {
  QvDataChart* chart = record.chart;
  chart->removeAllSeries();
  // Every axis but the time axis (the first) goes.
  while (chart->getAxisCount() > 1) chart->removeAxis(chart->getAxisCount() - 1);
  chart->setTitle(CutText(record.monitor->title, kTitleMax));
  record.series.clear();
  for (int i = 0; i < record.monitor->EntryCount(); ++i)
    record.series.push_back(AddSeriesFor(record, i, kUnitsMaxOnFill));
  chart->layoutChart();
}

MonitorPane::SeriesRecord MonitorPane::AddSeriesFor(ChartRecord& record, int entry, std::size_t unitsMax) {
  const MonitorSeries* e = record.monitor->GetEntry(entry);
  ADXValue* v = e ? AsValue(e->item) : nullptr;
  SeriesRecord s;
  s.key = nextKey_++;
  if (v == nullptr) return s;
  QvDataChartAxis* axis = record.chart->addAxis();
  axis->SetPosition(DcAxisLeft);
  axis->SetVisibleRange(v->rangelow, v->rangehigh);
  axis->SetFullRange(v->rangelow, v->rangehigh);
  axis->SetTitle(CutText(v->units, unitsMax));
  axis->SetTextColor(e->axiscolor);
  axis->SetLineColor(e->axiscolor);
  QvDataChartSeries* series = record.chart->addSeries();
  series->SetName(v->title);
  series->SetXAxis(record.timeAxis);
  series->SetYAxis(axis);
  series->SetColor(e->linecolor);
  series->SetLineWidth(e->linewidth);
  series->SetLineStyle(e->linetype);
  s.series = series;
  s.axis = axis;
  return s;
}

void MonitorPane::RemoveSeries(ChartRecord& record, int entry) {
  SeriesRecord& s = record.series[static_cast<std::size_t>(entry)];
  QvDataChart* chart = record.chart;
  for (int i = 0; s.series && i < chart->getSeriesCount(); ++i) {
    if (chart->getSeries(i) == s.series) {
      chart->removeSeries(i);
      break;
    }
  }
  for (int i = 0; s.axis && i < chart->getAxisCount(); ++i) {
    if (chart->getAxis(i) == s.axis) {
      chart->removeAxis(i);
      break;
    }
  }
  record.series.erase(record.series.begin() + entry);
}

void MonitorPane::RebuildIndex() {
  byKey_.clear();
  for (const ChartRecord& r : charts_)
    for (const SeriesRecord& s : r.series)
      if (s.series) byKey_[s.key] = s.series;
}

std::vector<MonitorTarget> MonitorPane::Targets() const {
  std::vector<MonitorTarget> targets;
  for (int c = 0; c < ChartCount(); ++c) {
    const ChartRecord& r = charts_[static_cast<std::size_t>(c)];
    for (int i = 0; i < static_cast<int>(r.series.size()); ++i) {
      const SeriesRecord& s = r.series[static_cast<std::size_t>(i)];
      const MonitorSeries* e = r.monitor->GetEntry(i);
      ADXValue* v = e ? AsValue(e->item) : nullptr;
      if (s.series && v) targets.push_back({s.key, c, v});
    }
  }
  return targets;
}

void MonitorPane::AddPoints(const std::vector<MonitorPoint>& points, std::optional<double> latestTime) {
  std::vector<bool> changed(charts_.size(), false);
  for (const MonitorPoint& p : points) {
    const auto it = byKey_.find(p.seriesKey);
    if (it == byKey_.end()) continue;  // the series was removed after the point was taken
    it->second->AddPoint(p.time, p.value);
    if (p.chart >= 0 && p.chart < ChartCount()) changed[static_cast<std::size_t>(p.chart)] = true;
  }
  for (std::size_t i = 0; i < charts_.size(); ++i)
    if (changed[i]) charts_[i].chart->redraw();
  if (latestTime) currentTime_ = *latestTime;
  if (!points.empty() || latestTime) UpdateScrollBar();
}

void MonitorPane::ResetMonitors() {
  for (ChartRecord& r : charts_) {
    r.chart->clearData();
    const float width = r.timeAxis->GetVisibleMax() - r.timeAxis->GetVisibleMin();
    r.timeAxis->SetVisibleRange(0.0f, width);
    r.timeAxis->SetFullRange(0.0f, width);
    r.chart->redraw();
  }
  currentTime_ = 0.0;
  SetFollow(true);
  UpdateScrollBar();
}

void MonitorPane::SetTimeCursor(double timeSeconds) {
  for (ChartRecord& r : charts_) {
    r.timeAxis->SetCursorValue(static_cast<float>(timeSeconds));
    r.chart->redraw();
  }
}

void MonitorPane::UpdateScrollBar() {
  const ChartRecord* first = nullptr;
  for (const ChartRecord& r : charts_) {
    if (r.chart->getSeriesCount() > 0) {
      first = &r;
      break;
    }
  }
  MonitorScroll s;
  if (first != nullptr) {
    const QvDataChartAxis* t = first->timeAxis;
    s = MonitorScrollFor(t->GetVisibleMin(), t->GetVisibleMax(), t->GetFullMin(), t->GetFullMax());
  }
  const bool wasVisible = !scroll_->isHidden();
  settingScroll_ = true;
  if (s.visible && !scroll_->isSliderDown()) {
    scroll_->setRange(s.minimum, s.maximum);
    scroll_->setPageStep(std::max(s.page, 1));
    scroll_->setSingleStep(1000);
    scroll_->setValue(s.value);
  }
  settingScroll_ = false;
  if (s.visible != wasVisible) {
    scroll_->setVisible(s.visible);
    LayoutCharts();
  }
}

void MonitorPane::OnScroll(int position) {
  // A move by the user: away from the end the charts stay where they are put,
  // at the end they follow the data again.
  if (!scroll_->isSliderDown()) SetFollow(position >= scroll_->maximum());
  const float start = static_cast<float>(position) / 1000.0f;
  for (ChartRecord& r : charts_) {
    const float width = r.timeAxis->GetVisibleMax() - r.timeAxis->GetVisibleMin();
    r.timeAxis->SetVisibleRange(start, start + width);
    r.chart->redraw();
  }
}

void MonitorPane::SetFollow(bool follow) {
  const bool changed = following_ != follow;
  following_ = follow;
  if (changed) LayoutCharts();
  for (ChartRecord& r : charts_) {
    std::uint32_t flags = r.timeAxis->GetFlags();
    flags = follow ? (flags | QvDataChartAxis::kScrollWithData) : (flags & ~QvDataChartAxis::kScrollWithData);
    r.timeAxis->SetFlags(flags);
  }
}

void MonitorPane::LayoutCharts() {
  const int barHeight = scroll_->isHidden() ? 0 : scroll_->sizeHint().height();
  const int pageHeight = std::max(0, height() - barHeight);
  for (int i = 0; i < ChartCount(); ++i) {
    const PaneRect r = MonitorChartRect(i, ChartCount(), width(), pageHeight);
    charts_[static_cast<std::size_t>(i)].chart->setGeometry(r.x, r.y, r.width, r.height);
  }
  // "Follow" sits right of the bar while the charts are held back.
  const bool showFollow = barHeight > 0 && !following_;
  followButton_->setVisible(showFollow);
  const int buttonWidth = showFollow ? followButton_->sizeHint().width() : 0;
  if (showFollow) followButton_->setGeometry(width() - buttonWidth, pageHeight, buttonWidth, barHeight);
  if (barHeight > 0) scroll_->setGeometry(0, pageHeight, std::max(0, width() - buttonWidth), barHeight);
}

void MonitorPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutCharts();
}

QMenu* MonitorPane::BuildSeriesMenu(int index, QWidget* parent) {
  if (index < 0 || index >= ChartCount() || definition_ == nullptr) return nullptr;
  const ADXMonitor* monitor = charts_[static_cast<std::size_t>(index)].monitor;
  auto* menu = new QMenu(parent);
  for (int n = 0;; ++n) {
    ADXObject* o = definition_->GetObjectByType(ADX_TYPE_VALUE, n);
    if (o == nullptr) break;
    QAction* a = menu->addAction(TextFromBytes(o->title));
    a->setCheckable(true);
    bool inMonitor = false;
    for (const MonitorSeries& e : monitor->entries) inMonitor = inMonitor || e.item == o;
    a->setChecked(inMonitor);
    a->setData(QVariant::fromValue(static_cast<void*>(o)));
  }
  return menu;
}

void MonitorPane::OnChartNotify(int controlId, int code, QPoint screenPos) {
  if (code != QvDataChart::kNotifyContextMenu) return;
  // The menu runs after the chart's own event handler has returned.
  QTimer::singleShot(0, this, [this, controlId, screenPos] {
    const int index = controlId - kFirstChartId;
    QMenu* menu = BuildSeriesMenu(index, this);
    if (menu == nullptr) return;
    QAction* picked = menu->exec(screenPos);
    ADXObject* object = picked ? static_cast<ADXObject*>(picked->data().value<void*>()) : nullptr;
    delete menu;
    if (ADXValue* v = AsValue(object)) ToggleSeries(index, v);
  });
}

void MonitorPane::ToggleSeries(int index, ADXValue* value) {
  if (index < 0 || index >= ChartCount() || value == nullptr) return;
  ChartRecord& record = charts_[static_cast<std::size_t>(index)];
  ADXMonitor* monitor = record.monitor;
  bool removed = false;
  // Every entry of the value goes, with its series and its axis.
  for (int i = monitor->EntryCount() - 1; i >= 0; --i) {
    if (monitor->GetEntry(i)->item != value) continue;
    RemoveSeries(record, i);
    monitor->RemoveEntry(i);
    removed = true;
  }
  if (!removed) {
    MonitorSeries entry;
    const std::uint32_t color = MonitorPaletteColor(monitor->EntryCount());
    entry.linecolor = color;
    entry.axiscolor = color;
    entry.linewidth = 1;
    entry.linetype = 0;
    entry.SetItem(value);
    if (!monitor->AppendEntry(entry)) return;  // the monitor is full
    record.series.push_back(AddSeriesFor(record, monitor->EntryCount() - 1, kUnitsMaxOnAdd));
  }
  record.chart->layoutChart();
  RebuildIndex();
  UpdateScrollBar();
  Q_EMIT TargetsChanged();
}
