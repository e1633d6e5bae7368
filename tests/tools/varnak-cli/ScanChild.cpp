// A scan that runs until it is killed: the test's stand-in for the program
// when it crashes while recording.
//
//   session_scan_child DEF.adx PORT OUT.xdl TEMPFOLDER
#include <atomic>
#include <cstdio>

#include "tools/varnak-cli/CommandLineSession.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  ScanOptions options;
  options.definitionPath = argv[1];
  options.portPath = argv[2];
  options.recordPath = argv[3];
  options.recordingFolder = argv[4];
  const std::atomic<bool> never{false};
  return RunScanSession(options, never, stderr);
}
