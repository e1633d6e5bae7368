#include "acquisition/FileTextSink.h"

void FileTextSink::AppendLine(std::string_view line) {
  std::lock_guard lock(mutex_);
  if (stream_ == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), stream_);
  std::fputc('\n', stream_);
  std::fflush(stream_);
}
