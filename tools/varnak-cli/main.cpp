// varnak-cli: command-line access to definitions and logs. Each sub-command
// lives in its own source file; this table is the only place that lists them.
#include <clocale>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "tools/varnak-cli/CliCommands.h"
#include "tools/varnak-cli/LogCheck.h"
#include "tools/varnak-cli/SessionCommands.h"

int RunHistogram(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunStats(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunDiff(const CliArgs& args, std::ostream& out, std::ostream& err);
int RunLog(const CliArgs& args, std::ostream& out, std::ostream& err);

namespace {

struct CliCommand {
  const char* name;
  const char* synopsis;  // the arguments, after "varnak-cli "
  const char* what;      // one line on what it does
  int (*run)(const CliArgs& args, std::ostream& out, std::ostream& err);
};

const CliCommand kCommands[] = {
    {"info", "info FILE.adx", "header, objects and warnings of a definition", RunInfo},
    {"decode", "decode FILE.adx --command ID --packet HEX", "decode one reply into CSV (id,title,value)",
     RunDecode},
    {"scan", kScanUsage,
     "scan the link; a CSV row per data packet to --csv (default: standard output, none with --live);\n"
     "      --force replaces an existing CSV file; the --record file must not exist",
     RunScan},
    {"log",
     "log DEF.adx --port PATH --dir DIR [--idle-seconds N] [--keep-gb G] [--mqtt HOST[:PORT] [--name NAME]]\n"
     "     [--verbose]",
     "record each drive into its own log named by its start time, unattended", RunLog},
    {"play", kPlayUsage,
     "play a log paced by its times, with the same rows as scan (default: standard output;\n"
     "      --force replaces an existing CSV file)",
     RunPlay},
    {"export", kExportUsage,
     "the rows of a whole log without pacing, to -o (default: standard output); --from and --to\n"
     "      choose a time range, --items the columns, --units adds a row of units; --force replaces\n"
     "      an existing file",
     RunExport},
    {"import", "import IN.ads OUT.adx [--force]", "convert a legacy ADS definition to ADX", RunImport},
    {"histogram", "histogram LOG.xdl DEF.adx --id HISTID [--kind K] [--from S] [--to S]",
     "one histogram accumulated from a log, as a CSV grid", RunHistogram},
    {"stats", "stats LOG.xdl DEF.adx [--from S] [--to S]", "count, min, max and mean of every value",
     RunStats},
    {"diff", "diff LOG.xdl DEF_A.adx DEF_B.adx", "items that decode differently with two definitions",
     RunDiff},
};

void PrintUsage(std::ostream& s) {
  s << "usage: varnak-cli COMMAND [ARGUMENTS]\n"
       "       varnak-cli COMMAND --help | --help | --version\n\ncommands:\n";
  for (const CliCommand& c : kCommands) s << "  " << c.synopsis << "\n      " << c.what << '\n';
  s << "\nversion " << VARNAK_VERSION_TEXT << '\n';
}

// histogram, stats and diff read a log with definitions; one that matches no
// command of the log would give an empty result that looks like a real one.
// Their options all take a value; the files are the other arguments.
bool LogDefinitionsMatch(const CliCommand& c, const CliArgs& args) {
  const bool analysis = std::strcmp(c.name, "histogram") == 0 || std::strcmp(c.name, "stats") == 0 ||
                        std::strcmp(c.name, "diff") == 0;
  if (!analysis) return true;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i].rfind("--", 0) == 0) {
      if (args[i].find('=') == std::string::npos) ++i;  // its value
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() < 2) return true;  // wrong usage: the command says so
  return DefinitionsMatchLog(files[0], std::vector<std::string>(files.begin() + 1, files.end()), std::cerr);
}

void PrintCommandUsage(const CliCommand& c, std::ostream& s) {
  s << "usage: varnak-cli " << c.synopsis << "\n  " << c.what << '\n';
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
      // Every command answers --help and --version before it touches a file.
      for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
          PrintCommandUsage(c, std::cout);
          return kExitOk;
        }
        if (a == "--version") {
          std::cout << "varnak-cli " << VARNAK_VERSION_TEXT << '\n';
          return kExitOk;
        }
      }
      if (!LogDefinitionsMatch(c, args)) return kExitFailure;
      return c.run(args, std::cout, std::cerr);
    }
  }
  std::cerr << "varnak-cli: unknown command '" << argv[1] << "'\n";
  PrintUsage(std::cerr);
  return kExitUsage;
}
