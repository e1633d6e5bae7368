// The command-line tool's sessions: scan a live link, play a log paced as
// Play does, export a log as fast as it can be read. Each writes one CSV row
// per good data packet (a packet of a command with items, or of the monitor
// command: ItemRowFormatter::MakesRow) and goes through the same acquisition
// control, callback and datalog engine as the program, so rows hold what the
// item list would show. A scan's rows, and a paced play's to standard output,
// reach the reader as they happen; an export writes large blocks. Outputs
// are checked before any input is read: never an input, never an existing
// regular file without force, and play and export write a regular file under
// a temporary name that takes the real one only on success.
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
  bool force = false;           // the CSV file may replace an existing file
  std::string mqtt;             // HOST[:PORT] of a broker for live telemetry; empty: none
  std::string telemetryName;    // NAME of the topics varnak/NAME/...; empty: the host name
};

struct PlayOptions {
  std::string logPath;
  std::string definitionPath;
  float speed = 1.0f;   // 0.01 or less: no pacing
  std::string csvPath;  // "-" for standard output
  bool verbose = false;
  bool force = false;  // the CSV file may replace an existing file
  // Rows from this time to this time (seconds of the log), inclusive.
  double fromSeconds = -1.0;
  double toSeconds = 1e300;
  std::vector<std::string> items;  // the items' IDs, in column order; empty: all
  bool unitsRow = false;           // a second header row with each item's units
};

// Exit status: 0 after a clean stop (the user's stop, the end of --seconds,
// or a reader of the rows that went away); 1 when the definition cannot be
// loaded, the port cannot be opened ("Unable to open port (PATH): REASON"),
// the link failed or the ECU never answered, the CSV file cannot be written
// or the recording cannot be saved. The CSV file and the recording's name are
// checked before anything is recorded.
int RunScanSession(const ScanOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err);
// Exit status: 0 after the end of the log or a stop; 1 when the definition or
// the log cannot be opened, the definition matches no command of the log,
// the log's records cannot be followed or the CSV file cannot be written.
int RunPlaySession(const PlayOptions& options, const std::atomic<bool>& stopRequested, std::FILE* err);
// The rows of a whole log without pacing, to outPath ("-" or empty: standard
// output).
int RunExportSession(const std::string& logPath, const std::string& definitionPath,
                     const std::string& outPath, std::FILE* err);
// The same with a choice of rows and items (options.speed is ignored). A
// user's stop (stopRequested) fails the export and leaves no file.
int RunExportSession(const PlayOptions& options, std::FILE* err,
                     const std::atomic<bool>* stopRequested = nullptr);

// Argument parsing of the sub-commands (the arguments after the command's
// name). 0 when the options are complete; 2 with a message in *error for wrong
// usage.
//   scan DEF.adx --port PATH [--seconds N] [--record OUT.xdl] [--csv FILE|-]
//        [--force] [--verbose] [--live] [--temp-dir DIR] [--mqtt HOST[:PORT] [--name NAME]]
//        (without --csv the rows go to standard output, unless --live)
//   play LOG.xdl DEF.adx [--speed F] [--csv FILE|-] [--force] [--verbose]
//        (without --csv the rows go to standard output)
//   export LOG.xdl DEF.adx [-o OUT.csv] [--force] [--from S] [--to S]
//          [--items ID,ID,...] [--units]
int ParseScanArguments(const std::vector<std::string>& args, ScanOptions* options, std::string* error);
int ParsePlayArguments(const std::vector<std::string>& args, PlayOptions* options, std::string* error);
int ParseExportArguments(const std::vector<std::string>& args, PlayOptions* options, std::string* error);
int ParseExportArguments(const std::vector<std::string>& args, std::string* logPath,
                         std::string* definitionPath, std::string* outPath, std::string* error);
