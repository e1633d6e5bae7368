// Recording and playback as the user drives them: Record, Play, Pause, Stop,
// Load Log, the jumps, the position slider and the playback speed. Every
// recording is written to "temp.xdl" in the recording folder first and moved
// to the name the user gives when it stops, never replacing an existing file.
// An earlier temp.xdl is never overwritten: it is renamed with its time stamp
// (temp-YYYYMMDD-HHMMSS.xdl) before a new recording starts. A recording that
// fails to write ends with a message that gives the system's reason and names
// the file that holds what was written; every message names the file where
// the data really is.
//
// The dialogs (file names, the failed-save box) and the window title and speed
// menu come through ILoggerView, so the window shows its dialogs while tests
// and the command-line tool inject names.
//
// Thread contract: every operation runs on the user-interface thread, except
// StopFromPlaybackEnd, which the playback thread calls when the log ends: it
// only starts the control thread, which joins the playback thread and reports
// DatalogEnded; the program then calls OnDatalogStopped on the user-interface
// thread. The current log path and the speed are only touched on the
// user-interface thread.
#pragma once

#include <cstdint>
#include <string>

#include "acquisition/control/LogStopper.h"
#include "acquisition/control/LoggerToolbar.h"
#include "datalog/XdlFormat.h"

class AcquisitionControl;
class ADXDefinition;
class DataLogFile;

class ILoggerView {
 public:
  virtual ~ILoggerView() = default;
  // The open dialog ("Select datalog..."): true with the chosen name.
  virtual bool ChooseLogToLoad(std::string* path) = 0;
  // The save dialog ("Select/Create file to save..."): true with the name.
  virtual bool ChooseSaveName(std::string* path) = 0;
  // A modal error box with the title and text.
  virtual void ShowError(const std::string& title, const std::string& text) = 0;
  // The window title and the checked speed item follow the state again.
  virtual void RefreshTitle() = 0;
  virtual void CheckSpeedItem(SpeedItem item) = 0;
};

class LoggerControl : public ILogStopper {
 public:
  static constexpr const char* kRecordingFileName = "temp.xdl";
  // Longest log path that is kept (a 260-byte buffer with its terminator).
  static constexpr std::size_t kMaxPathLength = 259;

  // recordingFolder holds temp.xdl (see DefaultRecordingFolder). Registers
  // itself as the acquisition's log stopper.
  LoggerControl(AcquisitionControl& acquisition, ILoggerView& view, std::string recordingFolder);
  ~LoggerControl() override;

  // Starts recording into temp.xdl with an entry for every recordable command.
  // Returns the datalog's result (CannotOpen when the earlier temp.xdl could
  // not be kept or the file not opened).
  XdlResult Record();
  XdlResult Play();
  void Pause();
  void Stop();
  void LoadLog();
  // Jumps of ten samples through the datalog's seek.
  XdlResult JumpForward();
  XdlResult JumpBackward();
  // The user moved the position slider.
  XdlResult SliderMoved(std::int32_t position);
  void SetPlaybackSpeed(float factor);
  float PlaybackSpeed() const { return speed_; }

  // The program's handler of IAppMessages::DatalogEnded. Also reports a
  // recording that ended on a failed write.
  void OnDatalogStopped();
  void StopFromPlaybackEnd() override;

  // The toolbar for the current state.
  LoggerToolbarState ToolbarState() const;
  const std::string& CurrentLogPath() const { return currentLogPath_; }
  void SetCurrentLogPath(const std::string& path);
  std::string RecordingPath() const;

 private:
  void RefreshToolbarAndStatus();
  void SaveRecording(const std::string& name);
  // Reports (once) a recording that ended on a failed write; true when there
  // was one.
  bool ReportRecordingFailure();
  // Renames an existing temp.xdl with its time stamp; 0 or the system error.
  int KeepEarlierRecording(std::string* backup) const;

  AcquisitionControl& acquisition_;
  DataLogFile& datalog_;
  ADXDefinition& definition_;
  ILoggerView& view_;
  std::string recordingFolder_;
  std::string currentLogPath_;
  float speed_ = 1.0f;
};
