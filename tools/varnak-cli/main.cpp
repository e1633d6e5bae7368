// varnak-cli: command-line access to definitions and logs. Each sub-command
// lives in its own source file; this table is the only place that lists them.
#include <clocale>
#include <cstring>
#include <iostream>

#include "tools/varnak-cli/CliCommands.h"
#include "tools/varnak-cli/SessionCommands.h"

int RunHistogram(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunStats(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunDiff(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunLog(const CliArgs& args, std::ostream& out, std::ostream& err);

namespace {

struct CliCommand {
  const char* name;
  const char* usage;
  int (*run)(const CliArgs& args, std::ostream& out, std::ostream& err);
};

constexpr CliCommand kCommands[] = {
    {"info", "info FILE.adx                                 header, objects and warnings of a definition",
     RunInfo},
    {"decode", "decode FILE.adx --command ID --packet HEX     decode one reply into CSV (id,title,value)",
     RunDecode},
    {"scan",
     "scan DEF.adx --port PATH [--seconds N] [--record OUT.xdl] [--csv FILE|-] [--verbose] [--live]\n"
     "     [--mqtt HOST[:PORT] [--name NAME]]\n"
     "                                                scan the link as Scan does; a CSV row per good packet",
     RunScan},
    {"log",
     "log DEF.adx --port PATH --dir DIR [--idle-seconds N] [--keep-gb G] [--mqtt HOST[:PORT] [--name NAME]]\n"
     "                                                record each drive into its own log, unattended",
     RunLog},
    {"play",
     "play LOG.xdl DEF.adx [--speed F] [--csv FILE|-] [--verbose]\n"
     "                                                play a log paced as Play does, with the same rows",
     RunPlay},
    {"export", "export LOG.xdl DEF.adx [-o OUT.csv]           the rows of a whole log, without pacing",
     RunExport},
    {"import", "import IN.ads OUT.adx [--force]               convert a legacy ADS definition to ADX",
     RunImport},
    {"histogram",
     "histogram LOG.xdl DEF.adx --id HISTID [--kind K] [--from S] [--to S]\n"
     "                                                one histogram accumulated from a log, as a CSV grid",
     RunHistogram},
    {"stats", "stats LOG.xdl DEF.adx [--from S] [--to S]     count, min, max and mean of every value",
     RunStats},
    {"diff",
     "diff LOG.xdl DEF_A.adx DEF_B.adx              items that decode differently with two definitions",
     RunDiff},
};

void PrintUsage(std::ostream& s) {
  s << "usage: varnak-cli COMMAND [ARGUMENTS]\n\ncommands:\n";
  for (const CliCommand& c : kCommands) s << "  " << c.usage << '\n';
  s << "\nversion " << VARNAK_VERSION_TEXT << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // as the window does: the core must not care
  if (argc < 2) {
    PrintUsage(std::cerr);
    return kExitUsage;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    PrintUsage(std::cout);
    return kExitOk;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::cout << "varnak-cli " << VARNAK_VERSION_TEXT << '\n';
    return kExitOk;
  }
  for (const CliCommand& c : kCommands) {
    if (std::strcmp(argv[1], c.name) == 0) {
      CliArgs args(argv + 2, argv + argc);
      return c.run(args, std::cout, std::cerr);
    }
  }
  std::cerr << "varnak-cli: unknown command '" << argv[1] << "'\n";
  PrintUsage(std::cerr);
  return kExitUsage;
}
