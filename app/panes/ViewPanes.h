#pragma once
// The four view panes of the main window ("Dash", "Item Lists", "Histograms",
// "Monitors") behind one front: the main window fills them after a
// definition load, and the acquisition and playback threads hand them every
// decoded packet through UpdatePanes.
//
// Thread contract:
// - FillDashboards, FillListViews, FillHistograms, BuildMonitors, Flush and
//   the pane accessors run on the GUI thread, while no acquisition or
//   playback runs against the definition being replaced.
// - UpdatePanes, ResetMonitors and SetMonitorTimeCursor may be called from
//   any thread and never touch a widget. UpdatePanes does the work that must
//   not be lost at once on the calling thread (histogram samples under each
//   histogram's lock, one monitor point per matching series, queued under
//   PaneFeed's mutex) and keeps the latest packet for the gauges and lists.
// - A GUI-thread timer (about 33 Hz) drains the feed: points go into the
//   charts, the shown histogram cells are refreshed, and the visible gauges
//   and list texts follow the latest packet. However fast packets come, the
//   GUI thread repaints once per tick. Hidden gauges and lists catch up on
//   the first tick after they are shown.
// The panes are created without a parent for the main window to place (a tab
// sheet takes them over); those still without a parent are deleted with this
// object.
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstddef>
#include <cstdint>

#include "app/panes/PaneFeed.h"
#include "app/panes/PaneReading.h"

class ADXDefinition;
class DashPane;
class HistogramPane;
class ItemListPane;
class MonitorPane;

class ViewPanes : public QObject {
  Q_OBJECT

 public:
  static constexpr int kTickMs = 30;

  explicit ViewPanes(QObject* parent = nullptr);
  ~ViewPanes() override;

  // GUI thread, after a definition load, in this order.
  void FillDashboards(ADXDefinition* definition);
  void FillListViews(ADXDefinition* definition);
  void FillHistograms(ADXDefinition* definition);
  void BuildMonitors(ADXDefinition* definition);

  // Any thread: new data for the panes in `panes` (kView* bits): the time in
  // seconds since the connection or the log started, the packet (null for a
  // trigger), read only during the call, and the command that produced it.
  void UpdatePanes(std::uint32_t panes, double timeSeconds, const std::uint8_t* packet, std::size_t length,
                   std::uint32_t commandIdHash);
  // Any thread: clears the monitor charts and restarts their time axes at 0.
  void ResetMonitors();
  // Any thread: moves the time cursor of every monitor chart.
  void SetMonitorTimeCursor(double timeSeconds);

  // GUI thread: shows everything queued now instead of at the next tick.
  void Flush();
  // GUI thread: the dash and the item lists show that their values are the
  // last ones read (the link stopped): greyed until the next data arrives.
  void SetValuesStale(bool stale);

  // The pages (null once their owner deleted them).
  DashPane* Dash() const;
  ItemListPane* ItemLists() const;
  HistogramPane* Histograms() const;
  MonitorPane* Monitors() const;
  PaneFeed& Feed() { return feed_; }

 private:
  void Tick();

  QPointer<DashPane> dash_;
  QPointer<ItemListPane> lists_;
  QPointer<HistogramPane> histograms_;
  QPointer<MonitorPane> monitors_;
  PaneFeed feed_;
  PaneFeedBatch batch_;
  QTimer timer_;
  bool dashStale_ = false;
  bool listStale_ = false;
};
