// The line appender that a QvDebugOutput writes into.
//
// The core knows nothing about windows: the program binds a sink that hands
// each line to its Output tab, tests and command-line tools use the collecting
// or the file sink.
//
// Thread contract: QvDebugOutput calls AppendLine and Clear under its own lock,
// so a sink sees one call at a time from that log. A sink shared by several logs
// must guard itself.
#pragma once

#include <string_view>

class ITextSink {
 public:
  virtual ~ITextSink() = default;

  // Appends one line. The text holds no trailing line break; the sink separates
  // lines itself (the first line of an empty sink gets no leading break).
  virtual void AppendLine(std::string_view line) = 0;

  // Empties everything the sink shows.
  virtual void Clear() = 0;
};
