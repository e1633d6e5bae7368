#pragma once
// The sub-commands that talk to a vehicle link or replay a log: scan, play and
// export. Each parses the arguments after its name, runs the session of
// tools/varnak-cli/CommandLineSession.h and returns the exit code.
//
// Thread contract: called once, on the main thread. scan, play and export
// stop on SIGINT, SIGTERM, SIGHUP or SIGPIPE (the user's stop, a closed
// terminal, a reader that went away) and leave the handlers as they found
// them.
#include <atomic>
#include <iosfwd>

#include "tools/varnak-cli/CliCommands.h"

int RunScan(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunPlay(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunExport(const CliArgs& args, std::ostream& out, std::ostream& err);

// The usage lines of the three commands (after "varnak-cli ").
extern const char* const kScanUsage;
extern const char* const kPlayUsage;
extern const char* const kExportUsage;

// Sets the flag on SIGINT, SIGTERM, SIGHUP and SIGPIPE while the object lives.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  static const std::atomic<bool>& Flag();
};
