// varnak-cli scan: runs a definition against the link as Scan does and writes
// a CSV row per good packet, optionally recording the packets into a log.
#include <signal.h>

#include <cstdio>
#include <iostream>

#include "tools/varnak-cli/CommandLineSession.h"
#include "tools/varnak-cli/SessionCommands.h"

namespace {

std::atomic<bool> g_stopRequested{false};
struct sigaction g_oldInt {};
struct sigaction g_oldTerm {};

extern "C" void OnStopSignal(int) {
  g_stopRequested.store(true);
}

}  // namespace

StopSignals::StopSignals() {
  g_stopRequested.store(false);
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &g_oldInt);
  sigaction(SIGTERM, &action, &g_oldTerm);
}

StopSignals::~StopSignals() {
  sigaction(SIGINT, &g_oldInt, nullptr);
  sigaction(SIGTERM, &g_oldTerm, nullptr);
}

const std::atomic<bool>& StopSignals::Flag() {
  return g_stopRequested;
}

int RunScan(const CliArgs& args, std::ostream& /*out*/, std::ostream& err) {
  ScanOptions options;
  std::string error;
  if (ParseScanArguments(args, &options, &error) != 0) {
    err << "scan: " << error << "\n"
        << "usage: varnak-cli scan DEF.adx --port PATH [--seconds N] [--record OUT.xdl] [--csv FILE|-] "
           "[--verbose] [--live] [--temp-dir DIR] [--mqtt HOST[:PORT] [--name NAME]]\n";
    return kExitUsage;
  }
  err.flush();
  std::cout.flush();
  StopSignals signals;
  return RunScanSession(options, StopSignals::Flag(), stderr);
}
