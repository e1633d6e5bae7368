// varnak-cli play: plays a log paced by its recorded times and the speed
// factor, writing the same rows as scan with each record's time.
#include <cstdio>
#include <iostream>

#include "tools/varnak-cli/CommandLineSession.h"
#include "tools/varnak-cli/SessionCommands.h"

const char* const kPlayUsage = "play LOG.xdl DEF.adx [--speed F] [--csv FILE|-] [--force] [--verbose]";

int RunPlay(const CliArgs& args, std::ostream& /*out*/, std::ostream& err) {
  PlayOptions options;
  std::string error;
  if (ParsePlayArguments(args, &options, &error) != 0) {
    err << "play: " << error << "\n"
        << "usage: varnak-cli " << kPlayUsage << "\n";
    return kExitUsage;
  }
  err.flush();
  std::cout.flush();
  StopSignals signals;
  return RunPlaySession(options, StopSignals::Flag(), stderr);
}
