// What play and export check in a log before they play it: that it is a log
// of a version this program reads, which commands it holds, and that its
// records can be followed from the command table to the end of the file.
// Failures are said in words ("not an XDL log", "log version 4 is not
// supported"), never as bare codes.
//
// Thread contract: plain functions on the calling thread; the log is opened
// and closed here and is not changed.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "datalog/XdlFormat.h"

struct LogCheck {
  bool ok = false;
  std::string problem;  // why the log cannot be played, when !ok
  // The commands of the log (their ID hashes and IDs, in table order).
  std::vector<std::uint32_t> commandHashes;
  std::vector<std::string> commandIds;
  std::uint64_t records = 0;  // the records that playback reaches
};

LogCheck CheckLog(const std::string& path);

// The words for a datalog result code (for a log at path, whose version is
// read again for a version error).
std::string LogErrorText(const std::string& path, XdlResult code, int systemError);

// For the commands that read a log with definitions (histogram, stats, diff):
// false, with "DEF matches no command of LOG" on err, when a definition has
// no item bound to a command of the log (nor the log's monitor command).
// A log or a definition that cannot be read passes: the command itself says
// why.
bool DefinitionsMatchLog(const std::string& logPath, const std::vector<std::string>& definitionPaths,
                         std::ostream& err);
