#pragma once
// Switches the whole process to a comma-decimal locale for one test, as the
// window does with the user's locale, and back at the end. Tests that need it
// skip when the machine has not generated the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

class CommaLocale {
 public:
  CommaLocale() {
    const char* current = std::setlocale(LC_ALL, nullptr);
    previous_ = current != nullptr ? current : "C";
    active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  }
  ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool Active() const { return active_; }

 private:
  std::string previous_;
  bool active_ = false;
};

// Use at the start of a test body.
#define REQUIRE_COMMA_LOCALE(guard)                                                    \
  CommaLocale guard;                                                                   \
  if (!guard.Active()) GTEST_SKIP() << "the de_DE.UTF-8 locale is not generated here"; \
  do {                                                                                 \
  } while (false)
