// The window's side of its session: the panes' feed as a packet sink, and as
// the session's observer what the acquisition, playback and control threads
// tell the display, with the three application messages.
//
// Pane data goes straight to the panes' feed, which is made to be fed from any
// thread and repaints at its own pace. Everything that touches a widget is
// handed to the GUI thread by a queued call on the window; refreshes of the
// status line, the logger tool bar and the slider are coalesced, so that at
// most one of each waits in the event queue and it shows the state of the
// moment it runs. Calls made on the GUI thread itself run at once. The three
// application messages are always queued, in the order they come.
//
// Thread contract: every IPacketSink and ISessionObserver operation may be
// called from any thread. The window and the panes outlive every worker
// thread (the session is destroyed first and joins them).
#pragma once

#include <atomic>
#include <cstdint>

#include "session/PacketSink.h"
#include "session/Session.h"

class MainWindow;
class ViewPanes;

class DisplayBridge : public IPacketSink, public ISessionObserver {
 public:
  DisplayBridge(MainWindow& window, ViewPanes& panes);

  void OnPacket(const PacketEvent& event) override;
  void ResetMonitors() override;
  void SetMonitorTimeCursor(double timeSeconds) override;
  void RefreshStatus() override;
  void FlashStatus(std::string_view text, std::uint32_t textColor, std::uint32_t backColor,
                   std::uint32_t durationMs) override;
  void RefreshLoggerToolbar() override;
  void SetSliderRange(std::int32_t maximum) override;
  void SetSlider(std::int32_t position) override;
  void ClearOutputLog() override;

  void AcquisitionEnded() override;
  void DatalogEnded() override;
  void CloseWindow() override;
  void PortOpenFailed(const std::string& text) override;

 private:
  bool OnGuiThread() const;
  template <class F>
  void Post(F function);

  MainWindow& window_;
  ViewPanes& panes_;
  std::atomic<bool> statusPending_{false};
  std::atomic<bool> toolbarPending_{false};
  std::atomic<bool> sliderPending_{false};
  std::atomic<std::int32_t> sliderPosition_{0};
};
