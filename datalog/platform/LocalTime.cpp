#include "datalog/platform/LocalTime.h"

#include <time.h>

XdlTimeStamp LocalTimeNow() {
  XdlTimeStamp stamp;
  struct timespec now {};
  if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return stamp;
  struct tm local {};
  time_t seconds = now.tv_sec;
  if (::localtime_r(&seconds, &local) == nullptr) return stamp;
  stamp.year = static_cast<std::uint16_t>(local.tm_year + 1900);
  stamp.month = static_cast<std::uint16_t>(local.tm_mon + 1);
  stamp.dayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
  stamp.day = static_cast<std::uint16_t>(local.tm_mday);
  stamp.hour = static_cast<std::uint16_t>(local.tm_hour);
  stamp.minute = static_cast<std::uint16_t>(local.tm_min);
  stamp.second = static_cast<std::uint16_t>(local.tm_sec);
  stamp.millisecond = static_cast<std::uint16_t>(now.tv_nsec / 1000000);
  return stamp;
}
