#include "app/panes/PaneFeed.h"

#include <utility>

#include "definition/ADXHistogram.h"
#include "definition/ADXValue.h"

void PaneFeed::SetDefinition(const ADXDefinition* definition) {
  std::lock_guard lock(mutex_);
  definition_ = definition;
}

void PaneFeed::SetHistograms(std::vector<ADXHistogram*> histograms) {
  std::lock_guard lock(mutex_);
  histograms_ = std::move(histograms);
  pending_.touches.clear();  // cells of histograms that may be gone
}

void PaneFeed::SetMonitorTargets(std::vector<MonitorTarget> targets) {
  std::lock_guard lock(mutex_);
  targets_ = std::move(targets);
}

void PaneFeed::Push(std::uint32_t panes, double timeSeconds, const std::uint8_t* packet, std::size_t length,
                    std::uint32_t commandIdHash) {
  if (packet == nullptr) length = 0;
  std::lock_guard lock(mutex_);
  if (panes & kViewHistograms) {
    for (ADXHistogram* h : histograms_) {
      if (h->parentcmdidhash != 0 && h->parentcmdidhash != commandIdHash) continue;
      const std::uint32_t cell = h->AddSampleFromPacket(definition_, packet, length, commandIdHash);
      if (cell != kNoSample) pending_.touches.push_back({h, cell});
    }
  }
  if (panes & kViewMonitors) {
    const float t = static_cast<float>(timeSeconds);
    for (const MonitorTarget& target : targets_) {
      ADXValue* v = target.value;
      const bool matches = v->parentcmdidhash == 0 || v->parentcmdidhash == commandIdHash;
      const double reading = v->Convert(definition_, matches ? packet : nullptr, matches ? length : 0, 0, 0);
      pending_.points.push_back({target.seriesKey, target.chart, t, static_cast<float>(reading)});
    }
    pending_.monitorTime = timeSeconds;
  }
  if (panes & (kViewDashboards | kViewItemLists)) {
    pending_.packet.assign(packet, packet + length);
    pending_.hasPacket = packet != nullptr;
    pending_.command = commandIdHash;
    if (panes & kViewDashboards) pending_.dashboards = true;
    if (panes & kViewItemLists) pending_.itemLists = true;
  }
}

void PaneFeed::RequestMonitorReset() {
  std::lock_guard lock(mutex_);
  pending_.points.clear();
  pending_.monitorTime.reset();
  pending_.resetMonitors = true;
}

void PaneFeed::SetTimeCursor(double timeSeconds) {
  std::lock_guard lock(mutex_);
  pending_.cursorTime = timeSeconds;
}

void PaneFeed::Drain(PaneFeedBatch& batch) {
  batch.points.clear();
  batch.touches.clear();
  std::lock_guard lock(mutex_);
  std::swap(batch.points, pending_.points);
  std::swap(batch.touches, pending_.touches);
  batch.resetMonitors = std::exchange(pending_.resetMonitors, false);
  batch.monitorTime = std::exchange(pending_.monitorTime, std::nullopt);
  batch.cursorTime = std::exchange(pending_.cursorTime, std::nullopt);
  batch.dashboards = std::exchange(pending_.dashboards, false);
  batch.itemLists = std::exchange(pending_.itemLists, false);
  // The latest packet stays for later drains: it is the newest reading.
  batch.packet.assign(pending_.packet.begin(), pending_.packet.end());
  batch.hasPacket = pending_.hasPacket;
  batch.command = pending_.command;
}

std::size_t PaneFeed::PendingPoints() const {
  std::lock_guard lock(mutex_);
  return pending_.points.size();
}
