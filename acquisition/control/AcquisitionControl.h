// Starts and stops the connection to the vehicle and keeps the state that the
// status line shows: the connection state, the running flag, the done event,
// the packet rate, the error count and the last packet. Owns the acquisition
// thread, the short-lived control threads and the program's DAECallback.
//
// The acquisition thread opens the port, runs the definition's connect
// command, repeats its monitor command while the running flag is set, runs the
// disconnect command after a user stop and closes the port. A control thread
// stops acquisition (bit 1: clear the running flag, abort the engine, wait for
// the done event), stops the datalog (bit 2) and asks for the window to close
// (bit 4), and tells the program through IAppMessages, in that order.
//
// Thread contract:
// - ToggleConnection, SetPortName, SetLogStopper and the destructor run on the
//   user-interface thread (or the command-line tool's main thread).
//   StartControlThread may also be called from the playback thread.
// - The running flag, the connection state, the error count, the log line
//   count and the start times are atomics; the last packet has its own lock;
//   `rateMutex_` guards the rate computation; `threadMutex_` guards the thread
//   objects. The done event synchronises the acquisition thread with the stop.
// - Every thread started here is joined: a finished acquisition thread at the
//   next connect, control threads at the next start, and all of them by
//   JoinWorkers and the destructor (which stops acquisition first).
// - The definition is not changed while acquisition or playback runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/control/AutoResetEvent.h"
#include "acquisition/control/ConnectionState.h"
#include "acquisition/control/DAECallback.h"
#include "acquisition/control/LastPacket.h"
#include "acquisition/control/StatusLine.h"
#include "common/HiResTimer.h"

class ADXDefinition;
class DataAcqEngine;
class DataLogFile;
class QvDebugOutput;
class IAcquisitionDisplay;
class IAppMessages;
class ILogStopper;

class AcquisitionControl {
 public:
  // Control thread bits.
  static constexpr std::uint32_t kStopAcquisition = 0x1;
  static constexpr std::uint32_t kStopDatalog = 0x2;
  static constexpr std::uint32_t kCloseWindow = 0x4;
  // The Output log is cleared after this many send-command completions.
  static constexpr std::uint32_t kLogLinesBeforeClear = 200;

  // Everything is borrowed and must outlive this object.
  AcquisitionControl(ADXDefinition& definition, DataAcqEngine& engine, DataLogFile& datalog,
                     QvDebugOutput& log, IAcquisitionDisplay& display, IAppMessages& messages);
  // Stops a running acquisition (without the control thread's messages) and
  // joins every thread. The owner closes the datalog first, so that no
  // playback thread calls back into this object afterwards.
  ~AcquisitionControl();
  AcquisitionControl(const AcquisitionControl&) = delete;
  AcquisitionControl& operator=(const AcquisitionControl&) = delete;

  // The device path the next connection opens.
  void SetPortName(const std::string& port);
  std::string PortName() const;
  void SetLogStopper(ILogStopper* stopper) { stopper_.store(stopper, std::memory_order_release); }

  // Scan: connects when the running flag is 0, else starts the stop.
  void ToggleConnection();
  // Starts a control thread with the bits above.
  void StartControlThread(std::uint32_t bits);
  // Waits for the acquisition thread and every control thread to end.
  void JoinWorkers();

  std::int32_t GetConnectionState() const { return connectionState_.load(std::memory_order_acquire); }
  void SetConnectionState(std::int32_t state) { connectionState_.store(state, std::memory_order_release); }
  bool IsRunning() const { return running_.load(std::memory_order_acquire) != 0; }
  std::int32_t ErrorCount() const { return errorCount_.load(std::memory_order_relaxed); }
  std::uint32_t SampleCount() const { return rateTimer_.SampleCount(); }
  // Seconds since the connection started (the live packet time).
  double ConnectionTime() const;
  // The figures of the status line, taken now.
  StatusLineInput StatusSnapshot();
  // Marks the start of a recording, for the log time on the status line.
  void NoteRecordingStarted();
  const LastPacket& Last() const { return lastPacket_; }
  // True once the acquisition thread has ended (the done event is set).
  bool IsAcquisitionDone() const { return done_.IsSet(); }
  // True when the latest connection could not open its port.
  bool LastOpenFailed() const { return openFailed_.load(std::memory_order_acquire); }
  // Why it could not: "Unable to open port (PATH): REASON" (see
  // PortOpenFailureText).
  std::string OpenFailureText() const;

  DAECallback& Callback() { return callback_; }
  ADXDefinition& Definition() { return definition_; }
  DataLogFile& Datalog() { return datalog_; }
  QvDebugOutput& Log() { return log_; }
  IAcquisitionDisplay& Display() { return display_; }

 private:
  friend class DAECallback;

  void AcquisitionThreadMain(std::string port);
  void ControlThreadMain(std::uint32_t bits);
  void RefreshStatusAndToolbar();
  void ReapControlThreads();

  ADXDefinition& definition_;
  DataAcqEngine& engine_;
  DataLogFile& datalog_;
  QvDebugOutput& log_;
  IAcquisitionDisplay& display_;
  IAppMessages& messages_;
  std::atomic<ILogStopper*> stopper_{nullptr};
  DAECallback callback_;

  std::atomic<std::int32_t> connectionState_{NotConnected};
  std::atomic<std::int32_t> running_{0};
  AutoResetEvent done_{true};
  HiResTimer rateTimer_;
  std::mutex rateMutex_;  // guards rateTimer_'s Restart and Rate
  std::atomic<std::int32_t> errorCount_{0};
  std::atomic<std::uint32_t> logLineCount_{0};
  std::atomic<double> recordingStart_{0.0};
  std::atomic<bool> openFailed_{false};
  LastPacket lastPacket_;

  mutable std::mutex portMutex_;  // guards portName_ and openFailureText_
  std::string portName_;
  std::string openFailureText_;

  std::mutex threadMutex_;  // guards the thread objects below
  std::thread acquisitionThread_;
  struct ControlThread {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
  };
  std::vector<ControlThread> controlThreads_;
};
