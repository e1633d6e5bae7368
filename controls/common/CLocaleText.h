// printf-style formatting of numbers for the controls' texts, always in the C
// locale: a decimal point whatever the user's locale, which the application
// object sets from the environment. The locale is switched for the calling
// thread only, for the duration of the call.
//
// Thread contract: any thread.
#pragma once

#include <locale.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>

// Like std::snprintf, in the C locale.
inline int CLocaleSnprintf(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

inline int CLocaleSnprintf(char* buffer, std::size_t size, const char* format, ...) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  const locale_t previous =
      cLocale != static_cast<locale_t>(0) ? uselocale(cLocale) : static_cast<locale_t>(0);
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, size, format, args);
  va_end(args);
  if (previous != static_cast<locale_t>(0)) uselocale(previous);
  return n;
}
