#include "acquisition/control/CommandLineSession.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "acquisition/DataAcqEngine.h"
#include "acquisition/FileTextSink.h"
#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/AcquisitionControl.h"
#include "acquisition/control/AcquisitionDisplay.h"
#include "acquisition/control/AppMessages.h"
#include "acquisition/control/ItemRows.h"
#include "acquisition/control/LiveTable.h"
#include "acquisition/control/LoggerControl.h"
#include "acquisition/control/platform/FileMove.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"

namespace {

using namespace std::chrono_literals;

// Where the rows go: a file or standard output. Rows are buffered and written
// in blocks; a live scan flushes every row so that a reader sees it at once.
class CsvOutput {
 public:
  CsvOutput() = default;
  CsvOutput(const CsvOutput&) = delete;
  CsvOutput& operator=(const CsvOutput&) = delete;
  ~CsvOutput() { Finish(); }

  bool Open(const std::string& path, bool flushEachRow, std::FILE* err) {
    flushEachRow_ = flushEachRow;
    if (path == "-") {
      stream_ = stdout;
      return true;
    }
    stream_ = std::fopen(path.c_str(), "wb");
    if (stream_ == nullptr) {
      std::fprintf(err, "Cannot write %s\n", path.c_str());
      return false;
    }
    owned_ = true;
    return true;
  }
  bool IsOpen() const { return stream_ != nullptr; }

  // Called by one thread at a time (the thread that delivers packets, or the
  // session's thread before and after them).
  void Write(const std::string& text) {
    if (stream_ == nullptr) return;
    buffer_ += text;
    if (flushEachRow_ || buffer_.size() >= kBlock) Flush();
  }
  // Writes what is buffered and closes a file; false when anything failed.
  bool Finish() {
    if (stream_ == nullptr) return !failed_;
    Flush();
    if (owned_) {
      if (std::fclose(stream_) != 0) failed_ = true;
    } else if (std::fflush(stream_) != 0) {
      failed_ = true;
    }
    stream_ = nullptr;
    return !failed_;
  }

 private:
  static constexpr std::size_t kBlock = 1 << 16;

  void Flush() {
    if (buffer_.empty()) return;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) != buffer_.size()) failed_ = true;
    if (flushEachRow_ && std::fflush(stream_) != 0) failed_ = true;
    buffer_.clear();
  }

  std::FILE* stream_ = nullptr;
  bool owned_ = false;
  bool flushEachRow_ = false;
  bool failed_ = false;
  std::string buffer_;
};

// The display of the command-line tool: a CSV row per good packet, written
// from the thread that delivers it, and the newest texts for the live table.
class CliDisplay : public IAcquisitionDisplay {
 public:
  CliDisplay(const ItemRowFormatter& formatter, QvDebugOutput& log, CsvOutput& csv, bool live)
      : formatter_(formatter), log_(log), csv_(csv), live_(live), texts_(formatter.ItemCount()) {}

  void UpdatePanes(std::uint32_t panes, double timeSeconds, const std::uint8_t* packet, std::size_t length,
                   std::uint32_t commandIdHash) override {
    // Triggers update panes without a packet: they make no row.
    if (panes != kPaneAll || packet == nullptr) return;
    if (csv_.IsOpen()) {
      row_.clear();
      formatter_.AppendRow(row_, timeSeconds, packet, length, commandIdHash);
      csv_.Write(row_);
    }
    if (live_) {
      std::vector<std::string> texts(formatter_.ItemCount());
      for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = formatter_.ItemText(i, packet, length, commandIdHash);
      std::lock_guard<std::mutex> guard(mutex_);
      texts_ = std::move(texts);
    }
  }
  void ResetMonitors() override {}
  void SetMonitorTimeCursor(double) override {}
  void RefreshStatus() override {}
  void FlashStatus(std::string_view, std::uint32_t, std::uint32_t, std::uint32_t) override {}
  void RefreshLoggerToolbar() override {}
  void SetSliderRange(std::int32_t) override {}
  void SetSlider(std::int32_t) override {}
  void ClearOutputLog() override { log_.Clear(); }

  std::vector<LiveTableRow> LiveRows() const {
    std::vector<LiveTableRow> rows(formatter_.ItemCount());
    std::lock_guard<std::mutex> guard(mutex_);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      rows[i].id = formatter_.Items()[i]->id;
      rows[i].value = texts_[i];
      rows[i].units = formatter_.ItemUnits(i);
    }
    return rows;
  }

 private:
  const ItemRowFormatter& formatter_;
  QvDebugOutput& log_;
  CsvOutput& csv_;
  const bool live_;
  std::string row_;  // used by the delivering thread only
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;  // guarded by mutex_
};

// The control thread's notices, waited for by the session's thread.
class CliMessages : public IAppMessages {
 public:
  void AcquisitionEnded() override {}
  void DatalogEnded() override {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      datalogEnded_ = true;
    }
    cv_.notify_all();
  }
  void CloseWindow() override {}

  bool WaitDatalogEnded(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return datalogEnded_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool datalogEnded_ = false;  // guarded by mutex_
};

// Names given on the command line instead of dialogs; errors to the stream.
class CliLoggerView : public ILoggerView {
 public:
  CliLoggerView(std::string saveName, std::string loadName, std::FILE* err)
      : saveName_(std::move(saveName)), loadName_(std::move(loadName)), err_(err) {}

  bool ChooseLogToLoad(std::string* path) override {
    *path = loadName_;
    return !loadName_.empty();
  }
  bool ChooseSaveName(std::string* path) override {
    *path = saveName_;
    return !saveName_.empty();
  }
  void ShowError(const std::string& title, const std::string& text) override {
    std::fprintf(err_, "%s: %s\n", title.c_str(), text.c_str());
    errorShown = true;
  }
  void RefreshTitle() override {}
  void CheckSpeedItem(SpeedItem) override {}

  bool errorShown = false;

 private:
  std::string saveName_;
  std::string loadName_;
  std::FILE* err_;
};

bool LoadDefinition(ADXDefinition* definition, const std::string& path, std::FILE* err) {
  char message[256] = {};
  if (LoadAdx(definition, path.c_str(), message, sizeof message, nullptr) != 0) return true;
  std::fprintf(err, "FAILED to Load %s%s%s\n", path.c_str(), message[0] != '\0' ? ": " : "", message);
  return false;
}

// Redraws the live table a few times per second until stopped.
class LiveView {
 public:
  LiveView(AcquisitionControl& control, const CliDisplay& display) : control_(control), display_(display) {
    std::fputs("\x1b[2J", stdout);
    thread_ = std::thread([this] { Run(); });
  }
  ~LiveView() {
    stop_.store(true, std::memory_order_release);
    thread_.join();
    Draw();
  }

 private:
  void Run() {
    while (!stop_.load(std::memory_order_acquire)) {
      Draw();
      for (int i = 0; i < 25 && !stop_.load(std::memory_order_acquire); ++i)
        std::this_thread::sleep_for(10ms);
    }
  }
  void Draw() {
    const StatusLineInput input = control_.StatusSnapshot();
    std::string status = StatusStateText(input.logState, input.connectionState);
    const auto figures = StatusFiguresText(input);
    if (figures) last_ = *figures;
    if (!last_.empty()) status += "   " + last_;
    int width = 80, height = 24;
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
      width = size.ws_col;
      height = size.ws_row;
    }
    const std::string text = LiveTableText(status, display_.LiveRows(), width, height);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }

  AcquisitionControl& control_;
  const CliDisplay& display_;
  std::string last_;  // used by the drawing thread, then by the destructor after the join
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

int RunScanSession(const ScanOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err) {
  if (options.live && options.csvPath == "-") {
    std::fprintf(err, "scan: --live and --csv - both need the terminal\n");
    return 1;
  }
  ADXDefinition definition;
  if (!LoadDefinition(&definition, options.definitionPath, err)) return 1;
  const ItemRowFormatter formatter(definition);
  CsvOutput csv;
  if (!options.csvPath.empty()) {
    if (!csv.Open(options.csvPath, true, err)) return 1;
    csv.Write(formatter.HeaderRow());
  }

  FileTextSink sink(err);
  QvDebugOutput log;
  if (options.verbose) log.SetSink(&sink);
  DataAcqEngine engine;
  DataLogFile datalog;
  CliDisplay display(formatter, log, csv, options.live);
  CliMessages messages;
  CliLoggerView view(options.recordPath, std::string(), err);
  int status = 0;
  {
    AcquisitionControl control(definition, engine, datalog, log, display, messages);
    LoggerControl logger(
        control, view, options.recordingFolder.empty() ? DefaultRecordingFolder() : options.recordingFolder);
    control.SetPortName(options.portPath);
    control.ToggleConnection();
    bool recording = false;
    if (!options.recordPath.empty()) {
      if (logger.Record() == XDL_OK) {
        recording = true;
      } else {
        std::fprintf(err, "Cannot record to %s\n", logger.RecordingPath().c_str());
        status = 1;
      }
    }
    {
      std::unique_ptr<LiveView> live;
      if (options.live) live = std::make_unique<LiveView>(control, display);
      const auto start = std::chrono::steady_clock::now();
      // The user's stop: Ctrl+C, the end of --seconds, or a failed recording.
      while (status == 0 && control.IsRunning() && !stopRequested.load(std::memory_order_acquire)) {
        if (options.seconds > 0.0 &&
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >=
                options.seconds) {
          break;
        }
        std::this_thread::sleep_for(20ms);
      }
      if (control.IsRunning()) control.StartControlThread(AcquisitionControl::kStopAcquisition);
      control.JoinWorkers();
    }
    if (control.LastOpenFailed()) {
      if (!options.verbose) std::fprintf(err, "%s\n", control.OpenFailureText().c_str());
      datalog.Close();
      status = 1;
    } else if (recording) {
      logger.Stop();
      if (view.errorShown) {
        std::fprintf(err, "The recording stays in %s\n", logger.RecordingPath().c_str());
        status = 1;
      }
    }
    control.JoinWorkers();
    datalog.Close();
  }
  if (!csv.Finish()) {
    std::fprintf(err, "Cannot write %s\n", options.csvPath.c_str());
    status = 1;
  }
  return status;
}

int RunPlaySession(const PlayOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err) {
  ADXDefinition definition;
  if (!LoadDefinition(&definition, options.definitionPath, err)) return 1;
  if (options.logPath.empty() || options.logPath.size() > LoggerControl::kMaxPathLength) {
    std::fprintf(err, "Could not open %s\n", options.logPath.c_str());
    return 1;
  }
  const ItemRowFormatter formatter(definition);
  CsvOutput csv;
  if (!options.csvPath.empty()) {
    if (!csv.Open(options.csvPath, false, err)) return 1;
    csv.Write(formatter.HeaderRow());
  }

  FileTextSink sink(err);
  QvDebugOutput log;
  if (options.verbose) log.SetSink(&sink);
  DataAcqEngine engine;
  DataLogFile datalog;
  CliDisplay display(formatter, log, csv, false);
  CliMessages messages;
  CliLoggerView view(std::string(), options.logPath, err);
  int status = 0;
  {
    AcquisitionControl control(definition, engine, datalog, log, display, messages);
    LoggerControl logger(control, view, std::string());
    logger.SetPlaybackSpeed(options.speed);
    logger.SetCurrentLogPath(options.logPath);
    const int code = logger.Play();
    if (code != XDL_OK) {
      if (!options.verbose) {
        std::fprintf(err, "Could not open %s, error 0x%X\n", options.logPath.c_str(),
                     static_cast<unsigned>(code));
      }
      status = 1;
    } else {
      bool stopping = false;
      while (!messages.WaitDatalogEnded(20ms)) {
        if (!stopping && stopRequested.load(std::memory_order_acquire)) {
          logger.Stop();
          stopping = true;
        }
        // A read error ends playback without the end notification.
        const int result = datalog.LastPlaybackResult();
        if (!stopping && !datalog.IsPlaybackThreadRunning() && result != XDL_OK &&
            result != XDL_END_OF_DATA) {
          std::fprintf(err, "Playback of %s ended on error 0x%X\n", options.logPath.c_str(),
                       static_cast<unsigned>(result));
          status = 1;
          break;
        }
      }
      // Every control thread has ended before the log is closed here.
      control.JoinWorkers();
      logger.OnDatalogStopped();
    }
    control.JoinWorkers();
    datalog.Close();
  }
  if (!csv.Finish()) {
    std::fprintf(err, "Cannot write %s\n", options.csvPath.c_str());
    status = 1;
  }
  return status;
}

int RunExportSession(const std::string& logPath, const std::string& definitionPath,
                     const std::string& outPath, std::FILE* err) {
  PlayOptions options;
  options.logPath = logPath;
  options.definitionPath = definitionPath;
  options.speed = 0.0f;
  options.csvPath = outPath.empty() ? "-" : outPath;
  const std::atomic<bool> never{false};
  return RunPlaySession(options, never, err);
}
