#include "tools/varnak-cli/CommandLineSession.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "acquisition/FileTextSink.h"
#include "acquisition/QvDebugOutput.h"
#include "acquisition/control/AcquisitionControl.h"
#include "acquisition/control/LoggerControl.h"
#include "acquisition/control/platform/FileMove.h"
#include "datalog/XdlFormat.h"
#include "definition/ADXDefinition.h"
#include "session/Session.h"
#include "telemetry/LiveTelemetry.h"
#include "tools/varnak-cli/ItemRows.h"
#include "tools/varnak-cli/LiveTable.h"

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

// The rows of the command-line tool: a CSV row per good packet, written from
// the thread that delivers it, and the newest texts for the live table.
class CliRows : public IPacketSink {
 public:
  CliRows(const ItemRowFormatter& formatter, CsvOutput& csv, bool live)
      : formatter_(formatter), csv_(csv), live_(live), texts_(formatter.ItemCount()) {}

  void OnPacket(const PacketEvent& event) override {
    // Triggers update panes without a packet: they make no row.
    if (!event.IsFullPacket()) return;
    if (csv_.IsOpen()) {
      row_.clear();
      formatter_.AppendRow(row_, event.timeSeconds, event.packet, event.length, event.commandIdHash);
      csv_.Write(row_);
    }
    if (live_) {
      std::vector<std::string> texts(formatter_.ItemCount());
      for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = formatter_.ItemText(i, event.packet, event.length, event.commandIdHash);
      std::lock_guard<std::mutex> guard(mutex_);
      texts_ = std::move(texts);
    }
  }

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
  CsvOutput& csv_;
  const bool live_;
  std::string row_;  // used by the delivering thread only
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;  // guarded by mutex_
};

// The Output log's clears follow the control's count of log lines.
class CliObserver : public ISessionObserver {
 public:
  explicit CliObserver(QvDebugOutput* log) : log_(log) {}
  void ClearOutputLog() override {
    if (log_ != nullptr) log_->Clear();
  }

 private:
  QvDebugOutput* log_;
};

// Errors of recording and playback go to the error stream.
SessionOptions CliSessionOptions(ISessionObserver* observer, std::string folder, std::FILE* err,
                                 bool* errorShown) {
  SessionOptions options;
  options.observer = observer;
  options.recordingFolder = std::move(folder);
  options.onError = [err, errorShown](const std::string& title, const std::string& text) {
    std::fprintf(err, "%s: %s\n", title.c_str(), text.c_str());
    *errorShown = true;
  };
  return options;
}

bool LoadDefinition(Session& session, const std::string& path, std::FILE* err) {
  const DefinitionLoad load = session.LoadDefinition(path, DefinitionFormat::Adx);
  if (load.ok) return true;
  const std::string message = load.messages.empty() ? std::string() : load.messages.front();
  std::fprintf(err, "FAILED to Load %s%s%s\n", path.c_str(), message.empty() ? "" : ": ", message.c_str());
  return false;
}

// Redraws the live table a few times per second until stopped.
class LiveView {
 public:
  LiveView(Session& session, const CliRows& rows, const LiveTelemetry* telemetry)
      : session_(session), rows_(rows), telemetry_(telemetry) {
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
    const StatusLineInput input = session_.Status().line;
    std::string status = StatusStateText(input.logState, input.connectionState);
    const auto figures = StatusFiguresText(input);
    if (figures) last_ = *figures;
    if (!last_.empty()) status += "   " + last_;
    if (telemetry_ != nullptr) status += "   " + telemetry_->StatusText();
    int width = 80, height = 24;
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
      width = size.ws_col;
      height = size.ws_row;
    }
    const std::string text = LiveTableText(status, rows_.LiveRows(), width, height);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }

  Session& session_;
  const CliRows& rows_;
  const LiveTelemetry* telemetry_;  // borrowed; null without a broker
  std::string last_;                // used by the drawing thread, then by the destructor after the join
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

int RunScanSession(const ScanOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err) {
  if (options.live && options.csvPath == "-") {
    std::fprintf(err, "scan: --live and --csv - both need the terminal\n");
    return 1;
  }
  FileTextSink sink(err);
  CliObserver observer(nullptr);
  bool errorShown = false;
  Session session(CliSessionOptions(
      &observer, options.recordingFolder.empty() ? DefaultRecordingFolder() : options.recordingFolder, err,
      &errorShown));
  if (options.verbose) session.Log().SetSink(&sink);
  if (!LoadDefinition(session, options.definitionPath, err)) return 1;
  const ItemRowFormatter formatter(session.Definition());
  CsvOutput csv;
  if (!options.csvPath.empty()) {
    if (!csv.Open(options.csvPath, true, err)) return 1;
    csv.Write(formatter.HeaderRow());
  }
  CliRows rows(formatter, csv, options.live);
  session.AttachSink(&rows);
  std::unique_ptr<LiveTelemetry> telemetry;
  MqttAddress broker;
  if (!options.mqtt.empty() && ParseMqttAddress(options.mqtt, &broker)) {
    const std::string name = options.telemetryName.empty() ? DefaultTelemetryName() : options.telemetryName;
    telemetry = std::make_unique<LiveTelemetry>(
        session, broker, name, [err](const std::string& text) { std::fprintf(err, "%s\n", text.c_str()); });
  }

  int status = 0;
  session.SetPort(options.portPath);
  session.ToggleConnection();
  bool recording = false;
  if (!options.recordPath.empty()) {
    if (session.Record(options.recordPath) == XDL_OK) {
      recording = true;
    } else {
      std::fprintf(err, "Cannot record to %s\n", session.Logger().RecordingPath().c_str());
      status = 1;
    }
  }
  {
    std::unique_ptr<LiveView> live;
    if (options.live) live = std::make_unique<LiveView>(session, rows, telemetry.get());
    const auto start = std::chrono::steady_clock::now();
    // The user's stop: Ctrl+C, the end of --seconds, or a failed recording.
    bool stopped = false;
    while (status == 0 && session.IsScanning() && !stopRequested.load(std::memory_order_acquire)) {
      if (options.seconds > 0.0 &&
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >=
              options.seconds) {
        stopped = true;
        break;
      }
      std::this_thread::sleep_for(20ms);
    }
    stopped = stopped || stopRequested.load(std::memory_order_acquire);
    session.StopScan();
    // A link that failed under the scan is no clean stop.
    if (!stopped && status == 0 && !session.LastOpenFailed() && session.Definition().monitorcmd != nullptr) {
      std::fprintf(err, "The connection on %s ended: %s\n", options.portPath.c_str(),
                   ::access(options.portPath.c_str(), F_OK) == 0 ? "the port failed" : "the port vanished");
      status = 1;
    }
  }
  if (session.LastOpenFailed()) {
    if (!options.verbose) std::fprintf(err, "%s\n", session.Acquisition().OpenFailureText().c_str());
    status = 1;
  } else if (recording) {
    session.StopLog();
    if (errorShown) {
      std::fprintf(err, "The recording stays in %s\n", session.Logger().RecordingPath().c_str());
      status = 1;
    }
  }
  session.JoinWorkers();
  telemetry.reset();
  session.DetachSink(&rows);
  if (!csv.Finish()) {
    std::fprintf(err, "Cannot write %s\n", options.csvPath.c_str());
    status = 1;
  }
  return status;
}

int RunPlaySession(const PlayOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err) {
  FileTextSink sink(err);
  bool errorShown = false;
  Session session(CliSessionOptions(nullptr, std::string(), err, &errorShown));
  if (options.verbose) session.Log().SetSink(&sink);
  if (!LoadDefinition(session, options.definitionPath, err)) return 1;
  if (options.logPath.empty() || options.logPath.size() > LoggerControl::kMaxPathLength) {
    std::fprintf(err, "Could not open %s\n", options.logPath.c_str());
    return 1;
  }
  const ItemRowFormatter formatter(session.Definition());
  CsvOutput csv;
  if (!options.csvPath.empty()) {
    if (!csv.Open(options.csvPath, false, err)) return 1;
    csv.Write(formatter.HeaderRow());
  }
  CliRows rows(formatter, csv, false);
  session.AttachSink(&rows);

  int status = 0;
  const PlayResult result = session.PlayToEnd(options.logPath, options.speed, &stopRequested);
  if (result.outcome == PlayOutcome::OpenFailed) {
    if (!options.verbose) {
      std::fprintf(err, "Could not open %s, error 0x%X\n", options.logPath.c_str(),
                   static_cast<unsigned>(result.code));
    }
    status = 1;
  } else if (result.outcome == PlayOutcome::ReadFailed) {
    std::fprintf(err, "Playback of %s ended on error 0x%X\n", options.logPath.c_str(),
                 static_cast<unsigned>(result.code));
    status = 1;
  }
  session.DetachSink(&rows);
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
