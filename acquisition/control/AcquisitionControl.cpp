#include "acquisition/control/AcquisitionControl.h"

#include <system_error>

#include "acquisition/DataAcqEngine.h"
#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/AcquisitionDisplay.h"
#include "acquisition/control/AppMessages.h"
#include "common/platform/ThreadTiming.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXDefinition.h"

AcquisitionControl::AcquisitionControl(ADXDefinition& definition, DataAcqEngine& engine, DataLogFile& datalog,
                                       QvDebugOutput& log, IAcquisitionDisplay& display,
                                       IAppMessages& messages)
    : definition_(definition),
      engine_(engine),
      datalog_(datalog),
      log_(log),
      display_(display),
      messages_(messages),
      callback_(*this) {}

AcquisitionControl::~AcquisitionControl() {
  running_.store(0, std::memory_order_release);
  engine_.RequestAbort();
  // A playback that ends meanwhile may start one more control thread.
  for (;;) {
    JoinWorkers();
    std::lock_guard<std::mutex> guard(threadMutex_);
    if (!acquisitionThread_.joinable() && controlThreads_.empty()) break;
  }
}

void AcquisitionControl::SetPortName(const std::string& port) {
  std::lock_guard<std::mutex> guard(portMutex_);
  portName_ = port;
}

std::string AcquisitionControl::OpenFailureText() const {
  std::lock_guard<std::mutex> guard(portMutex_);
  return openFailureText_;
}

std::string AcquisitionControl::PortName() const {
  std::lock_guard<std::mutex> guard(portMutex_);
  return portName_;
}

double AcquisitionControl::ConnectionTime() const {
  return HiResTimer::ClockSeconds() - rateTimer_.StartTime();
}

void AcquisitionControl::NoteRecordingStarted() {
  recordingStart_.store(HiResTimer::ClockSeconds(), std::memory_order_relaxed);
}

StatusLineInput AcquisitionControl::StatusSnapshot() {
  StatusLineInput input;
  input.logState = datalog_.State();
  input.connectionState = GetConnectionState();
  {
    std::lock_guard<std::mutex> guard(rateMutex_);
    input.rate = rateTimer_.Rate();
  }
  input.errorCount = ErrorCount();
  if (input.logState == XDL_STATE_RECORDING) {
    const double seconds = HiResTimer::ClockSeconds() - recordingStart_.load(std::memory_order_relaxed);
    input.logTimeMs = XdlMillisecondsFromSeconds(seconds);
  } else {
    input.logTimeMs = datalog_.CurrentTime();
  }
  return input;
}

void AcquisitionControl::RefreshStatusAndToolbar() {
  display_.RefreshStatus();
  display_.RefreshLoggerToolbar();
}

void AcquisitionControl::ToggleConnection() {
  if (running_.load(std::memory_order_acquire) != 0) {
    StartControlThread(kStopAcquisition);
    return;
  }
  std::lock_guard<std::mutex> guard(threadMutex_);
  // A previous connection that is still closing (its disconnect command runs
  // after the stop) ends first: two threads never share the engine.
  if (acquisitionThread_.joinable()) acquisitionThread_.join();
  running_.store(1, std::memory_order_release);
  display_.ClearOutputLog();
  logLineCount_.store(0, std::memory_order_relaxed);
  {
    std::lock_guard<std::mutex> rateGuard(rateMutex_);
    rateTimer_.Restart();
  }
  errorCount_.store(0, std::memory_order_relaxed);
  display_.ResetMonitors();
  // The done event is reset here rather than by the new thread, so that a
  // stop that comes before the thread has begun still waits for it.
  done_.Reset();
  try {
    acquisitionThread_ = std::thread(&AcquisitionControl::AcquisitionThreadMain, this, PortName());
  } catch (const std::system_error&) {
    done_.Set();
    running_.store(0, std::memory_order_release);
    log_.LogText("Unable to start the acquisition thread!");
  }
}

void AcquisitionControl::AcquisitionThreadMain(std::string port) {
  // Serial time-outs are absolute waits; a small slack keeps them close (when
  // refused, the default slack stays).
  static_cast<void>(SetThreadTimerSlack(kPacingTimerSlack));
  done_.Reset();
  engine_.SetEcho((definition_.flags & kHeaderEcho) != 0);
  engine_.SetCallback(&callback_);
  if (engine_.Open(port.c_str(), definition_.baud) == 0) {
    const std::string text = PortOpenFailureText(port, engine_.Port()->LastOpenError());
    {
      std::lock_guard<std::mutex> guard(portMutex_);
      openFailureText_ = text;
    }
    openFailed_.store(true, std::memory_order_release);
    log_.LogText(text.c_str());
    messages_.PortOpenFailed(text);
    // Open may leave the port half set up; it is closed here either way.
    engine_.Port()->Close();
  } else {
    openFailed_.store(false, std::memory_order_release);
    connectionState_.store(Connecting, std::memory_order_release);
    RefreshStatusAndToolbar();

    bool connected = true;
    if (definition_.connectcmd != nullptr && engine_.Execute(definition_.connectcmd) < 0) connected = false;
    if (connected && definition_.monitorcmd != nullptr) {
      while (running_.load(std::memory_order_acquire) == 1) {
        if (engine_.Execute(definition_.monitorcmd) < 0) break;
      }
      if (running_.load(std::memory_order_acquire) == 0 && definition_.disconnectcmd != nullptr) {
        engine_.Execute(definition_.disconnectcmd);
      }
    }
    engine_.Port()->Close();
  }
  done_.Set();
  connectionState_.store(NotConnected, std::memory_order_release);
  RefreshStatusAndToolbar();
  running_.store(0, std::memory_order_release);
}

void AcquisitionControl::StartControlThread(std::uint32_t bits) {
  std::lock_guard<std::mutex> guard(threadMutex_);
  ReapControlThreads();
  auto finished = std::make_shared<std::atomic<bool>>(false);
  try {
    std::thread thread([this, bits, finished] {
      ControlThreadMain(bits);
      finished->store(true, std::memory_order_release);
    });
    controlThreads_.push_back(ControlThread{std::move(thread), finished});
  } catch (const std::system_error&) {
    log_.LogText("Unable to start the control thread!");
  }
}

void AcquisitionControl::ReapControlThreads() {
  for (auto it = controlThreads_.begin(); it != controlThreads_.end();) {
    if (it->finished->load(std::memory_order_acquire)) {
      it->thread.join();
      it = controlThreads_.erase(it);
    } else {
      ++it;
    }
  }
}

void AcquisitionControl::ControlThreadMain(std::uint32_t bits) {
  if ((bits & kStopAcquisition) != 0) {
    running_.store(0, std::memory_order_release);
    engine_.RequestAbort();
    done_.Wait();
    done_.Set();  // the next stop must not block
    messages_.AcquisitionEnded();
  }
  if ((bits & kStopDatalog) != 0) {
    const XdlState state = datalog_.State();
    if (state == XDL_STATE_RECORDING) {
      // A failure stays in RecordingFailure; OnDatalogStopped reports it.
      (void)datalog_.StopRecording();
    } else if (state == XDL_STATE_PLAYING || state == XDL_STATE_STOP_REQUESTED ||
               datalog_.IsPlaybackThreadRunning()) {
      datalog_.RequestStop();
      datalog_.WaitForPlaybackThread();
    }
    messages_.DatalogEnded();
  }
  if ((bits & kCloseWindow) != 0) messages_.CloseWindow();
}

void AcquisitionControl::JoinWorkers() {
  std::thread acquisition;
  std::vector<ControlThread> controls;
  {
    std::lock_guard<std::mutex> guard(threadMutex_);
    acquisition = std::move(acquisitionThread_);
    controls = std::move(controlThreads_);
    controlThreads_.clear();
  }
  for (auto& control : controls) control.thread.join();
  if (acquisition.joinable()) acquisition.join();
}
