// Arguments of the analysis commands: positional arguments and "--name value"
// options, with the time range options shared by all of them.
//
// Thread contract: plain values and pure functions, callable from any thread.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "analysis/LogStatistics.h"

struct AnalysisArguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // name without dashes -> value
};

// Splits args; every option in `withValue` takes the next argument as its
// value. False (with a message) for an unknown option, a missing value or a
// repeated option.
bool ParseAnalysisArguments(const std::vector<std::string>& args, const std::set<std::string>& withValue,
                            AnalysisArguments* out, std::string* error);

// Reads --from and --to (seconds) into range. False (with a message) for a
// number that does not parse or a range whose end lies before its start.
bool ParseTimeRange(const AnalysisArguments& args, TimeRange* range, std::string* error);
