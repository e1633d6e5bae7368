#include "acquisition/CollectingTextSink.h"

void CollectingTextSink::AppendLine(std::string_view line) {
  std::lock_guard lock(mutex_);
  lines_.emplace_back(line);
}

void CollectingTextSink::Clear() {
  std::lock_guard lock(mutex_);
  lines_.clear();
}

std::vector<std::string> CollectingTextSink::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

std::size_t CollectingTextSink::LineCount() const {
  std::lock_guard lock(mutex_);
  return lines_.size();
}

std::string CollectingTextSink::Text() const {
  std::lock_guard lock(mutex_);
  std::string text;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines_[i];
  }
  return text;
}
