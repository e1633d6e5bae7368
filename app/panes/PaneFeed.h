#pragma once
// The hand-over between the threads that deliver packets (acquisition,
// playback) and the GUI thread that shows them.
//
// A worker's Push does the per-packet work that must not be lost on the
// calling thread: every matching histogram takes its sample (under the
// histogram's own lock) and every matching monitor series gets its point,
// computed at once and queued. It also keeps a copy of the latest packet for
// the panes that only ever show the newest reading (gauges, item lists). The
// GUI thread takes everything queued in one Drain at the screen's pace, so a
// fast link or a quick playback costs one repaint per frame, not per packet.
//
// Thread contract: Push, RequestMonitorReset and SetTimeCursor may be called
// from any thread; the Set* configuration calls and Drain are made on the GUI
// thread. mutex_ guards every member. Push holds mutex_ while a histogram
// takes its own lock (order: mutex_ then the histogram's); the GUI thread
// reads histogram statistics without holding mutex_, so the order never
// reverses. The definition and its objects must stay alive and unedited
// while packets arrive (they are replaced only while acquisition is stopped);
// the pane configuration is swapped under mutex_, so a series or histogram
// removed on the GUI thread is never touched by a later Push.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

class ADXDefinition;
class ADXHistogram;
class ADXValue;

// Which panes an update is for (the trigger command's bits).
inline constexpr std::uint32_t kViewHistograms = 0x02;
inline constexpr std::uint32_t kViewItemLists = 0x04;
inline constexpr std::uint32_t kViewMonitors = 0x08;
inline constexpr std::uint32_t kViewDashboards = 0x10;
inline constexpr std::uint32_t kViewAll = kViewHistograms | kViewItemLists | kViewMonitors | kViewDashboards;

// One monitor series that takes points: its value, the chart it is shown in
// and the key under which the GUI finds its chart series.
struct MonitorTarget {
  std::uint64_t seriesKey = 0;
  int chart = 0;
  ADXValue* value = nullptr;
};

struct MonitorPoint {
  std::uint64_t seriesKey = 0;
  int chart = 0;
  float time = 0.0f;
  float value = 0.0f;
};

// A sample that landed in a histogram cell ((column << 16) | row).
struct HistogramTouch {
  const ADXHistogram* histogram = nullptr;
  std::uint32_t cell = 0;
};

// Everything the GUI thread takes in one Drain.
struct PaneFeedBatch {
  bool resetMonitors = false;  // apply before the points
  std::vector<MonitorPoint> points;
  std::optional<double> monitorTime;  // time of the latest monitor update
  std::vector<HistogramTouch> touches;
  std::optional<double> cursorTime;
  bool dashboards = false;           // a newer reading for the gauges
  bool itemLists = false;            // a newer reading for the item lists
  std::vector<std::uint8_t> packet;  // the latest packet (empty: none)
  bool hasPacket = false;
  std::uint32_t command = 0;
};

class PaneFeed {
 public:
  // GUI thread: the definition whose objects are evaluated.
  void SetDefinition(const ADXDefinition* definition);
  // GUI thread: the histograms that take samples (the pane's drop-down list).
  void SetHistograms(std::vector<ADXHistogram*> histograms);
  // GUI thread: the monitor series that take points. Points still queued for
  // series that are no longer listed are dropped by the GUI at the drain.
  void SetMonitorTargets(std::vector<MonitorTarget> targets);

  // Any thread: one update for the panes in `panes`. packet may be null (a
  // trigger); it is read only during the call.
  void Push(std::uint32_t panes, double timeSeconds, const std::uint8_t* packet, std::size_t length,
            std::uint32_t commandIdHash);
  // Any thread: the monitors start again; points queued so far are dropped.
  void RequestMonitorReset();
  // Any thread: the time cursor of every monitor chart.
  void SetTimeCursor(double timeSeconds);

  // GUI thread: takes everything queued since the last drain (the batch is
  // overwritten; its buffers are reused).
  void Drain(PaneFeedBatch& batch);

  // Points queued and not yet drained (for tests and diagnostics).
  std::size_t PendingPoints() const;

 private:
  mutable std::mutex mutex_;
  const ADXDefinition* definition_ = nullptr;
  std::vector<ADXHistogram*> histograms_;
  std::vector<MonitorTarget> targets_;
  PaneFeedBatch pending_;
};
