// The command-line tool's sessions: scan a live link, play a log paced as
// Play does, export a log as fast as it can be read. Each writes one CSV row
// per good packet (ItemRowFormatter) and goes through the same acquisition
// control, callback and datalog engine as the program, so rows hold what the
// item list would show.
//
// Thread contract: Run* run on the calling thread and return when the session
// has ended and every thread it started is joined. stopRequested may be set
// from any thread or a signal handler (the user's stop: Ctrl+C).
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

struct ScanOptions {
  std::string definitionPath;
  std::string portPath;
  double seconds = 0.0;         // > 0: stop after this long
  std::string recordPath;       // save the recording here (never replacing a file)
  std::string csvPath;          // rows to this file; "-" for standard output
  std::string recordingFolder;  // where temp.xdl goes; empty: the program's default
  bool verbose = false;         // Output log lines to the error stream
  bool live = false;            // redraw a table of the items on the terminal
  std::string mqtt;             // HOST[:PORT] of a broker for live telemetry; empty: none
  std::string telemetryName;    // NAME of the topics varnak/NAME/...; empty: the host name
};

struct PlayOptions {
  std::string logPath;
  std::string definitionPath;
  float speed = 1.0f;   // 0.01 or less: no pacing
  std::string csvPath;  // "-" for standard output
  bool verbose = false;
};

// Exit status: 0 after a clean stop; 1 when the definition cannot be loaded,
// the port cannot be opened ("Unable to open port (PATH): REASON"), the CSV file cannot
// be written or the recording cannot be saved.
int RunScanSession(const ScanOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err);
// Exit status: 0 after the end of the log or a stop; 1 when the definition or
// the log cannot be opened or the CSV file cannot be written.
int RunPlaySession(const PlayOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err);
// The rows of a whole log without pacing, to outPath ("-" or empty: standard
// output).
int RunExportSession(const std::string& logPath, const std::string& definitionPath,
                     const std::string& outPath, std::FILE* err);

// Argument parsing of the sub-commands (the arguments after the command's
// name). 0 when the options are complete; 2 with a message in *error for wrong
// usage.
//   scan DEF.adx --port PATH [--seconds N] [--record OUT.xdl] [--csv FILE|-]
//        [--verbose] [--live] [--temp-dir DIR] [--mqtt HOST[:PORT] [--name NAME]]
//   play LOG.xdl DEF.adx [--speed F] [--csv FILE|-] [--verbose]
//   export LOG.xdl DEF.adx [-o OUT.csv]
int ParseScanArguments(const std::vector<std::string>& args, ScanOptions* options, std::string* error);
int ParsePlayArguments(const std::vector<std::string>& args, PlayOptions* options, std::string* error);
int ParseExportArguments(const std::vector<std::string>& args, std::string* logPath,
                         std::string* definitionPath, std::string* outPath, std::string* error);
