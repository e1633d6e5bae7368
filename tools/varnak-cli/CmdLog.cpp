// varnak-cli log: the unattended drive logger (see DriveLogger.h), as a
// service runs it. Messages go to the error stream one line each; under
// systemd (JOURNAL_STREAM set) each carries its priority for journald.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>

#include "acquisition/FileTextSink.h"
#include "acquisition/QvDebugOutput.h"
#include "definition/NumberText.h"
#include "session/Session.h"
#include "telemetry/LiveTelemetry.h"
#include "tools/varnak-cli/CliCommands.h"
#include "tools/varnak-cli/DriveLogger.h"
#include "tools/varnak-cli/SessionCommands.h"

namespace {

constexpr const char* kUsage =
    "usage: varnak-cli log DEF.adx --port PATH --dir DIR [--idle-seconds N] [--keep-gb G]\n"
    "                      [--mqtt HOST[:PORT] [--name NAME]] [--verbose]\n";

struct LogOptions {
  std::string definitionPath;
  std::string portPath;
  std::string folder;
  double idleSeconds = 5.0;
  double keepGb = 0.0;
  std::string mqtt;
  std::string name;
  bool verbose = false;
};

bool Number(const std::string& text, double low, double high, double* value) {
  double v = 0.0;
  if (ReadDecimal(text, v) != NumberRead::kOk || !(v >= low && v <= high)) return false;
  *value = v;
  return true;
}

// Empty when the arguments are complete, else what is wrong.
std::string Parse(const CliArgs& args, LogOptions* o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--port" || a == "--dir" || a == "--idle-seconds" || a == "--keep-gb" || a == "--mqtt" ||
        a == "--name") {
      if (!hasValue) return a + " needs a value";
      const std::string& v = args[++i];
      if (a == "--port") {
        o->portPath = v;
      } else if (a == "--dir") {
        o->folder = v;
      } else if (a == "--idle-seconds") {
        if (!Number(v, 0.05, 86400.0, &o->idleSeconds)) return "--idle-seconds needs a number of seconds";
      } else if (a == "--keep-gb") {
        if (!Number(v, 1e-9, 1e6, &o->keepGb)) return "--keep-gb needs a positive number of gigabytes";
      } else if (a == "--mqtt") {
        o->mqtt = v;
      } else {
        o->name = v;
      }
    } else if (a == "--verbose") {
      o->verbose = true;
    } else if (!a.empty() && a[0] != '-' && o->definitionPath.empty()) {
      o->definitionPath = a;
    } else {
      return "unexpected argument '" + a + "'";
    }
  }
  if (o->definitionPath.empty()) return "a definition file is needed";
  if (o->portPath.empty()) return "--port is needed";
  if (o->folder.empty()) return "--dir is needed";
  if (!o->name.empty() && o->mqtt.empty()) return "--name needs --mqtt";
  return std::string();
}

// One line per message on the error stream, whole lines only.
class Lines {
 public:
  explicit Lines(std::FILE* stream) : stream_(stream), journal_(std::getenv("JOURNAL_STREAM") != nullptr) {}
  void Write(NoteLevel level, const std::string& text) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (journal_) {
      std::fprintf(stream_, "<%d>%s\n", static_cast<int>(level), text.c_str());
    } else {
      std::fprintf(stream_, "varnak-cli log: %s\n", text.c_str());
    }
    std::fflush(stream_);
  }

 private:
  std::FILE* stream_;
  const bool journal_;
  std::mutex mutex_;
};

}  // namespace

int RunLog(const CliArgs& args, std::ostream& /*out*/, std::ostream& err) {
  LogOptions options;
  const std::string problem = Parse(args, &options);
  MqttAddress broker;
  if (problem.empty() && !options.mqtt.empty() && !ParseMqttAddress(options.mqtt, &broker)) {
    err << "log: --mqtt needs HOST or HOST:PORT\n" << kUsage;
    return kExitUsage;
  }
  if (!problem.empty() || (!options.name.empty() && !IsTelemetryName(options.name))) {
    err << "log: " << (problem.empty() ? "--name cannot hold '/', '+' or '#'" : problem) << "\n" << kUsage;
    return kExitUsage;
  }
  err.flush();
  Lines lines(stderr);
  FileTextSink verboseSink(stderr);
  Session session;
  if (options.verbose) session.Log().SetSink(&verboseSink);
  const DefinitionLoad load = session.LoadDefinition(options.definitionPath, DefinitionFormat::Adx);
  if (!load.ok) {
    lines.Write(NoteLevel::Error, "cannot load " + options.definitionPath +
                                      (load.messages.empty() ? std::string() : ": " + load.messages.front()));
    return kExitFailure;
  }
  StopSignals signals;
  std::unique_ptr<LiveTelemetry> telemetry;
  if (!options.mqtt.empty()) {
    telemetry = std::make_unique<LiveTelemetry>(
        session, broker, options.name.empty() ? DefaultTelemetryName() : options.name,
        [&lines](const std::string& text) { lines.Write(NoteLevel::Info, text); });
  }
  DriveLoggerOptions loggerOptions;
  loggerOptions.portPath = options.portPath;
  loggerOptions.folder = options.folder;
  loggerOptions.idleSeconds = options.idleSeconds;
  loggerOptions.keepBytes = static_cast<std::uint64_t>(std::llround(options.keepGb * 1e9));
  loggerOptions.note = [&lines](NoteLevel level, const std::string& text) { lines.Write(level, text); };
  int status = kExitOk;
  {
    DriveLogger logger(session, loggerOptions);
    lines.Write(NoteLevel::Info, "logging drives from " + options.portPath + " into " + options.folder);
    if (logger.Run(StopSignals::Flag()) != DriveLoggerEnd::Stopped) status = kExitFailure;
  }
  telemetry.reset();
  if (status == kExitOk) lines.Write(NoteLevel::Info, "stopped");
  return status;
}
