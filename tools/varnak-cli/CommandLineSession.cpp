#include "tools/varnak-cli/CommandLineSession.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "acquisition/FileTextSink.h"
#include "acquisition/QvDebugOutput.h"
#include "acquisition/TextSink.h"
#include "acquisition/control/AcquisitionControl.h"
#include "acquisition/control/LoggerControl.h"
#include "acquisition/control/platform/FileMove.h"
#include "datalog/DataLogFile.h"
#include "datalog/XdlFormat.h"
#include "definition/ADXDefinition.h"
#include "session/Session.h"
#include "telemetry/LiveTelemetry.h"
#include "tools/varnak-cli/CsvOutput.h"
#include "tools/varnak-cli/ItemRows.h"
#include "tools/varnak-cli/LiveTable.h"
#include "tools/varnak-cli/LogCheck.h"

namespace {

using namespace std::chrono_literals;

// The rows of the command-line tool: a CSV row per good packet, written from
// the thread that delivers it, and the newest texts for the live table.
class CliRows : public IPacketSink {
 public:
  CliRows(const ItemRowFormatter& formatter, CsvOutput& csv, bool live)
      : formatter_(formatter), csv_(csv), live_(live), texts_(formatter.ItemCount()) {}

  // Rows only from this time to this time; past the end the flag is set.
  void SetRange(double from, double to) {
    from_ = from;
    to_ = to;
  }
  const std::atomic<bool>& PastTheEnd() const { return pastTheEnd_; }
  // Good packets seen (of any command), and those that made a row.
  std::uint64_t Packets() const { return packets_.load(std::memory_order_acquire); }
  std::uint64_t Rows() const { return rows_.load(std::memory_order_acquire); }

  void OnPacket(const PacketEvent& event) override {
    // Triggers update panes without a packet: they make no row.
    if (!event.IsFullPacket()) return;
    packets_.fetch_add(1, std::memory_order_acq_rel);
    if (!formatter_.MakesRow(event.commandIdHash)) return;
    if (event.timeSeconds > to_) {
      pastTheEnd_.store(true, std::memory_order_release);
      return;
    }
    if (event.timeSeconds < from_) return;
    rows_.fetch_add(1, std::memory_order_acq_rel);
    if (csv_.IsOpen()) {
      // The row is written in place in the output's buffer; only a time
      // beyond any drive takes the long way.
      char* room = csv_.Reserve(formatter_.RowBound());
      char* end = room == nullptr ? nullptr
                                  : formatter_.WriteRow(room, room + formatter_.RowBound(), event.timeSeconds,
                                                        event.packet, event.length, event.commandIdHash);
      if (end != nullptr) {
        csv_.Commit(end);
      } else if (room != nullptr) {
        row_.clear();
        formatter_.AppendRow(row_, event.timeSeconds, event.packet, event.length, event.commandIdHash);
        csv_.Write(row_);
      }
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
  double from_ = -1.0;  // set before packets flow
  double to_ = 1e300;
  std::atomic<bool> pastTheEnd_{false};
  std::atomic<std::uint64_t> packets_{0};
  std::atomic<std::uint64_t> rows_{0};
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

// The Output log's lines go to the error stream with --verbose; the latest
// line is kept either way, so that a failed scan can say why.
class CliLogSink : public ITextSink {
 public:
  CliLogSink(std::FILE* err, bool verbose) : file_(err), verbose_(verbose) {}
  void AppendLine(std::string_view line) override {
    if (verbose_) file_.AppendLine(line);
    std::lock_guard<std::mutex> guard(mutex_);
    last_.assign(line.data(), line.size());
  }
  void Clear() override {}
  std::string Last() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return last_;
  }

 private:
  FileTextSink file_;
  const bool verbose_;
  mutable std::mutex mutex_;
  std::string last_;  // guarded by mutex_
};

// Why a recording cannot be saved under its name; empty when it can. Asked
// before anything is recorded.
std::string RecordTargetProblem(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) return path + " already exists; nothing was recorded";
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  if (::stat(folder.c_str(), &st) != 0)
    return folder + ": " + std::strerror(errno) + "; nothing was recorded";
  if (!S_ISDIR(st.st_mode)) return folder + " is not a folder; nothing was recorded";
  if (::access(folder.c_str(), W_OK) != 0)
    return folder + ": " + std::strerror(errno) + "; nothing was recorded";
  return std::string();
}

// Sets `stop` while any of the conditions holds, polling on a thread of its
// own, until destroyed.
class StopWatch {
 public:
  template <typename Condition>
  StopWatch(std::atomic<bool>& stop, Condition condition)
      : thread_([this, &stop, condition] {
          while (!done_.load(std::memory_order_acquire)) {
            if (condition()) stop.store(true, std::memory_order_release);
            std::this_thread::sleep_for(10ms);
          }
        }) {}
  ~StopWatch() {
    done_.store(true, std::memory_order_release);
    thread_.join();
  }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace

int RunScanSession(const ScanOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err) {
  if (options.live && options.csvPath == "-") {
    std::fprintf(err, "scan: --live and --csv - both need the terminal\n");
    return 1;
  }
  // The outputs are checked before the definition is read or the link opened.
  if (!options.recordPath.empty()) {
    if (const std::string problem = RecordTargetProblem(options.recordPath); !problem.empty()) {
      std::fprintf(err, "Cannot record to %s\n", problem.c_str());
      return 1;
    }
  }
  CsvTarget target;
  target.path = options.csvPath;
  target.inputs = {options.definitionPath, options.portPath, options.recordPath};
  target.force = options.force;
  target.flushEachRow = true;  // rows of a live link reach the reader as they happen
  if (!options.csvPath.empty()) {
    if (const std::string problem = CsvTargetProblem(target); !problem.empty()) {
      std::fprintf(err, "Cannot write %s\n", problem.c_str());
      return 1;
    }
  }
  CliLogSink sink(err, options.verbose);
  CliObserver observer(nullptr);
  bool errorShown = false;
  Session session(CliSessionOptions(
      &observer, options.recordingFolder.empty() ? DefaultRecordingFolder() : options.recordingFolder, err,
      &errorShown));
  session.Log().SetSink(&sink);
  if (!LoadDefinition(session, options.definitionPath, err)) return 1;
  const ItemRowFormatter formatter(session.Definition());
  CsvOutput csv;
  if (!options.csvPath.empty()) {
    if (!csv.Open(target, err)) return 1;
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
  bool linkEnded = false;  // the scan ended by itself: the link failed
  {
    std::unique_ptr<LiveView> live;
    if (options.live) live = std::make_unique<LiveView>(session, rows, telemetry.get());
    const auto start = std::chrono::steady_clock::now();
    // The user's stop: Ctrl+C (or a closed terminal, SIGTERM, a reader of the
    // rows that went away), the end of --seconds, or a failed recording.
    for (;;) {
      if (status != 0 || stopRequested.load(std::memory_order_acquire) || csv.Failed()) break;
      if (!session.IsScanning()) {
        linkEnded = true;
        break;
      }
      if (options.seconds > 0.0 &&
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >=
              options.seconds) {
        break;
      }
      std::this_thread::sleep_for(20ms);
    }
    session.StopScan();
  }
  if (session.LastOpenFailed()) {
    if (!options.verbose) std::fprintf(err, "%s\n", session.Acquisition().OpenFailureText().c_str());
    status = 1;
  } else {
    if (linkEnded) {
      const std::string reason = sink.Last();
      std::fprintf(err, "The scan of %s stopped: the link failed%s%s\n", options.portPath.c_str(),
                   reason.empty() ? "" : ": ", reason.c_str());
      status = 1;
    } else if (rows.Rows() == 0 && status == 0) {
      std::fprintf(err, "No answer from the ECU on %s: no data packet was received\n",
                   options.portPath.c_str());
      status = 1;
    }
    if (recording) {
      session.StopLog();
      if (errorShown) {
        std::fprintf(err, "The recording stays in %s\n", session.Logger().RecordingPath().c_str());
        status = 1;
      }
    }
  }
  session.JoinWorkers();
  telemetry.reset();
  session.DetachSink(&rows);
  // The rows of a failed scan are kept: they are what the link delivered.
  if (!csv.Finish(true, err) && !csv.BrokenPipe()) status = 1;
  return status;
}

namespace {

// The part of play and export after the arguments: paced by options.speed.
int PlayLog(const PlayOptions& options, bool exporting, const std::atomic<bool>& stopRequested,
            std::FILE* err) {
  const char* command = exporting ? "export" : "play";
  CsvTarget target;
  target.path = options.csvPath;
  target.inputs = {options.logPath, options.definitionPath};
  target.force = options.force;
  target.viaTemporary = true;
  // A paced play reaches its reader row by row; a full-speed pass writes blocks.
  target.flushEachRow = options.csvPath == "-" && !exporting && options.speed > 0.01f;
  if (!options.csvPath.empty()) {
    if (const std::string problem = CsvTargetProblem(target); !problem.empty()) {
      std::fprintf(err, "Cannot write %s\n", problem.c_str());
      return 1;
    }
  }
  FileTextSink sink(err);
  bool errorShown = false;
  Session session(CliSessionOptions(nullptr, std::string(), err, &errorShown));
  if (options.verbose) session.Log().SetSink(&sink);
  if (!LoadDefinition(session, options.definitionPath, err)) return 1;
  if (options.logPath.empty() || options.logPath.size() > LoggerControl::kMaxPathLength) {
    std::fprintf(err, "Could not open %s\n", options.logPath.c_str());
    return 1;
  }
  const LogCheck check = CheckLog(options.logPath);
  if (!check.ok) {
    std::fprintf(err, "Could not open %s: %s\n", options.logPath.c_str(), check.problem.c_str());
    return 1;
  }
  std::vector<std::string> unknown;
  const ItemRowFormatter formatter = options.items.empty()
                                         ? ItemRowFormatter(session.Definition())
                                         : ItemRowFormatter(session.Definition(), options.items, &unknown);
  if (!unknown.empty()) {
    std::fprintf(err, "%s: %s: no value or bitmask '%s'\n", command, options.definitionPath.c_str(),
                 unknown.front().c_str());
    return 1;
  }
  bool matches = false;
  for (std::uint32_t hash : check.commandHashes) matches = matches || formatter.MakesRow(hash);
  if (!matches) {
    std::string held;
    for (const std::string& id : check.commandIds) held += (held.empty() ? "" : ", ") + id;
    std::fprintf(err, "%s: %s matches no command of %s (the log holds %s)\n", command,
                 options.definitionPath.c_str(), options.logPath.c_str(),
                 held.empty() ? "no command" : held.c_str());
    return 1;
  }
  CsvOutput csv;
  if (!options.csvPath.empty()) {
    if (!csv.Open(target, err)) return 1;
    csv.Write(formatter.HeaderRow());
    if (options.unitsRow) csv.Write(formatter.UnitsRow());
  }
  CliRows rows(formatter, csv, false);
  rows.SetRange(options.fromSeconds, options.toSeconds);
  session.AttachSink(&rows);

  int status = 0;
  std::atomic<bool> stop{false};
  PlayResult result;
  {
    // Past --to, a reader that went away or the user's stop end the pass.
    StopWatch watch(stop, [&] {
      return stopRequested.load(std::memory_order_acquire) || rows.PastTheEnd().load() || csv.Failed();
    });
    result = session.PlayToEnd(options.logPath, options.speed, &stop);
  }
  if (result.outcome == PlayOutcome::OpenFailed) {
    if (!options.verbose) {
      std::fprintf(err, "Could not open %s: %s\n", options.logPath.c_str(),
                   LogErrorText(options.logPath, result.code, 0).c_str());
    }
    status = 1;
  } else if (exporting && result.outcome == PlayOutcome::Stopped && stopRequested.load()) {
    std::fprintf(err, "The export of %s was interrupted%s\n", options.logPath.c_str(),
                 options.csvPath == "-" ? "" : "; nothing was written");
    status = 1;
  } else if (result.outcome == PlayOutcome::ReadFailed) {
    std::fprintf(err, "Playback of %s ended on a read error: %s\n", options.logPath.c_str(),
                 LogErrorText(options.logPath, result.code, 0).c_str());
    status = 1;
  }
  session.DetachSink(&rows);
  if (!csv.Finish(status == 0, err) && !csv.BrokenPipe()) status = 1;
  return status;
}

}  // namespace

int RunPlaySession(const PlayOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err) {
  return PlayLog(options, false, stopRequested, err);
}

int RunExportSession(const PlayOptions& options, std::FILE* err, const std::atomic<bool>* stopRequested) {
  PlayOptions exported = options;
  exported.speed = 0.0f;
  if (exported.csvPath.empty()) exported.csvPath = "-";
  const std::atomic<bool> never{false};
  return PlayLog(exported, true, stopRequested != nullptr ? *stopRequested : never, err);
}

int RunExportSession(const std::string& logPath, const std::string& definitionPath,
                     const std::string& outPath, std::FILE* err) {
  PlayOptions options;
  options.logPath = logPath;
  options.definitionPath = definitionPath;
  options.csvPath = outPath.empty() ? "-" : outPath;
  return RunExportSession(options, err);
}
