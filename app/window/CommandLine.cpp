#include "app/window/CommandLine.h"

#include <cmath>
#include <cstdlib>

#include "definition/NumberText.h"

bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions* options, std::string* error) {
  CommandLineOptions result;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *error = arg + " needs a value";
        return false;
      }
      *out = args[++i];
      return true;
    };
    if (arg == "--port") {
      if (!value(&result.port)) return false;
    } else if (arg == "--scan") {
      result.scan = true;
    } else if (arg == "--tab") {
      if (!value(&result.tab)) return false;
    } else if (arg == "--screenshot") {
      if (!value(&result.screenshot)) return false;
    } else if (arg == "--quit-after") {
      std::string text;
      if (!value(&text)) return false;
      double seconds = 0.0;
      // A day is far beyond any demonstration; larger values are typing errors.
      if (ReadDecimal(text, seconds) != NumberRead::kOk || seconds < 0 || seconds > 86400) {
        *error = "--quit-after needs a number of seconds from 0 to 86400, not \"" + text + "\"";
        return false;
      }
      result.quitAfterSeconds = seconds;
    } else if (arg == "--analyze") {
      if (!value(&result.analyze)) return false;
    } else if (arg == "--preferences") {
      result.preferences = true;
    } else if (arg == "--theme") {
      if (!value(&result.theme)) return false;
      if (result.theme != "light" && result.theme != "dark" && result.theme != "system") {
        *error = "--theme needs light, dark or system, not \"" + result.theme + "\"";
        return false;
      }
    } else if (arg == "--edit") {
      result.edit = true;
    } else if (arg == "--verbose") {
      result.verbose = true;
    } else if (arg == "--version") {
      result.version = true;
    } else if (arg == "--help" || arg == "-h") {
      result.help = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option " + arg;
      return false;
    } else if (!result.definition.empty()) {
      *error = "only one definition can be loaded, not also " + arg;
      return false;
    } else {
      result.definition = arg;
    }
  }
  *options = std::move(result);
  return true;
}

std::string CommandLineUsage() {
  return "usage: varnak [DEF.adx] [--port PATH] [--scan] [--tab NAME] [--quit-after SECONDS]\n"
         "              [--screenshot FILE.png] [--preferences] [--theme light|dark|system]\n"
         "              [--analyze LOG.xdl] [--edit] [--verbose] [--version]\n"
         "  DEF.adx              definition to load\n"
         "  --port PATH          serial device for this run (the settings keep theirs)\n"
         "  --scan               start scanning once the window is up\n"
         "  --tab NAME           show this tab (Output, Dash, Item Lists, Histograms, Monitors)\n"
         "  --quit-after SECONDS close the window in order after this time\n"
         "  --screenshot FILE    save a picture of the window just before closing\n"
         "  --preferences        open the Preferences window at start (the picture shows it)\n"
         "  --theme THEME        light, dark or system (the desktop's) for this run\n"
         "  --edit               open the definition editor at start (the picture shows it)\n"
         "  --analyze LOG.xdl    open the log in the analysis window (the picture shows it)\n"
         "  --verbose            report start-up time, memory and event-loop stalls on stderr\n"
         "  --version            print the version and exit\n";
}
