#include "legacy/AdsMessage.h"

#include <cstdarg>

#include "definition/NumberText.h"

std::string AdsMessage::ToString() const {
  if (line <= 0) return text;
  return "line " + std::to_string(line) + ": " + text;
}

void AdsMessageLog::Add(int line, std::string text) {
  if (messages_.size() < kMaxMessages) {
    messages_.push_back({line, std::move(text)});
    return;
  }
  if (dropped_++ == 0)
    messages_.push_back({0, "too many problems in this file; further messages are not shown"});
}

void AdsMessageLog::Clear() {
  messages_.clear();
  dropped_ = 0;
}

std::string FormatAds(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result = StringCLocaleV(format, args);
  va_end(args);
  return result;
}
