// varnak-cli import IN.ads OUT.adx [--force]: reads a legacy ADS definition,
// converts it and saves it as an ADX definition. OUT.adx is never replaced
// unless --force is given. Prints one summary line; what the reader repaired
// and what the conversion noted go to the error stream as warnings. Paths
// are the user's own bytes; only definition texts are turned from Latin-1.
#include <ostream>
#include <string>
#include <vector>

#include "legacy/AdsImport.h"
#include "tools/varnak-cli/CliCommands.h"
#include "tools/varnak-cli/CliSupport.h"

namespace {

constexpr const char* kImportUsage = "usage: varnak-cli import IN.ads OUT.adx [--force]";

}  // namespace

int RunImport(const CliArgs& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> paths;
  bool force = false;
  for (const std::string& arg : args) {
    if (arg == "--force") {
      force = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      err << "varnak-cli import: unknown option '" << arg << "'\n" << kImportUsage << '\n';
      return kExitUsage;
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2) {
    err << kImportUsage << '\n';
    return kExitUsage;
  }

  const AdsImportResult result = ImportAdsFile(paths[0], paths[1], force);
  if (!result.ok) {
    err << "varnak-cli import: " << result.error << '\n';
    return kExitFailure;
  }
  for (const std::string& warning : result.warnings)
    err << paths[0] << ": warning: " << Latin1ToUtf8(warning) << '\n';
  out << paths[1] << ": " << ImportSummaryLine(result.summary) << '\n';
  return kExitOk;
}
