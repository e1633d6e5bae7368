#include "xml/XmlFormat.h"

#include <locale.h>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Switches the calling thread to the C locale for the lifetime of the object
// (uselocale is per thread, so other threads are not affected).
class ScopedCLocale {
 public:
  ScopedCLocale() {
    cLocale_ = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (cLocale_ != static_cast<locale_t>(nullptr)) previous_ = ::uselocale(cLocale_);
  }
  ~ScopedCLocale() {
    if (cLocale_ != static_cast<locale_t>(nullptr)) {
      ::uselocale(previous_);
      ::freelocale(cLocale_);
    }
  }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  locale_t cLocale_ = static_cast<locale_t>(nullptr);
  locale_t previous_ = static_cast<locale_t>(nullptr);
};

}  // namespace

std::string XmlFormatInt(int64_t value) {
  char text[24];
  auto [end, error] = std::to_chars(text, text + sizeof text, value);
  (void)error;  // 24 characters always hold a 64-bit value
  return std::string(text, end);
}

std::string XmlFormatFloat(double value) {
  // The largest double has 309 digits before the point.
  char text[400];
  auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
  if (error != std::errc()) return XmlFormat("%f", value);
  return std::string(text, end);
}

std::string XmlFormatV(const char* format, va_list args) {
  if (format == nullptr) return std::string();
  ScopedCLocale cLocale;
  va_list measure;
  va_copy(measure, args);
  int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return std::string();
  std::vector<char> text(static_cast<size_t>(length) + 1);
  std::vsnprintf(text.data(), text.size(), format, args);
  return std::string(text.data(), static_cast<size_t>(length));
}

std::string XmlFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = XmlFormatV(format, args);
  va_end(args);
  return text;
}

double XmlParseDouble(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || (text[start] >= '\t' && text[start] <= '\r'))) ++start;
  text.remove_prefix(start);
  // from_chars takes a minus sign but no plus sign.
  bool plus = !text.empty() && text[0] == '+';
  if (plus) text.remove_prefix(1);
  if (plus && !text.empty() && text[0] == '-') return 0.0;
  double value = 0.0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Keep strtod's answer: a huge value or zero, with its sign.
    ScopedCLocale cLocale;
    return std::strtod(std::string(text).c_str(), nullptr);
  }
  return error == std::errc() ? value : 0.0;
}
