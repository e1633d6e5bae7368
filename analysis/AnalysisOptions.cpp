#include "analysis/AnalysisOptions.h"

#include "analysis/AnalysisText.h"

bool ParseAnalysisArguments(const std::vector<std::string>& args, const std::set<std::string>& withValue,
                            AnalysisArguments* out, std::string* error) {
  *out = AnalysisArguments();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      const std::string name = arg.substr(2);
      if (withValue.count(name) == 0) {
        *error = "unknown option " + arg;
        return false;
      }
      if (i + 1 >= args.size()) {
        *error = "option " + arg + " needs a value";
        return false;
      }
      if (!out->options.emplace(name, args[i + 1]).second) {
        *error = "option " + arg + " given twice";
        return false;
      }
      ++i;
    } else if (arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9') && arg[1] != '.') {
      *error = "unknown option " + arg;
      return false;
    } else {
      out->positional.push_back(arg);
    }
  }
  return true;
}

bool ParseTimeRange(const AnalysisArguments& args, TimeRange* range, std::string* error) {
  *range = TimeRange();
  auto read = [&](const char* name, double* target) {
    auto it = args.options.find(name);
    if (it == args.options.end()) return true;
    if (!ParseSeconds(it->second, target)) {
      *error = std::string("--") + name + " needs a number of seconds, not '" + it->second + "'";
      return false;
    }
    return true;
  };
  if (!read("from", &range->fromSeconds) || !read("to", &range->toSeconds)) return false;
  if (range->toSeconds < range->fromSeconds) {
    *error = "--to lies before --from";
    return false;
  }
  return true;
}
