// varnak-cli scan: runs a definition against the link as Scan does and writes
// a CSV row per good packet, optionally recording the packets into a log.
#include <signal.h>

#include <cstdio>
#include <iostream>
#include <iterator>

#include "tools/varnak-cli/CommandLineSession.h"
#include "tools/varnak-cli/SessionCommands.h"

namespace {

std::atomic<bool> g_stopRequested{false};
// The signals that end a scan or a play in order: Ctrl+C, SIGTERM, a closed
// terminal or ssh session (SIGHUP) and a reader of the rows that went away
// (SIGPIPE; the write then fails with EPIPE and the session stops).
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
struct sigaction g_old[std::size(kStopSignals)]{};

extern "C" void OnStopSignal(int) {
  g_stopRequested.store(true);
}

}  // namespace

const char* const kScanUsage =
    "scan DEF.adx --port PATH [--seconds N] [--record OUT.xdl] [--csv FILE|-] [--force] [--verbose] "
    "[--live] [--temp-dir DIR] [--mqtt HOST[:PORT] [--name NAME]]";

StopSignals::StopSignals() {
  g_stopRequested.store(false);
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &action, &g_old[i]);
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &g_old[i], nullptr);
}

const std::atomic<bool>& StopSignals::Flag() {
  return g_stopRequested;
}

int RunScan(const CliArgs& args, std::ostream& /*out*/, std::ostream& err) {
  ScanOptions options;
  std::string error;
  if (ParseScanArguments(args, &options, &error) != 0) {
    err << "scan: " << error << "\n"
        << "usage: varnak-cli " << kScanUsage << "\n";
    return kExitUsage;
  }
  err.flush();
  std::cout.flush();
  StopSignals signals;
  return RunScanSession(options, StopSignals::Flag(), stderr);
}
