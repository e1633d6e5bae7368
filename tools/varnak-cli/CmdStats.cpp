// varnak-cli stats: count, minimum, maximum and mean of every value of the
// definition over a whole log (or a time range of it), as CSV.
#include <iostream>

#include "analysis/AnalysisOptions.h"
#include "analysis/AnalysisText.h"
#include "analysis/LogStatistics.h"
#include "definition/ADXDefinition.h"
#include "tools/varnak-cli/CliCommands.h"
#include "tools/varnak-cli/CliSupport.h"

namespace {
constexpr const char* kUsage = "usage: varnak-cli stats LOG.xdl DEF.adx [--from S] [--to S]\n";
}  // namespace

int RunStats(const CliArgs& args, std::ostream& out, std::ostream& err) {
  AnalysisArguments parsed;
  std::string error;
  TimeRange range;
  if (!ParseAnalysisArguments(args, {"from", "to"}, &parsed, &error) ||
      !ParseTimeRange(parsed, &range, &error)) {
    err << "stats: " << error << '\n' << kUsage;
    return kExitUsage;
  }
  if (parsed.positional.size() != 2) {
    err << "stats: needs a log and a definition\n" << kUsage;
    return kExitUsage;
  }
  ADXDefinition definition;
  if (!LoadDefinitionForCli(definition, parsed.positional[1], err)) return kExitFailure;
  LogData log;
  const LogReadResult read = ReadLogData(parsed.positional[0], &log);
  if (read != LogReadResult::kOk) {
    err << parsed.positional[0] << ": " << LogReadResultText(read) << '\n';
    return kExitFailure;
  }
  std::vector<ADXObject*> values;
  for (ADXObject* item : DefinitionItems(definition)) {
    if (item->objectType == ADX_TYPE_VALUE) values.push_back(item);
  }
  LogBinding binding(log, definition);
  const std::vector<ItemStatistics> stats = ComputeStatistics(binding, values, range);
  std::string text = "id,title,count,min,max,mean\r\n";
  for (std::size_t i = 0; i < values.size(); ++i) {
    text += CsvCell(Latin1ToUtf8Text(ItemId(*values[i]))) + ',' +
            CsvCell(Latin1ToUtf8Text(ItemTitle(*values[i])));
    text += ',' + std::to_string(stats[i].count);
    if (stats[i].count != 0) {
      text += ',' + ShortestText(stats[i].minimum) + ',' + ShortestText(stats[i].maximum) + ',' +
              ShortestText(stats[i].mean);
    } else {
      text += ",,,";
    }
    text += "\r\n";
  }
  out << text;
  out.flush();
  if (!out) {
    err << "stats: cannot write the output\n";
    return kExitFailure;
  }
  return kExitOk;
}
