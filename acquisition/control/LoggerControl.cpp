#include "acquisition/control/LoggerControl.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/AcquisitionControl.h"
#include "acquisition/control/AcquisitionDisplay.h"
#include "acquisition/control/platform/FileMove.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"

namespace {

// Every recorded entry stores the whole packet: a mask of 120 set bits, and
// bits beyond the mask count as set.
constexpr std::uint32_t kRecordMaskBits = 15 * 8;

// The system's reason in the program's own language, whatever the locale.
std::string SystemReason(int error) {
  const char* text = ::strerrordesc_np(error != 0 ? error : EIO);
  return text != nullptr ? text : "error " + std::to_string(error);
}

}  // namespace

LoggerControl::LoggerControl(AcquisitionControl& acquisition, ILoggerView& view, std::string recordingFolder)
    : acquisition_(acquisition),
      datalog_(acquisition.Datalog()),
      definition_(acquisition.Definition()),
      view_(view),
      recordingFolder_(std::move(recordingFolder)) {
  acquisition_.SetLogStopper(this);
}

LoggerControl::~LoggerControl() {
  acquisition_.SetLogStopper(nullptr);
}

std::string LoggerControl::RecordingPath() const {
  if (recordingFolder_.empty()) return kRecordingFileName;
  return recordingFolder_ + "/" + kRecordingFileName;
}

void LoggerControl::SetCurrentLogPath(const std::string& path) {
  if (path.size() <= kMaxPathLength) currentLogPath_ = path;
}

LoggerToolbarState LoggerControl::ToolbarState() const {
  return UpdateLoggerToolbar(datalog_.State(), acquisition_.GetConnectionState());
}

void LoggerControl::RefreshToolbarAndStatus() {
  acquisition_.Display().RefreshLoggerToolbar();
  acquisition_.Display().RefreshStatus();
}

XdlResult LoggerControl::Record() {
  const XdlState state = datalog_.State();
  if (state != XDL_STATE_CLOSED && state != XDL_STATE_READY) return XDL_ERR_STATE;
  const std::string path = RecordingPath();
  // An earlier recording that was never saved is kept under its time stamp.
  std::string backup;
  const int backupError = KeepEarlierRecording(&backup);
  if (backupError != 0) {
    acquisition_.Log().Log("Could not keep the earlier recording %s as %s: %s. Not recording.", path.c_str(),
                           backup.c_str(), SystemReason(backupError).c_str());
    view_.ShowError("Cannot record", "The earlier recording " + path + " could not be kept (" +
                                         SystemReason(backupError) + "), so no new recording was started.");
    acquisition_.Display().RefreshLoggerToolbar();
    return XDL_ERR_CANNOT_OPEN;
  }
  if (!backup.empty()) acquisition_.Log().Log("The earlier recording was kept as %s", backup.c_str());
  XdlResult code = datalog_.Open(path.c_str(), false);
  if (code != XDL_OK) {
    acquisition_.Log().Log("Could not open %s, error 0x%X: %s", path.c_str(), static_cast<unsigned>(code),
                           SystemReason(datalog_.OpenError()).c_str());
    acquisition_.Display().RefreshLoggerToolbar();
    return code;
  }
  for (std::size_t i = 0; i < definition_.ObjectCount(); ++i) {
    const ADXObject* object = definition_.ObjectAt(i);
    if (object == nullptr) continue;
    XdlEntry entry;
    if (object->objectType == ADX_TYPE_SENDCOMMAND) {
      const auto* send = static_cast<const ADXCSendCommand*>(object);
      if ((send->flags & kSendReadReply) == 0) continue;
      entry.storedSize = entry.fullSize = static_cast<std::uint32_t>(std::max(0, send->replysize));
    } else if (object->objectType == ADX_TYPE_160BAUDLISTEN) {
      const auto* listen = static_cast<const ADXC160BaudListen*>(object);
      entry.storedSize = entry.fullSize = static_cast<std::uint32_t>(std::max(0, listen->packetsize));
    } else {
      continue;
    }
    entry.commandIdHash = object->idhash;
    entry.SetIdText(object->id);
    entry.commandType = object->objectType;
    entry.mask = XdlMask::AllSet(kRecordMaskBits);
    code = datalog_.AddEntry(entry);
    if (code != XDL_OK) {
      acquisition_.Log().Log("Could not record %s, error 0x%X", object->id, static_cast<unsigned>(code));
    }
  }
  code = datalog_.StartRecording();
  if (code == XDL_OK) {
    acquisition_.NoteRecordingStarted();
  } else {
    acquisition_.Log().Log("Could not record %s, error 0x%X", path.c_str(), static_cast<unsigned>(code));
  }
  RefreshToolbarAndStatus();
  return code;
}

void LoggerControl::Stop() {
  const XdlState state = datalog_.State();
  if (state == XDL_STATE_RECORDING) {
    // A recording that cannot be finished keeps its cause in RecordingFailure,
    // reported below.
    (void)datalog_.StopRecording();
    datalog_.Close();
    // A recording that could not be finished is reported, not saved.
    if (ReportRecordingFailure()) return;
    acquisition_.Log().LogText("Recording stopped");
    std::string name;
    if (view_.ChooseSaveName(&name) && !name.empty()) SaveRecording(name);
  } else if (ReportRecordingFailure()) {
    return;  // the recording had ended on a failed write
  } else if (state == XDL_STATE_PLAYING || state == XDL_STATE_STOP_REQUESTED ||
             acquisition_.GetConnectionState() == LogPaused) {
    acquisition_.StartControlThread(AcquisitionControl::kStopDatalog);
  }
  RefreshToolbarAndStatus();
}

void LoggerControl::SaveRecording(const std::string& name) {
  const std::string temp = RecordingPath();
  const int error = MoveFileNoReplace(temp, name);
  if (error == 0) {
    SetCurrentLogPath(name);
    acquisition_.Log().Log("Log saved to %s", name.c_str());
  } else if (error == EEXIST) {
    view_.ShowError("Cannot overwrite",
                    name + " already exists. Log save failed; the recording is in " + temp);
    acquisition_.Log().Log("Cannot overwrite existing log: %s, error 0x%X", name.c_str(),
                           static_cast<unsigned>(error));
  } else {
    // The real cause: a missing or read-only folder, a full disk...
    const std::string reason = SystemReason(error);
    view_.ShowError("Log save failed",
                    "Cannot save " + name + ": " + reason + ". The recording is in " + temp);
    acquisition_.Log().Log("Log save failed: %s: %s, error 0x%X; the recording is in %s", name.c_str(),
                           reason.c_str(), static_cast<unsigned>(error), temp.c_str());
  }
  acquisition_.Display().SetSlider(0);
  view_.RefreshTitle();
}

bool LoggerControl::ReportRecordingFailure() {
  const int error = datalog_.TakeRecordingFailure();
  if (error == 0) return false;
  datalog_.Close();
  const std::string temp = RecordingPath();
  const std::string text = "Recording stopped: cannot write " + temp + ": " + SystemReason(error) +
                           ". What was recorded until then is in " + temp;
  acquisition_.Log().LogText(text.c_str());
  view_.ShowError("Recording failed", text);
  RefreshToolbarAndStatus();
  view_.RefreshTitle();
  return true;
}

int LoggerControl::KeepEarlierRecording(std::string* backup) const {
  const std::string path = RecordingPath();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
  // temp-YYYYMMDD-HHMMSS.xdl from the time it was last written, numbered when
  // that name is taken.
  std::tm local{};
  const std::time_t when = st.st_mtime;
  ::localtime_r(&when, &local);
  char stamp[32] = {};
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base =
      (recordingFolder_.empty() ? std::string() : recordingFolder_ + "/") + "temp-" + stamp;
  int error = 0;
  for (int n = 1; n < 1000; ++n) {
    *backup = base + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".xdl";
    error = MoveFileNoReplace(path, *backup);
    if (error != EEXIST) return error;
  }
  return error;
}

void LoggerControl::StopFromPlaybackEnd() {
  Stop();
}

void LoggerControl::OnDatalogStopped() {
  datalog_.Close();
  // The control thread also ends a recording that failed to write.
  if (ReportRecordingFailure()) return;
  acquisition_.Log().LogText("Playback stopped");
  // A live connection keeps its own state; only playback's states end here.
  if (!acquisition_.IsRunning()) acquisition_.SetConnectionState(NotConnected);
  RefreshToolbarAndStatus();
  acquisition_.Display().SetSlider(0);
}

XdlResult LoggerControl::Play() {
  if (datalog_.State() == XDL_STATE_READY && acquisition_.GetConnectionState() == LogPaused) {
    const XdlResult code = datalog_.StartPlayback();
    if (code == XDL_OK) {
      acquisition_.Log().LogText("Playback unpaused");
    } else {
      acquisition_.Log().Log("Could not play %s, error 0x%X", currentLogPath_.c_str(),
                             static_cast<unsigned>(code));
    }
    acquisition_.Display().RefreshLoggerToolbar();
    return code;
  }
  const XdlState state = datalog_.State();
  if (state == XDL_STATE_PLAYING || state == XDL_STATE_RECORDING || state == XDL_STATE_OPEN_RECORD) {
    return XDL_ERR_STATE;  // the toolbar never offers Play here
  }
  datalog_.SetCallback(&acquisition_.Callback());
  XdlResult code = datalog_.Open(currentLogPath_.c_str(), true);
  if (code != XDL_OK) {
    acquisition_.Log().Log("Could not open %s, error 0x%X", currentLogPath_.c_str(),
                           static_cast<unsigned>(code));
    return code;
  }
  datalog_.SetSpeed(speed_);
  acquisition_.Display().ResetMonitors();
  acquisition_.Display().SetSliderRange(static_cast<std::int32_t>(datalog_.RecordCount()));
  code = datalog_.StartPlayback();
  if (code == XDL_OK) {
    acquisition_.Log().Log("Playing %s", currentLogPath_.c_str());
  } else {
    acquisition_.Log().Log("Could not play %s, error 0x%X", currentLogPath_.c_str(),
                           static_cast<unsigned>(code));
  }
  acquisition_.Display().RefreshLoggerToolbar();
  return code;
}

void LoggerControl::Pause() {
  if (datalog_.State() != XDL_STATE_PLAYING) return;
  datalog_.RequestStop();
  // The playback thread ends before its next record; waiting for it here means
  // the log is ready (state Ready) when Play continues, instead of reopening it.
  datalog_.WaitForPlaybackThread();
  acquisition_.SetConnectionState(LogPaused);
  RefreshToolbarAndStatus();
  acquisition_.Log().LogText("Playback paused");
}

void LoggerControl::LoadLog() {
  if (datalog_.State() == XDL_STATE_PLAYING) {
    datalog_.RequestStop();
    datalog_.WaitForPlaybackThread();
    acquisition_.SetConnectionState(LogPaused);
    RefreshToolbarAndStatus();
  }
  std::string name;
  if (view_.ChooseLogToLoad(&name) && !name.empty()) {
    if (name.size() <= kMaxPathLength) {
      currentLogPath_ = name;
    } else {
      acquisition_.Log().Log("Log path too long: %.200s...", name.c_str());
    }
  }
  acquisition_.Display().RefreshLoggerToolbar();
  view_.RefreshTitle();
}

XdlResult LoggerControl::JumpForward() {
  return datalog_.Seek(datalog_.SampleIndex() + 10, 0);
}

XdlResult LoggerControl::JumpBackward() {
  const std::int32_t target = datalog_.SampleIndex() - 10;
  return datalog_.Seek(target < 0 ? 0 : target, XDL_SEEK_FROM_START);
}

XdlResult LoggerControl::SliderMoved(std::int32_t position) {
  return datalog_.Seek(position < 0 ? 0 : position, XDL_SEEK_FROM_START);
}

void LoggerControl::SetPlaybackSpeed(float factor) {
  speed_ = factor;
  datalog_.SetSpeed(factor);
  view_.RefreshTitle();
  view_.CheckSpeedItem(CheckedSpeedItem(factor));
}
