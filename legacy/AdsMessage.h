// Messages of the ADS reader: what it could not open, what it cut, capped,
// skipped or repaired, each with the line of the file where it happened.
//
// Thread contract: plain data; the log belongs to the thread that reads.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct AdsMessage {
  int line = 0;  // 1-based line of the file; 0 when no line applies
  std::string text;

  // "line 12: text", or just the text when no line applies.
  std::string ToString() const;
};

// Collects messages up to a limit, so that a damaged file cannot flood the
// caller; the first message past the limit says that the rest were dropped.
class AdsMessageLog {
 public:
  static constexpr std::size_t kMaxMessages = 500;

  void Add(int line, std::string text);
  const std::vector<AdsMessage>& Messages() const { return messages_; }
  bool Empty() const { return messages_.empty(); }
  void Clear();

 private:
  std::vector<AdsMessage> messages_;
  std::size_t dropped_ = 0;
};

// printf-style formatting into a std::string of any length, in the C locale
// (numbers always with a decimal point).
std::string FormatAds(const char* format, ...) __attribute__((format(printf, 1, 2)));
