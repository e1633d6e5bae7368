#include "definition/ADXText.h"

#include <cstring>
#include <new>

void AssignText(std::string& field, const char* text, std::size_t length) {
  field.clear();
  if (text == nullptr || length == 0) return;
  try {
    field.assign(text, length);
  } catch (const std::bad_alloc&) {
    field.clear();
  }
}

std::size_t CopyTextOut(const std::string& text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  if (n > 0) std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return n;
}
