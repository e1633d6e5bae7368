// Stand-ins for the window in acquisition-control tests: a display that keeps
// every call, the control thread's notices and the logger's dialogs.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/AcquisitionDisplay.h"
#include "acquisition/control/AppMessages.h"
#include "acquisition/control/LoggerControl.h"

struct PaneUpdate {
  std::uint32_t panes = 0;
  double time = 0.0;
  std::vector<std::uint8_t> packet;
  bool hasPacket = false;
  std::uint32_t commandIdHash = 0;
};

// Waits on a predicate over state guarded by the given mutex.
template <typename Predicate>
bool WaitUntil(std::mutex& mutex, std::condition_variable& cv, std::chrono::milliseconds timeout,
               Predicate predicate) {
  std::unique_lock<std::mutex> lock(mutex);
  return cv.wait_for(lock, timeout, predicate);
}

class FakeDisplay : public IAcquisitionDisplay {
 public:
  explicit FakeDisplay(QvDebugOutput* log = nullptr) : log_(log) {}

  void UpdatePanes(std::uint32_t panes, double time, const std::uint8_t* packet, std::size_t length,
                   std::uint32_t hash) override {
    PaneUpdate u;
    u.panes = panes;
    u.time = time;
    u.hasPacket = packet != nullptr;
    if (packet != nullptr) u.packet.assign(packet, packet + length);
    u.commandIdHash = hash;
    {
      std::lock_guard<std::mutex> guard(mutex);
      updates.push_back(std::move(u));
      calls.push_back("UpdatePanes");
    }
    cv.notify_all();
  }
  void ResetMonitors() override { Note("ResetMonitors"); }
  void SetMonitorTimeCursor(double t) override { Note("Cursor " + std::to_string(t)); }
  void RefreshStatus() override { Note("RefreshStatus"); }
  void FlashStatus(std::string_view text, std::uint32_t a, std::uint32_t b, std::uint32_t ms) override {
    Note("Flash " + std::string(text) + " " + std::to_string(a) + " " + std::to_string(b) + " " +
         std::to_string(ms));
  }
  void RefreshLoggerToolbar() override { Note("RefreshToolbar"); }
  void SetSliderRange(std::int32_t max) override { Note("SliderRange " + std::to_string(max)); }
  void SetSlider(std::int32_t pos) override { Note("Slider " + std::to_string(pos)); }
  void ClearOutputLog() override {
    if (log_ != nullptr) log_->Clear();
    Note("ClearOutputLog");
  }

  std::size_t PacketUpdates() {
    std::lock_guard<std::mutex> guard(mutex);
    std::size_t n = 0;
    for (const auto& u : updates) n += u.hasPacket ? 1 : 0;
    return n;
  }
  bool WaitForPackets(std::size_t count, std::chrono::milliseconds timeout) {
    return WaitUntil(mutex, cv, timeout, [&] {
      std::size_t n = 0;
      for (const auto& u : updates) n += u.hasPacket ? 1 : 0;
      return n >= count;
    });
  }
  std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> guard(mutex);
    return calls;
  }
  std::vector<PaneUpdate> Updates() {
    std::lock_guard<std::mutex> guard(mutex);
    return updates;
  }
  std::size_t CountCalls(const std::string& prefix) {
    std::lock_guard<std::mutex> guard(mutex);
    std::size_t n = 0;
    for (const auto& c : calls) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  std::mutex mutex;
  std::condition_variable cv;
  std::vector<std::string> calls;
  std::vector<PaneUpdate> updates;

 private:
  void Note(std::string call) {
    {
      std::lock_guard<std::mutex> guard(mutex);
      calls.push_back(std::move(call));
    }
    cv.notify_all();
  }
  QvDebugOutput* log_;
};

class FakeMessages : public IAppMessages {
 public:
  void AcquisitionEnded() override { Note("AcquisitionEnded"); }
  void DatalogEnded() override {
    Note("DatalogEnded");
    if (onDatalogEnded) onDatalogEnded();
  }
  void CloseWindow() override { Note("CloseWindow"); }
  void PortOpenFailed(const std::string& text) override { Note("PortOpenFailed " + text); }

  bool WaitFor(const std::string& name, std::size_t count, std::chrono::milliseconds timeout) {
    return WaitUntil(mutex, cv, timeout, [&] { return CountLocked(name) >= count; });
  }
  std::size_t Count(const std::string& name) {
    std::lock_guard<std::mutex> guard(mutex);
    return CountLocked(name);
  }
  std::vector<std::string> Order() {
    std::lock_guard<std::mutex> guard(mutex);
    return order;
  }

  std::function<void()> onDatalogEnded;  // set before any control thread runs

 private:
  void Note(const std::string& name) {
    {
      std::lock_guard<std::mutex> guard(mutex);
      order.push_back(name);
    }
    cv.notify_all();
  }
  std::size_t CountLocked(const std::string& name) const {
    std::size_t n = 0;
    for (const auto& o : order) n += o == name ? 1 : 0;
    return n;
  }
  std::mutex mutex;
  std::condition_variable cv;
  std::vector<std::string> order;
};

class FakeLoggerView : public ILoggerView {
 public:
  bool ChooseLogToLoad(std::string* path) override {
    *path = loadName;
    return !loadName.empty();
  }
  bool ChooseSaveName(std::string* path) override {
    ++saveDialogs;
    *path = saveName;
    return !saveName.empty();
  }
  void ShowError(const std::string& title, const std::string& text) override {
    errors.push_back(title + "|" + text);
  }
  void RefreshTitle() override { ++titleRefreshes; }
  void CheckSpeedItem(SpeedItem item) override { checked = item; }

  std::string loadName;
  std::string saveName;
  int saveDialogs = 0;
  int titleRefreshes = 0;
  std::vector<std::string> errors;
  SpeedItem checked = SpeedItem::Custom;
};
