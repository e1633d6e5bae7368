// varnak-cli export: the rows of a whole log without pacing, as fast as the
// log can be read, optionally of a time range and chosen items.
#include <cstdio>
#include <iostream>

#include "tools/varnak-cli/CommandLineSession.h"
#include "tools/varnak-cli/SessionCommands.h"

const char* const kExportUsage =
    "export LOG.xdl DEF.adx [-o OUT.csv] [--force] [--from S] [--to S] [--items ID,ID,...] [--units]";

int RunExport(const CliArgs& args, std::ostream& /*out*/, std::ostream& err) {
  PlayOptions options;
  std::string error;
  if (ParseExportArguments(args, &options, &error) != 0) {
    err << "export: " << error << "\n"
        << "usage: varnak-cli " << kExportUsage << "\n";
    return kExitUsage;
  }
  err.flush();
  std::cout.flush();
  StopSignals signals;
  return RunExportSession(options, stderr, &StopSignals::Flag());
}
