#pragma once
// The "Dash" page: a drop-down of the definition's dashboards (1009) and,
// below it, the gauges of the chosen dashboard, each placed by the
// percentages of its entry. Right-clicking a gauge offers every value (and,
// unless the gauge is analog, every bitmask) to show on it; picking an object
// of the other kind turns the gauge into the kind that shows it, and the
// change is written back into the dashboard.
//
// Thread contract: a QWidget; every member runs on the GUI thread. Readings
// reach it through ViewPanes, which hands over packets from worker threads.
#include <QWidget>

#include <cstdint>
#include <vector>

#include "app/panes/PaneReading.h"

class ADXDashboard;
class ADXDefinition;
class ADXObject;
class QComboBox;
class QMenu;

class DashPane : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFirstGaugeId = 10000;

  explicit DashPane(QWidget* parent = nullptr);

  // Refills the drop-down with the definition's dashboards, selects the first
  // and builds its gauges (none for a null definition).
  void FillDashboards(ADXDefinition* definition);
  // Pushes new readings to the gauges whose objects match their gauge kinds.
  void UpdateDash(const PanePacket& packet);

  ADXDashboard* CurrentDashboard() const { return dashboard_; }
  // The gauge of entry `index` (null for an entry without a window).
  QWidget* Gauge(int index) const;
  int GaugeCount() const { return static_cast<int>(gauges_.size()); }
  // The rectangle the gauges are laid out in.
  QRect GaugeArea() const;
  // Stale: the gauges show the last readings before the link stopped and are
  // drawn faded until new data arrives.
  void SetStale(bool stale);
  bool Stale() const { return stale_; }

  // The pop-up menu of a gauge: "Values" and, unless the gauge is analog,
  // "Bitmasks"; each action carries its object. Null without a dashboard.
  QMenu* BuildGaugeMenu(int index, QWidget* parent);
  // Shows the picked object on the gauge of entry `index` (see the class comment).
  void ApplyGaugePick(int index, ADXObject* object);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SelectDashboard(int comboIndex);
  void Rebuild();
  void ClearGauges();
  QWidget* CreateGauge(int index);
  void Configure(int index);
  void LayoutGauges();
  void OnGaugeNotify(int controlId, int code, QPoint screenPos);

  QComboBox* combo_ = nullptr;
  ADXDefinition* definition_ = nullptr;
  ADXDashboard* dashboard_ = nullptr;
  void ApplyStale(QWidget* gauge) const;

  std::vector<QWidget*> gauges_;  // per entry; children of this pane
  bool stale_ = false;
};
