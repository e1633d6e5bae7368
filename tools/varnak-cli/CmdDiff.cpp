// varnak-cli diff: decodes one log with two definitions and lists the items
// whose shown text differs, and those that only one definition has. Exit
// status as diff(1): 0 nothing differs, 1 something does, 2 trouble.
#include <iostream>

#include "analysis/AnalysisOptions.h"
#include "analysis/AnalysisText.h"
#include "analysis/DefinitionDiff.h"
#include "definition/ADXDefinition.h"
#include "tools/varnak-cli/CliCommands.h"
#include "tools/varnak-cli/CliSupport.h"

namespace {
constexpr const char* kUsage = "usage: varnak-cli diff LOG.xdl DEF_A.adx DEF_B.adx\n";
}  // namespace

int RunDiff(const CliArgs& args, std::ostream& out, std::ostream& err) {
  AnalysisArguments parsed;
  std::string error;
  if (!ParseAnalysisArguments(args, {}, &parsed, &error)) {
    err << "diff: " << error << '\n' << kUsage;
    return kExitUsage;
  }
  if (parsed.positional.size() != 3) {
    err << "diff: needs a log and two definitions\n" << kUsage;
    return kExitUsage;
  }
  // Trouble of any kind is status 2, so that 1 always means "differs".
  ADXDefinition a, b;
  if (!LoadDefinitionForCli(a, parsed.positional[1], err) ||
      !LoadDefinitionForCli(b, parsed.positional[2], err)) {
    return kExitUsage;
  }
  LogData log;
  const LogReadResult read = ReadLogData(parsed.positional[0], &log);
  if (read != LogReadResult::kOk) {
    err << parsed.positional[0] << ": " << LogReadResultText(read) << '\n';
    return kExitUsage;
  }
  const std::vector<ItemDifference> differences = DiffDefinitions(log, a, b);
  std::string text = "id,title,records_differing,max_abs_difference,first_time_s,note\r\n";
  for (const ItemDifference& d : differences) {
    text += CsvCell(Latin1ToUtf8Text(d.id)) + ',' + CsvCell(Latin1ToUtf8Text(d.title)) + ',';
    if (d.presence == DiffPresence::kBoth) {
      text += std::to_string(d.recordsDiffering) + ',';
      if (d.maxAbsDifference) text += ShortestText(*d.maxAbsDifference);
      text += ',' + ShortestText(d.firstTimeSeconds) + ",\r\n";
    } else {
      text += d.presence == DiffPresence::kOnlyInA ? ",,,only in A\r\n" : ",,,only in B\r\n";
    }
  }
  out << text;
  out.flush();
  if (!out) {
    err << "diff: cannot write the output\n";
    return kExitUsage;
  }
  return differences.empty() ? kExitOk : kExitFailure;
}
