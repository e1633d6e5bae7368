// varnak-cli export: the rows of a whole log without pacing, as fast as the
// log can be read.
#include <cstdio>
#include <iostream>

#include "tools/varnak-cli/CommandLineSession.h"
#include "tools/varnak-cli/SessionCommands.h"

int RunExport(const CliArgs& args, std::ostream& /*out*/, std::ostream& err) {
  std::string log, definition, out, error;
  if (ParseExportArguments(args, &log, &definition, &out, &error) != 0) {
    err << "export: " << error << "\n"
        << "usage: varnak-cli export LOG.xdl DEF.adx [-o OUT.csv]\n";
    return kExitUsage;
  }
  err.flush();
  std::cout.flush();
  return RunExportSession(log, definition, out, stderr);
}
