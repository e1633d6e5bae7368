// varnak-cli histogram: one histogram of the definition accumulated from a
// whole log (or a time range of it), written as a CSV grid.
#include <charconv>
#include <iostream>

#include "analysis/AnalysisOptions.h"
#include "analysis/LogHistograms.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"
#include "tools/varnak-cli/CliCommands.h"
#include "tools/varnak-cli/CliSupport.h"

namespace {

constexpr const char* kUsage =
    "usage: varnak-cli histogram LOG.xdl DEF.adx --id HISTID [--kind K] [--from S] [--to S]\n";

bool IsStatisticKind(int kind) {
  return (kind >= kStatNewest && kind <= kStatStdDev) || (kind >= kStatCount && kind <= kStatRange);
}

}  // namespace

int RunHistogram(const CliArgs& args, std::ostream& out, std::ostream& err) {
  AnalysisArguments parsed;
  std::string error;
  TimeRange range;
  if (!ParseAnalysisArguments(args, {"id", "kind", "from", "to"}, &parsed, &error) ||
      !ParseTimeRange(parsed, &range, &error)) {
    err << "histogram: " << error << '\n' << kUsage;
    return kExitUsage;
  }
  if (parsed.positional.size() != 2 || parsed.options.count("id") == 0) {
    err << "histogram: needs a log, a definition and --id\n" << kUsage;
    return kExitUsage;
  }
  int kind = kStatAverage;
  if (auto it = parsed.options.find("kind"); it != parsed.options.end()) {
    const std::string& text = it->second;
    auto result = std::from_chars(text.data(), text.data() + text.size(), kind);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !IsStatisticKind(kind)) {
      err << "histogram: --kind must be 0, 1, 2, 3 or 7 to 11, not '" << text << "'\n" << kUsage;
      return kExitUsage;
    }
  }

  ADXDefinition definition;
  if (!LoadDefinitionForCli(definition, parsed.positional[1], err)) return kExitFailure;
  const std::string& id = parsed.options["id"];
  ADXObject* object = definition.FindById(id.c_str());
  if (object == nullptr || object->objectType != ADX_TYPE_HISTOGRAM) {
    err << "histogram: " << parsed.positional[1] << " has no histogram with the ID '" << id << "'\n";
    return kExitFailure;
  }
  LogData log;
  const LogReadResult read = ReadLogData(parsed.positional[0], &log);
  if (read != LogReadResult::kOk) {
    err << parsed.positional[0] << ": " << LogReadResultText(read) << '\n';
    return kExitFailure;
  }
  auto* histogram = static_cast<ADXHistogram*>(object);
  LogBinding binding(log, definition);
  FillHistograms(binding, {histogram}, range);
  out << HistogramGridCsv(*histogram, kind);
  out.flush();
  if (!out) {
    err << "histogram: cannot write the output\n";
    return kExitFailure;
  }
  return kExitOk;
}
