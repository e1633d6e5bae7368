#include "app/panes/ViewPanes.h"

#include <QThread>

#include "app/panes/DashPane.h"
#include "app/panes/HistogramPane.h"
#include "app/panes/ItemListModel.h"
#include "app/panes/ItemListPane.h"
#include "app/panes/MonitorPane.h"

ViewPanes::ViewPanes(QObject* parent) : QObject(parent) {
  dash_ = new DashPane;
  lists_ = new ItemListPane;
  histograms_ = new HistogramPane;
  monitors_ = new MonitorPane;
  dash_->setWindowTitle(QStringLiteral("Dash"));
  lists_->setWindowTitle(QStringLiteral("Item Lists"));
  histograms_->setWindowTitle(QStringLiteral("Histograms"));
  monitors_->setWindowTitle(QStringLiteral("Monitors"));
  connect(monitors_, &MonitorPane::TargetsChanged, this,
          [this] { feed_.SetMonitorTargets(monitors_->Targets()); });
  connect(&timer_, &QTimer::timeout, this, &ViewPanes::Tick);
  timer_.start(kTickMs);
}

ViewPanes::~ViewPanes() {
  timer_.stop();
  for (QWidget* w : {static_cast<QWidget*>(dash_), static_cast<QWidget*>(lists_),
                     static_cast<QWidget*>(histograms_), static_cast<QWidget*>(monitors_)}) {
    if (w != nullptr && w->parent() == nullptr) delete w;
  }
}

DashPane* ViewPanes::Dash() const {
  return dash_;
}
ItemListPane* ViewPanes::ItemLists() const {
  return lists_;
}
HistogramPane* ViewPanes::Histograms() const {
  return histograms_;
}
MonitorPane* ViewPanes::Monitors() const {
  return monitors_;
}

void ViewPanes::FillDashboards(ADXDefinition* definition) {
  feed_.SetDefinition(definition);
  dash_->FillDashboards(definition);
}

void ViewPanes::FillListViews(ADXDefinition* definition) {
  feed_.SetDefinition(definition);
  lists_->FillListViews(definition);
}

void ViewPanes::FillHistograms(ADXDefinition* definition) {
  feed_.SetDefinition(definition);
  histograms_->FillHistograms(definition);
  feed_.SetHistograms(histograms_->Histograms());
}

void ViewPanes::BuildMonitors(ADXDefinition* definition) {
  feed_.SetDefinition(definition);
  monitors_->BuildMonitors(definition);  // TargetsChanged hands the series to the feed
}

void ViewPanes::UpdatePanes(std::uint32_t panes, double timeSeconds, const std::uint8_t* packet,
                            std::size_t length, std::uint32_t commandIdHash) {
  feed_.Push(panes, timeSeconds, packet, length, commandIdHash);
}

void ViewPanes::ResetMonitors() {
  feed_.RequestMonitorReset();
  if (QThread::currentThread() == thread()) Flush();
}

void ViewPanes::SetMonitorTimeCursor(double timeSeconds) {
  feed_.SetTimeCursor(timeSeconds);
}

void ViewPanes::Flush() {
  Tick();
}

void ViewPanes::SetValuesStale(bool stale) {
  if (dash_ != nullptr) dash_->SetStale(stale);
  if (lists_ != nullptr) lists_->Model()->SetStale(stale);
}

void ViewPanes::Tick() {
  feed_.Drain(batch_);
  // A page its owner already deleted (at shutdown) is skipped.
  if (monitors_ != nullptr) {
    if (batch_.resetMonitors) monitors_->ResetMonitors();
    if (!batch_.points.empty() || batch_.monitorTime) monitors_->AddPoints(batch_.points, batch_.monitorTime);
    if (batch_.cursorTime) monitors_->SetTimeCursor(*batch_.cursorTime);
  }
  if (histograms_ != nullptr && !batch_.touches.empty()) histograms_->ApplySamples(batch_.touches);

  const PanePacket packet = PanePacket::Of(batch_.packet, batch_.hasPacket, batch_.command);
  // New data: what the dash and the lists show is live again.
  if (batch_.dashboards || batch_.itemLists) SetValuesStale(false);
  dashStale_ = dashStale_ || batch_.dashboards;
  if (dashStale_ && dash_ != nullptr && dash_->isVisible()) {
    dash_->UpdateDash(packet);
    dashStale_ = false;
  }
  listStale_ = listStale_ || batch_.itemLists;
  if (listStale_ && lists_ != nullptr && lists_->isVisible()) {
    lists_->RefreshList(batch_.packet, batch_.hasPacket, batch_.command);
    listStale_ = false;
  }
}
