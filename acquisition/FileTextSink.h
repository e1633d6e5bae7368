// A text sink that writes each line to a C stream (stderr, a log file).
//
// Each line is written with a trailing "\n" and flushed, so a crash loses at
// most the line being written. Clear has nothing to empty on a stream and
// writes nothing. The stream is not owned.
//
// Thread contract: every operation takes the sink's own mutex.
#pragma once

#include <cstdio>
#include <mutex>

#include "acquisition/TextSink.h"

class FileTextSink : public ITextSink {
 public:
  explicit FileTextSink(std::FILE* stream) : stream_(stream) {}

  void AppendLine(std::string_view line) override;
  void Clear() override {}

 private:
  std::mutex mutex_;
  std::FILE* stream_;  // not owned; null writes nothing
};
