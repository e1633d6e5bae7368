// The window's side of the acquisition control: what the acquisition, playback
// and control threads tell the display, and the three application messages.
//
// Pane data goes straight to the panes' feed, which is made to be fed from any
// thread and repaints at its own pace. Everything that touches a widget is
// handed to the GUI thread by a queued call on the window; refreshes of the
// status line, the logger tool bar and the slider are coalesced, so that at
// most one of each waits in the event queue and it shows the state of the
// moment it runs. Calls made on the GUI thread itself run at once. The three
// application messages are always queued, in the order they come.
//
// Thread contract: every IAcquisitionDisplay and IAppMessages operation may be
// called from any thread. The window and the panes outlive every worker
// thread (the acquisition control is destroyed first and joins them).
#pragma once

#include <atomic>
#include <cstdint>

#include "acquisition/control/AcquisitionDisplay.h"
#include "acquisition/control/AppMessages.h"

class MainWindow;
class QvDebugOutput;
class ViewPanes;

class DisplayBridge : public IAcquisitionDisplay, public IAppMessages {
 public:
  DisplayBridge(MainWindow& window, ViewPanes& panes, QvDebugOutput& log);

  void UpdatePanes(std::uint32_t panes, double timeSeconds, const std::uint8_t* packet, std::size_t length,
                   std::uint32_t commandIdHash) override;
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
  QvDebugOutput& log_;
  std::atomic<bool> statusPending_{false};
  std::atomic<bool> toolbarPending_{false};
  std::atomic<bool> sliderPending_{false};
  std::atomic<std::int32_t> sliderPosition_{0};
};
