// varnak-ecu-sim: a simulated ECU on a pseudo-terminal.
//
//   varnak-ecu-sim SCENARIO [--link PATH] [--seconds N]
//
// Prints the path of its port on one line (the link path with --link), then
// plays the scenario until SIGINT or SIGTERM, until N seconds have passed, or
// until a close fault has closed its side of the line.

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "tools/ecu-sim/EcuSimulator.h"
#include "tools/ecu-sim/ScenarioParser.h"

namespace {

void usage(std::FILE* stream) {
  std::fprintf(stream,
               "usage: varnak-ecu-sim SCENARIO [--link PATH] [--seconds N]\n"
               "       varnak-ecu-sim --help | --version\n"
               "  plays a simulated ECU on a pseudo-terminal and prints the path of its port\n"
               "  --link PATH   a symbolic link to the port under this name\n"
               "  --seconds N   stop after N seconds (else on SIGINT or SIGTERM)\n");
}

// Points `link` at `target`; an existing symbolic link is replaced, any other
// file is left alone.
bool makeLink(const std::string& link, const std::string& target, std::string& error) {
  struct stat st {};
  if (lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      error = link + " exists and is not a symbolic link";
      return false;
    }
    if (unlink(link.c_str()) != 0) {
      error = link + ": " + std::strerror(errno);
      return false;
    }
  }
  if (symlink(target.c_str(), link.c_str()) != 0) {
    error = link + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // as the window does: the core must not care
  std::string scenarioPath, linkPath;
  double seconds = 0.0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--link" && i + 1 < argc) {
      linkPath = argv[++i];
    } else if (arg == "--seconds" && i + 1 < argc) {
      const std::string text = argv[++i];
      const auto [stop, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
      if (ec != std::errc() || stop != text.data() + text.size() || !(seconds > 0.0) || seconds > 1e7) {
        std::fprintf(stderr, "varnak-ecu-sim: --seconds needs a positive number\n");
        return 2;
      }
    } else if (arg == "--help" || arg == "-h") {
      usage(stdout);
      return 0;
    } else if (arg == "--version") {
      std::printf("varnak-ecu-sim %s\n", VARNAK_VERSION_TEXT);
      return 0;
    } else if (!arg.empty() && arg[0] != '-' && scenarioPath.empty()) {
      scenarioPath = arg;
    } else {
      if (arg.size() > 1 && arg[0] == '-')
        std::fprintf(stderr, "varnak-ecu-sim: unknown option %s\n", arg.c_str());
      usage(stderr);
      return 2;
    }
  }
  if (scenarioPath.empty()) {
    usage(stderr);
    return 2;
  }

  EcuScenario scenario;
  std::string error;
  if (!loadScenarioFile(scenarioPath, scenario, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }

  // Block the stop signals before the simulator thread exists so that only
  // the wait below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  EcuSimulator simulator(std::move(scenario));
  if (!simulator.start(&error)) {
    std::fprintf(stderr, "varnak-ecu-sim: %s\n", error.c_str());
    return 1;
  }
  std::string shown = simulator.slavePath();
  if (!linkPath.empty()) {
    if (!makeLink(linkPath, simulator.slavePath(), error)) {
      std::fprintf(stderr, "varnak-ecu-sim: %s\n", error.c_str());
      return 1;
    }
    shown = linkPath;
  }
  std::printf("%s\n", shown.c_str());
  std::fflush(stdout);

  timespec started{};
  clock_gettime(CLOCK_MONOTONIC, &started);
  while (simulator.isRunning()) {
    timespec tick{0, 100 * 1000 * 1000};
    if (seconds > 0.0) {
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      double left = seconds - (static_cast<double>(now.tv_sec - started.tv_sec) +
                               static_cast<double>(now.tv_nsec - started.tv_nsec) / 1e9);
      if (left <= 0.0) break;
      if (left < 0.1) tick.tv_nsec = static_cast<long>(left * 1e9);
    }
    if (sigtimedwait(&stopSignals, nullptr, &tick) > 0) break;
  }
  if (simulator.isClosed()) std::fprintf(stderr, "varnak-ecu-sim: the line was closed by the scenario\n");
  simulator.stop();
  if (!linkPath.empty()) unlink(linkPath.c_str());
  return 0;
}
