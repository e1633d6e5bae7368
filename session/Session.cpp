#include "session/Session.h"

#include <algorithm>
#include <thread>

#include "acquisition/DataAcqEngine.h"
#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/AcquisitionControl.h"
#include "acquisition/control/AcquisitionDisplay.h"
#include "acquisition/control/AppMessages.h"
#include "acquisition/control/LoggerControl.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "legacy/ALDLDefinition.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsReader.h"
#include "legacy/AdsToAdx.h"

bool PacketEvent::IsFullPacket() const {
  return panes == kPaneAll && packet != nullptr;
}

// The acquisition control's display and messages: packets fan out to the
// sinks, everything else goes to the observer. The DatalogEnded notice is also
// kept for the tools that wait for it.
class Session::Hub : public IAcquisitionDisplay, public IAppMessages {
 public:
  explicit Hub(ISessionObserver* observer) : observer_(observer) {}

  void Attach(IPacketSink* sink) {
    std::lock_guard<std::mutex> guard(sinkMutex_);
    if (std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) sinks_.push_back(sink);
  }
  void Detach(IPacketSink* sink) {
    std::lock_guard<std::mutex> guard(sinkMutex_);
    sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), sink), sinks_.end());
  }

  void UpdatePanes(std::uint32_t panes, double timeSeconds, const std::uint8_t* packet, std::size_t length,
                   std::uint32_t commandIdHash) override {
    const PacketEvent event{panes, timeSeconds, packet, length, commandIdHash};
    // Held during the calls, so that a sink is never called after Detach.
    std::lock_guard<std::mutex> guard(sinkMutex_);
    for (IPacketSink* sink : sinks_) sink->OnPacket(event);
  }
  void ResetMonitors() override {
    if (observer_ != nullptr) observer_->ResetMonitors();
  }
  void SetMonitorTimeCursor(double timeSeconds) override {
    if (observer_ != nullptr) observer_->SetMonitorTimeCursor(timeSeconds);
  }
  void RefreshStatus() override {
    if (observer_ != nullptr) observer_->RefreshStatus();
  }
  void FlashStatus(std::string_view text, std::uint32_t textColor, std::uint32_t backColor,
                   std::uint32_t durationMs) override {
    if (observer_ != nullptr) observer_->FlashStatus(text, textColor, backColor, durationMs);
  }
  void RefreshLoggerToolbar() override {
    if (observer_ != nullptr) observer_->RefreshLoggerToolbar();
  }
  void SetSliderRange(std::int32_t maximum) override {
    if (observer_ != nullptr) observer_->SetSliderRange(maximum);
  }
  void SetSlider(std::int32_t position) override {
    if (observer_ != nullptr) observer_->SetSlider(position);
  }
  void ClearOutputLog() override {
    if (observer_ != nullptr) observer_->ClearOutputLog();
  }

  void PortOpenFailed(const std::string& text) override {
    if (observer_ != nullptr) observer_->PortOpenFailed(text);
  }
  void AcquisitionEnded() override {
    if (observer_ != nullptr) observer_->AcquisitionEnded();
  }
  void DatalogEnded() override {
    {
      std::lock_guard<std::mutex> guard(endMutex_);
      datalogEnded_ = true;
    }
    endCv_.notify_all();
    if (observer_ != nullptr) observer_->DatalogEnded();
  }
  void CloseWindow() override {
    if (observer_ != nullptr) observer_->CloseWindow();
  }

  void ResetDatalogEnded() {
    std::lock_guard<std::mutex> guard(endMutex_);
    datalogEnded_ = false;
  }
  bool WaitDatalogEnded(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(endMutex_);
    return endCv_.wait_for(lock, timeout, [this] { return datalogEnded_; });
  }

 private:
  ISessionObserver* const observer_;
  std::mutex sinkMutex_;
  std::vector<IPacketSink*> sinks_;  // guarded by sinkMutex_
  std::mutex endMutex_;
  std::condition_variable endCv_;
  bool datalogEnded_ = false;  // guarded by endMutex_
};

// The names given by the owner instead of dialogs; errors to onError.
class Session::DefaultView : public ILoggerView {
 public:
  explicit DefaultView(std::function<void(const std::string&, const std::string&)> onError)
      : onError_(std::move(onError)) {}

  bool ChooseLogToLoad(std::string* path) override {
    *path = loadName;
    return !loadName.empty();
  }
  bool ChooseSaveName(std::string* path) override {
    *path = saveName;
    return !saveName.empty();
  }
  void ShowError(const std::string& title, const std::string& text) override {
    if (onError_) onError_(title, text);
  }
  void RefreshTitle() override {}
  void CheckSpeedItem(SpeedItem) override {}

  std::string saveName;
  std::string loadName;

 private:
  std::function<void(const std::string&, const std::string&)> onError_;
};

Session::Session(SessionOptions options)
    : options_(std::move(options)),
      definition_(std::make_unique<ADXDefinition>()),
      log_(std::make_unique<QvDebugOutput>()),
      engine_(std::make_unique<DataAcqEngine>()),
      datalog_(std::make_unique<DataLogFile>()),
      hub_(std::make_unique<Hub>(options_.observer)),
      defaultView_(std::make_unique<DefaultView>(options_.onError)) {
  acquisition_ = std::make_unique<AcquisitionControl>(*definition_, *engine_, *datalog_, *log_, *hub_, *hub_);
  ILoggerView& view = options_.view != nullptr ? *options_.view : static_cast<ILoggerView&>(*defaultView_);
  logger_ = std::make_unique<LoggerControl>(*acquisition_, view, options_.recordingFolder);
}

Session::~Session() {
  // Workers first: a running scan is stopped and its threads joined; a
  // recording is closed (what was written stays playable in temp.xdl), a
  // playback thread is joined by the close. Nothing a worker reaches goes
  // away before that.
  StopScan();
  (void)datalog_->Close();
  logger_.reset();
  acquisition_.reset();
  log_->SetSink(nullptr);
}

ADXDefinition& Session::Definition() {
  return *definition_;
}

QvDebugOutput& Session::Log() {
  return *log_;
}

DataLogFile& Session::Datalog() {
  return *datalog_;
}

AcquisitionControl& Session::Acquisition() {
  return *acquisition_;
}

LoggerControl& Session::Logger() {
  return *logger_;
}

bool Session::Busy() const {
  return acquisition_->IsRunning() || !acquisition_->IsAcquisitionDone() ||
         datalog_->State() != XDL_STATE_CLOSED || datalog_->IsPlaybackThreadRunning();
}

DefinitionLoad Session::LoadDefinition(const std::string& path, DefinitionFormat format,
                                       IProgress* progress) {
  DefinitionLoad result;
  if (Busy()) {
    result.messages.push_back("Stop scanning and close the log before changing the definition");
    return result;
  }
  if (format == DefinitionFormat::Adx) {
    char error[256] = {};
    result.ok = LoadAdx(definition_.get(), path.c_str(), error, sizeof error, progress) != 0;
    if (error[0] != '\0') result.messages.emplace_back(error);
    return result;
  }
  ALDLDefinition legacy;
  AdsMessageLog messages;
  if (LoadAds(path, legacy, &messages)) {
    AdsConversionSummary summary;
    result.ok = ConvertAdsToAdx(definition_.get(), &legacy, &summary) != 0;
    for (const AdsMessage& message : messages.Messages()) result.messages.push_back(message.ToString());
    if (result.ok) {
      for (const std::string& note : summary.notes) result.messages.push_back(note);
    }
  } else {
    for (const AdsMessage& message : messages.Messages()) result.messages.push_back(message.ToString());
  }
  return result;
}

void Session::SetPort(const std::string& path) {
  acquisition_->SetPortName(path);
}

void Session::ToggleConnection() {
  acquisition_->ToggleConnection();
}

void Session::StopScan() {
  if (acquisition_->IsRunning()) acquisition_->StartControlThread(AcquisitionControl::kStopAcquisition);
  acquisition_->JoinWorkers();
}

bool Session::IsScanning() const {
  return acquisition_->IsRunning();
}

bool Session::LastOpenFailed() const {
  return acquisition_->LastOpenFailed();
}

XdlResult Session::Record(const std::string& saveName) {
  defaultView_->saveName = saveName;
  return logger_->Record();
}

void Session::SetLogPath(const std::string& path) {
  defaultView_->loadName = path;
  logger_->SetCurrentLogPath(path);
}

XdlResult Session::Play() {
  hub_->ResetDatalogEnded();
  return logger_->Play();
}

void Session::Pause() {
  logger_->Pause();
}

void Session::StopLog() {
  logger_->Stop();
}

XdlResult Session::Seek(std::int32_t position) {
  return logger_->SliderMoved(position);
}

void Session::SetPlaybackSpeed(float factor) {
  logger_->SetPlaybackSpeed(factor);
}

PlayResult Session::PlayToEnd(const std::string& logPath, float speed, const std::atomic<bool>* stop) {
  using namespace std::chrono_literals;
  PlayResult result;
  SetPlaybackSpeed(speed);
  SetLogPath(logPath);
  const XdlResult code = Play();
  if (code != XDL_OK) {
    result.outcome = PlayOutcome::OpenFailed;
    result.code = code;
    return result;
  }
  bool stopping = false;
  while (!hub_->WaitDatalogEnded(20ms)) {
    if (!stopping && stop != nullptr && stop->load(std::memory_order_acquire)) {
      logger_->Stop();
      stopping = true;
      result.outcome = PlayOutcome::Stopped;
    }
    // A read error ends playback without the end notice.
    const XdlResult last = datalog_->LastPlaybackResult();
    if (!stopping && !datalog_->IsPlaybackThreadRunning() && last != XDL_OK && last != XDL_END_OF_DATA) {
      result.outcome = PlayOutcome::ReadFailed;
      result.code = last;
      break;
    }
  }
  // Every control thread has ended before the log is closed here.
  acquisition_->JoinWorkers();
  logger_->OnDatalogStopped();
  acquisition_->JoinWorkers();
  (void)datalog_->Close();
  return result;
}

void Session::OnDatalogStopped() {
  logger_->OnDatalogStopped();
}

bool Session::WaitDatalogEnded(std::chrono::milliseconds timeout) {
  return hub_->WaitDatalogEnded(timeout);
}

void Session::RequestStopAll(bool closeWindow) {
  std::uint32_t bits = AcquisitionControl::kStopAcquisition | AcquisitionControl::kStopDatalog;
  if (closeWindow) bits |= AcquisitionControl::kCloseWindow;
  acquisition_->StartControlThread(bits);
}

void Session::JoinWorkers() {
  acquisition_->JoinWorkers();
}

void Session::AttachSink(IPacketSink* sink) {
  if (sink != nullptr) hub_->Attach(sink);
}

void Session::DetachSink(IPacketSink* sink) {
  hub_->Detach(sink);
}

SessionStatus Session::Status() {
  SessionStatus status;
  status.line = acquisition_->StatusSnapshot();
  status.scanning = acquisition_->IsRunning();
  status.logState = datalog_->State();
  status.logSample = datalog_->SampleIndex();
  return status;
}

LoggerToolbarState Session::ToolbarState() const {
  return logger_->ToolbarState();
}
