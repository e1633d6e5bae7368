// A text sink that keeps every line in memory (tests, command-line tools).
//
// Thread contract: every operation takes the sink's own mutex, so lines can be
// appended from one thread while another reads them.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "acquisition/TextSink.h"

class CollectingTextSink : public ITextSink {
 public:
  void AppendLine(std::string_view line) override;
  void Clear() override;

  // A copy of the lines in the order they were appended.
  std::vector<std::string> Lines() const;
  std::size_t LineCount() const;

  // The whole text as a multi-line control holds it: lines joined by "\r\n",
  // no leading and no trailing break.
  std::string Text() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;  // guarded by mutex_
};
