#pragma once
// The "Monitors" page: one strip chart per monitor of the definition, stacked
// top to bottom, all sharing a time axis of "M:SS" labels and one horizontal
// scroll bar over time. Right-clicking a chart offers every value of the
// definition: a checked one is taken out of the monitor, an unchecked one is
// added with the next colour of the palette.
//
// While data arrives the charts follow the newest point. Scrolling back (the
// thumb, the arrows, the page areas) stops following, so the charts stay
// where the user put them; scrolling to the end of the bar, or the "Follow"
// button beside it, follows again.
//
// Thread contract: a QWidget; every member runs on the GUI thread. Points are
// computed on the threads that deliver packets (PaneFeed) and arrive here in
// batches through ViewPanes; Targets() tells the feed which series take them.
#include <QWidget>

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "app/panes/PaneFeed.h"

class ADXDefinition;
class ADXMonitor;
class ADXValue;
class QMenu;
class QScrollBar;
class QToolButton;
class QvDataChart;
class QvDataChartAxis;
class QvDataChartSeries;

class MonitorPane : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFirstChartId = 9000;

  explicit MonitorPane(QWidget* parent = nullptr);
  ~MonitorPane() override;

  // Destroys every chart, then makes and fills one chart per monitor.
  void BuildMonitors(ADXDefinition* definition);
  // The series that take points, for the feed; changes whenever a series is
  // added or removed (see TargetsChanged).
  std::vector<MonitorTarget> Targets() const;

  // Appends the points to their series (points of series that are gone are
  // dropped), stores the latest time and repaints the charts that changed.
  void AddPoints(const std::vector<MonitorPoint>& points, std::optional<double> latestTime);
  // Clears every chart's data and restarts its time axis at 0, keeping the
  // visible window's width.
  void ResetMonitors();
  // Moves the time cursor of every chart.
  void SetTimeCursor(double timeSeconds);

  // The pop-up menu of chart `index`: every value by title, those in the
  // monitor checked; each action carries its value. Null for a bad index.
  QMenu* BuildSeriesMenu(int index, QWidget* parent);
  // Takes the value out of the monitor of chart `index` when it is in it,
  // else adds it.
  void ToggleSeries(int index, ADXValue* value);

  int ChartCount() const { return static_cast<int>(charts_.size()); }
  QvDataChart* Chart(int index) const;
  QvDataChartAxis* TimeAxis(int index) const;
  // The chart series of entry `entry` of monitor `index` (null for none).
  QvDataChartSeries* Series(int index, int entry) const;
  QScrollBar* ScrollBar() const { return scroll_; }
  QToolButton* FollowButton() const { return followButton_; }
  // Whether the charts follow the newest point.
  bool Following() const { return following_; }
  // Follows again and shows the newest data at once (the "Follow" button).
  void ResumeFollowing();
  double CurrentTime() const { return currentTime_; }

 Q_SIGNALS:
  // The set of series changed; the feed needs Targets() again.
  void TargetsChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct SeriesRecord {
    std::uint64_t key = 0;
    QvDataChartSeries* series = nullptr;  // null for an entry that is not a value
    QvDataChartAxis* axis = nullptr;
  };
  struct ChartRecord {
    QvDataChart* chart = nullptr;
    QvDataChartAxis* timeAxis = nullptr;
    ADXMonitor* monitor = nullptr;
    std::vector<SeriesRecord> series;  // one per monitor entry
  };

  void FillChart(ChartRecord& record);
  SeriesRecord AddSeriesFor(ChartRecord& record, int entry, std::size_t unitsMax);
  void RemoveSeries(ChartRecord& record, int entry);
  void RebuildIndex();
  void LayoutCharts();
  void UpdateScrollBar();
  void OnScroll(int position);
  void SetFollow(bool follow);
  void OnChartNotify(int controlId, int code, QPoint screenPos);

  ADXDefinition* definition_ = nullptr;
  std::vector<ChartRecord> charts_;
  std::unordered_map<std::uint64_t, QvDataChartSeries*> byKey_;
  std::uint64_t nextKey_ = 1;
  QScrollBar* scroll_ = nullptr;
  QToolButton* followButton_ = nullptr;
  bool following_ = true;
  bool settingScroll_ = false;
  double currentTime_ = 0.0;
};
