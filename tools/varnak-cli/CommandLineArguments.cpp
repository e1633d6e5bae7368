// Argument parsing of the scan, play and export sub-commands.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "definition/NumberText.h"
#include "telemetry/LiveTelemetry.h"
#include "tools/varnak-cli/CommandLineSession.h"

namespace {

constexpr int kUsage = 2;

bool ParseNumber(const std::string& text, double low, double high, double* value) {
  double v = 0.0;
  if (ReadDecimal(text, v) != NumberRead::kOk || v < low || v > high) return false;
  *value = v;
  return true;
}

// Takes the value of an option; false when it is missing.
bool Value(const std::vector<std::string>& args, std::size_t* i, std::string* value) {
  if (*i + 1 >= args.size()) return false;
  *value = args[++*i];
  return true;
}

int Fail(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return kUsage;
}

}  // namespace

int ParseScanArguments(const std::vector<std::string>& args, ScanOptions* options, std::string* error) {
  *options = ScanOptions();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    if (a == "--port") {
      if (!Value(args, &i, &options->portPath)) return Fail(error, "--port needs a device path");
    } else if (a == "--seconds") {
      if (!Value(args, &i, &v) || !ParseNumber(v, 0.001, 1e7, &options->seconds)) {
        return Fail(error, "--seconds needs a positive number");
      }
    } else if (a == "--record") {
      if (!Value(args, &i, &options->recordPath)) return Fail(error, "--record needs a file name");
    } else if (a == "--csv") {
      if (!Value(args, &i, &options->csvPath)) return Fail(error, "--csv needs a file name or -");
    } else if (a == "--temp-dir") {
      if (!Value(args, &i, &options->recordingFolder)) return Fail(error, "--temp-dir needs a folder");
    } else if (a == "--mqtt") {
      MqttAddress broker;
      if (!Value(args, &i, &options->mqtt) || !ParseMqttAddress(options->mqtt, &broker))
        return Fail(error, "--mqtt needs HOST or HOST:PORT");
    } else if (a == "--name") {
      if (!Value(args, &i, &options->telemetryName) || !IsTelemetryName(options->telemetryName))
        return Fail(error, "--name needs a name without '/', '+' or '#'");
    } else if (a == "--verbose") {
      options->verbose = true;
    } else if (a == "--live") {
      options->live = true;
    } else if (a == "--force") {
      options->force = true;
    } else if (!a.empty() && a[0] != '-' && options->definitionPath.empty()) {
      options->definitionPath = a;
    } else {
      return Fail(error, "unexpected argument '" + a + "'");
    }
  }
  if (options->definitionPath.empty()) return Fail(error, "a definition file is needed");
  if (options->portPath.empty()) return Fail(error, "--port is needed");
  if (!options->telemetryName.empty() && options->mqtt.empty()) return Fail(error, "--name needs --mqtt");
  if (options->live && options->csvPath == "-")
    return Fail(error, "--live and --csv - both need the terminal");
  // The rows go to standard output unless the terminal shows the live table.
  if (options->csvPath.empty() && !options->live) options->csvPath = "-";
  if (!options->recordPath.empty() && options->recordPath == options->csvPath)
    return Fail(error, "--record and --csv need different files");
  return 0;
}

int ParsePlayArguments(const std::vector<std::string>& args, PlayOptions* options, std::string* error) {
  *options = PlayOptions();
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    if (a == "--speed") {
      double speed = 0.0;
      if (!Value(args, &i, &v) || !ParseNumber(v, 0.0, 1000.0, &speed)) {
        return Fail(error, "--speed needs a number from 0 to 1000");
      }
      options->speed = static_cast<float>(speed);
    } else if (a == "--csv") {
      if (!Value(args, &i, &options->csvPath)) return Fail(error, "--csv needs a file name or -");
    } else if (a == "--verbose") {
      options->verbose = true;
    } else if (a == "--force") {
      options->force = true;
    } else if (!a.empty() && a[0] != '-' && files.size() < 2) {
      files.push_back(a);
    } else {
      return Fail(error, "unexpected argument '" + a + "'");
    }
  }
  if (files.size() != 2) return Fail(error, "a log file and a definition file are needed");
  options->logPath = files[0];
  options->definitionPath = files[1];
  if (options->csvPath.empty()) options->csvPath = "-";  // as scan: the rows to standard output
  return 0;
}

int ParseExportArguments(const std::vector<std::string>& args, PlayOptions* options, std::string* error) {
  *options = PlayOptions();
  options->speed = 0.0f;
  options->csvPath = "-";
  std::vector<std::string> files;
  bool from = false, to = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    if (a == "-o") {
      if (!Value(args, &i, &options->csvPath) || options->csvPath.empty())
        return Fail(error, "-o needs a file name");
    } else if (a == "--force") {
      options->force = true;
    } else if (a == "--units") {
      options->unitsRow = true;
    } else if (a == "--from") {
      if (!Value(args, &i, &v) || !ParseNumber(v, 0.0, 1e9, &options->fromSeconds))
        return Fail(error, "--from needs a number of seconds");
      from = true;
    } else if (a == "--to") {
      if (!Value(args, &i, &v) || !ParseNumber(v, 0.0, 1e9, &options->toSeconds))
        return Fail(error, "--to needs a number of seconds");
      to = true;
    } else if (a == "--items") {
      if (!Value(args, &i, &v)) return Fail(error, "--items needs a list of IDs");
      std::size_t start = 0;
      for (;;) {
        const std::size_t comma = v.find(',', start);
        const std::string id =
            v.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (id.empty()) return Fail(error, "--items needs IDs separated by commas, not '" + v + "'");
        options->items.push_back(id);
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    } else if (!a.empty() && a[0] != '-' && files.size() < 2) {
      files.push_back(a);
    } else {
      return Fail(error, "unexpected argument '" + a + "'");
    }
  }
  if (files.size() != 2) return Fail(error, "a log file and a definition file are needed");
  if (from && to && options->toSeconds < options->fromSeconds)
    return Fail(error, "--to must not come before --from");
  options->logPath = files[0];
  options->definitionPath = files[1];
  return 0;
}

int ParseExportArguments(const std::vector<std::string>& args, std::string* logPath,
                         std::string* definitionPath, std::string* outPath, std::string* error) {
  PlayOptions options;
  const int status = ParseExportArguments(args, &options, error);
  if (status != 0) return status;
  *logPath = options.logPath;
  *definitionPath = options.definitionPath;
  *outPath = options.csvPath == "-" ? std::string() : options.csvPath;
  return 0;
}
