#include "controls/gauges/QvControlText.h"

#include <cstring>

int QvCopyTextOut(const std::string& text, char* buffer, int size) {
  if (buffer == nullptr || size < 1) return 0;
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

std::optional<std::string> QvLimitedText(const char* text, int limit) {
  if (text == nullptr || limit <= 0) return std::nullopt;
  const std::size_t length = strnlen(text, static_cast<std::size_t>(limit) + 1);
  if (length > static_cast<std::size_t>(limit)) return std::nullopt;
  return std::string(text, length);
}

std::string QvCutText(const char* text, std::size_t maxChars) {
  if (text == nullptr) return {};
  return std::string(text, strnlen(text, maxChars));
}

bool QvTemporaryLook::begin(QvTextLook look) {
  if (temporary_) return false;
  saved_ = std::move(shown_);
  shown_ = std::move(look);
  temporary_ = true;
  return true;
}

bool QvTemporaryLook::end() {
  if (!temporary_) return false;
  shown_ = std::move(saved_);
  saved_ = {};
  temporary_ = false;
  return true;
}
