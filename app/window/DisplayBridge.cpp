#include "app/window/DisplayBridge.h"

#include <QMetaObject>
#include <QThread>

#include <string>

#include "acquisition/QvDebugOutput.h"
#include "app/panes/ViewPanes.h"
#include "app/window/MainWindow.h"

DisplayBridge::DisplayBridge(MainWindow& window, ViewPanes& panes) : window_(window), panes_(panes) {}

bool DisplayBridge::OnGuiThread() const {
  return QThread::currentThread() == window_.thread();
}

template <class F>
void DisplayBridge::Post(F function) {
  // The window is the context: a call still queued when it is destroyed is
  // dropped.
  QMetaObject::invokeMethod(&window_, std::move(function), Qt::QueuedConnection);
}

void DisplayBridge::OnPacket(const PacketEvent& event) {
  panes_.UpdatePanes(event.panes, event.timeSeconds, event.packet, event.length, event.commandIdHash);
}

void DisplayBridge::ResetMonitors() {
  panes_.ResetMonitors();
}

void DisplayBridge::SetMonitorTimeCursor(double timeSeconds) {
  panes_.SetMonitorTimeCursor(timeSeconds);
}

void DisplayBridge::RefreshStatus() {
  if (OnGuiThread()) {
    window_.RefreshStatus();
  } else if (!statusPending_.exchange(true, std::memory_order_acq_rel)) {
    Post([this] {
      statusPending_.store(false, std::memory_order_release);
      window_.RefreshStatus();
    });
  }
}

void DisplayBridge::FlashStatus(std::string_view text, std::uint32_t textColor, std::uint32_t backColor,
                                std::uint32_t durationMs) {
  std::string copy(text);
  const int ms = static_cast<int>(std::min<std::uint32_t>(durationMs, 60000));
  if (OnGuiThread()) {
    window_.FlashStatus(copy, textColor, backColor, ms);
  } else {
    Post([this, copy = std::move(copy), textColor, backColor, ms] {
      window_.FlashStatus(copy, textColor, backColor, ms);
    });
  }
}

void DisplayBridge::RefreshLoggerToolbar() {
  if (OnGuiThread()) {
    window_.UpdateLoggerToolbar();
  } else if (!toolbarPending_.exchange(true, std::memory_order_acq_rel)) {
    Post([this] {
      toolbarPending_.store(false, std::memory_order_release);
      window_.UpdateLoggerToolbar();
    });
  }
}

void DisplayBridge::SetSliderRange(std::int32_t maximum) {
  if (OnGuiThread()) {
    window_.SetSliderRange(maximum);
  } else {
    Post([this, maximum] { window_.SetSliderRange(maximum); });
  }
}

void DisplayBridge::SetSlider(std::int32_t position) {
  if (OnGuiThread()) {
    window_.SetSliderPosition(position);
    return;
  }
  sliderPosition_.store(position, std::memory_order_release);
  if (!sliderPending_.exchange(true, std::memory_order_acq_rel)) {
    Post([this] {
      sliderPending_.store(false, std::memory_order_release);
      window_.SetSliderPosition(sliderPosition_.load(std::memory_order_acquire));
    });
  }
}

void DisplayBridge::ClearOutputLog() {
  window_.Log().Clear();
}

void DisplayBridge::AcquisitionEnded() {
  Post([this] { window_.OnAcquisitionStopped(); });
}

void DisplayBridge::DatalogEnded() {
  Post([this] { window_.OnDatalogStopped(); });
}

void DisplayBridge::PortOpenFailed(const std::string& text) {
  Post([this, text] { window_.OnPortOpenFailed(text); });
}

void DisplayBridge::CloseWindow() {
  Post([this] { window_.OnCloseMessage(); });
}
