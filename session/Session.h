// The one owner of the acquisition stack: the definition, the Output log, the
// serial engine with its port, the datalog, the acquisition control and the
// recording and playback control. The window holds one session; every tool
// (varnak-cli's scan, play and export) runs through one. Consumers of decoded
// packets attach as sinks (session/PacketSink.h); what the window shows
// besides packets (status line, logger tool bar, slider, the three
// application messages) goes to one optional observer.
//
// Lifetime: the members are constructed in dependency order and destroyed in
// reverse, here and nowhere else: the destructor stops acquisition and any
// recording or playback, joins every worker thread, closes the datalog and
// only then lets the objects the workers reach go away. Users never write
// out a teardown order of their own.
//
// Thread contract:
// - Every operation runs on the owner's thread (the window's GUI thread or a
//   tool's main thread), except where noted.
// - AttachSink and DetachSink may be called at any time from the owner's
//   thread; a detached sink is never called again once DetachSink returns.
// - Sinks are called on the worker threads (see PacketSink.h); the observer
//   is called on any thread and must hand widget work to its own thread.
// - Status() may be called from any thread.
// - The definition is replaced only while nothing runs (Busy() is false).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/control/LoggerToolbar.h"
#include "acquisition/control/StatusLine.h"
#include "datalog/XdlFormat.h"
#include "session/PacketSink.h"

class ADXDefinition;
class AcquisitionControl;
class DataAcqEngine;
class DataLogFile;
class IProgress;
class ILoggerView;
class LoggerControl;
class QvDebugOutput;

// What the window hears besides packets. Every operation has an empty default
// so that a tool overrides only what it needs.
class ISessionObserver {
 public:
  virtual ~ISessionObserver() = default;
  virtual void ResetMonitors() {}
  virtual void SetMonitorTimeCursor(double /*timeSeconds*/) {}
  virtual void RefreshStatus() {}
  virtual void FlashStatus(std::string_view /*text*/, std::uint32_t /*textColor*/,
                           std::uint32_t /*backColor*/, std::uint32_t /*durationMs*/) {}
  virtual void RefreshLoggerToolbar() {}
  virtual void SetSliderRange(std::int32_t /*maximum*/) {}
  virtual void SetSlider(std::int32_t /*position*/) {}
  virtual void ClearOutputLog() {}
  // The connection could not open its port; text gives the system's reason
  // (already in the Output log). Called on the acquisition thread.
  virtual void PortOpenFailed(const std::string& /*text*/) {}
  // The control thread's three notices, in this order.
  virtual void AcquisitionEnded() {}
  virtual void DatalogEnded() {}
  virtual void CloseWindow() {}
};

struct SessionOptions {
  // The folder of the recording file temp.xdl; empty: the working folder.
  std::string recordingFolder;
  // Borrowed; must outlive the session. Null: nobody listens.
  ISessionObserver* observer = nullptr;
  // The dialogs of recording and playback (names, error boxes); borrowed.
  // Null: the names given to Record and OpenLog are used and errors go to
  // onError.
  ILoggerView* view = nullptr;
  // Errors of recording and playback when there is no view (title, text).
  std::function<void(const std::string&, const std::string&)> onError;
};

enum class DefinitionFormat { Adx, LegacyAds };

// Outcome of loading a definition.
struct [[nodiscard]] DefinitionLoad {
  bool ok = false;
  // Why it failed, or the notes of a legacy conversion (one per line).
  std::vector<std::string> messages;
};

// Outcome of playing a log to its end (play and export).
enum class [[nodiscard]] PlayOutcome{
    Ended,       // the log played to its end
    Stopped,     // the caller's stop flag ended it
    OpenFailed,  // the log could not be opened (see code)
    ReadFailed,  // a read error ended playback early (see code)
};

struct PlayResult {
  PlayOutcome outcome = PlayOutcome::Ended;
  XdlResult code = XdlResult::Ok;  // the datalog's result for OpenFailed and ReadFailed
};

// What the status line and the tools show, taken at one moment.
struct SessionStatus {
  StatusLineInput line;                  // state, rate, errors, times
  bool scanning = false;                 // the running flag of acquisition
  XdlState logState = XdlState::Closed;  // the datalog's state
  std::int32_t logSample = 0;            // playback position (samples)
};

class Session {
 public:
  explicit Session(SessionOptions options = {});
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // --- The definition ---
  ADXDefinition& Definition();
  // Loads an ADX file, or converts a legacy ADS file, into the definition.
  // Refused (with a message) while Busy(). progress may be null.
  DefinitionLoad LoadDefinition(const std::string& path, DefinitionFormat format,
                                IProgress* progress = nullptr);
  // True while a scan, a recording or a log runs against the definition.
  bool Busy() const;

  // --- The link ---
  void SetPort(const std::string& path);
  // Scan: connects when not running, else starts the stop (the control
  // thread reports AcquisitionEnded).
  void ToggleConnection();
  // Stops a running scan and waits for every acquisition worker.
  void StopScan();
  bool IsScanning() const;
  // True when the latest connection could not open its port.
  bool LastOpenFailed() const;

  // --- Recording and playback ---
  // Starts recording into temp.xdl; `saveName` is where Stop moves it (used
  // when there is no view). Returns the datalog's result.
  XdlResult Record(const std::string& saveName = {});
  // The log that Play opens (when no log is open).
  void SetLogPath(const std::string& path);
  XdlResult Play();
  void Pause();
  // Stops recording (saving it) or playback.
  void StopLog();
  XdlResult Seek(std::int32_t position);
  void SetPlaybackSpeed(float factor);
  // Plays the log at `speed` (0: as fast as it reads, the full-speed pass of
  // export) and returns when it has ended, the stop flag was set, or it
  // failed; the datalog is closed afterwards.
  PlayResult PlayToEnd(const std::string& logPath, float speed, const std::atomic<bool>* stop = nullptr);
  // The program's handler of the DatalogEnded notice (window: on the GUI
  // thread when the notice arrives).
  void OnDatalogStopped();
  // Waits for the DatalogEnded notice; true when it came.
  bool WaitDatalogEnded(std::chrono::milliseconds timeout);

  // Starts the orderly stop of everything (acquisition, datalog and, with
  // closeWindow, the CloseWindow notice) on the control thread.
  void RequestStopAll(bool closeWindow);
  // Waits for the acquisition thread and every control thread to end.
  void JoinWorkers();

  // --- Sinks and state ---
  void AttachSink(IPacketSink* sink);
  void DetachSink(IPacketSink* sink);
  SessionStatus Status();
  LoggerToolbarState ToolbarState() const;

  // The parts, for the window's menus and for tests.
  QvDebugOutput& Log();
  DataLogFile& Datalog();
  AcquisitionControl& Acquisition();
  LoggerControl& Logger();

 private:
  class Hub;
  class DefaultView;

  SessionOptions options_;
  // Construction order is dependency order; destruction is the reverse, with
  // the workers stopped first in ~Session.
  std::unique_ptr<ADXDefinition> definition_;
  std::unique_ptr<QvDebugOutput> log_;
  std::unique_ptr<DataAcqEngine> engine_;
  std::unique_ptr<DataLogFile> datalog_;
  std::unique_ptr<Hub> hub_;
  std::unique_ptr<DefaultView> defaultView_;
  std::unique_ptr<AcquisitionControl> acquisition_;
  std::unique_ptr<LoggerControl> logger_;
};
