// The program's command line:
//   varnak [DEF.adx] [--port PATH] [--scan] [--tab NAME] [--quit-after SECONDS]
//          [--screenshot FILE.png] [--preferences] [--theme light|dark|system]
//          [--analyze LOG.xdl] [--edit] [--version]
// A definition to load, a serial device for this run only (the settings keep
// theirs), Scan at start, the tab to show, an orderly close after a time, and
// a picture of the window saved just before that close, and the Preferences
// window opened at start (the picture then shows it), and a log opened in the
// analysis window (the picture then shows that).
//
// Thread contract: pure function, callable from any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct CommandLineOptions {
  std::string definition;
  std::string port;
  bool scan = false;
  std::string tab;
  std::optional<double> quitAfterSeconds;
  std::string screenshot;
  bool preferences = false;
  // "light", "dark" or "system" for this run; empty: the stored choice.
  std::string theme;
  // Opens the definition editor at start (the picture then shows it).
  bool edit = false;
  bool version = false;
  std::string analyze;  // a log to open in the analysis window
  bool help = false;
  // Start-up time and, while running, memory, descriptors and event-loop
  // stalls on stderr.
  bool verbose = false;
};

// Parses the arguments after the program name. False with a message in
// *error for an unknown option, a missing or bad value, or a second
// definition.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions* options, std::string* error);
// The usage text printed for --help and after an error.
std::string CommandLineUsage();
